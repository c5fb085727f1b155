#!/bin/sh
# A private PostgreSQL cluster for the tests, reachable only through a Unix socket in DIR.
#
#   pgcluster.sh start DIR [SCRIPT_DIR]   initdb into DIR/data and start the server; with
#                                         SCRIPT_DIR, also create the role zelvo and the template
#                                         database zelvo_template from SCRIPT_DIR/[0-9]*.sql, sorting
#                                         by Turkish rules as an institution's database would
#   pgcluster.sh stop DIR                 stop the server and remove DIR
#   pgcluster.sh down DIR                 stop the server (fast: sessions end), keep its files
#   pgcluster.sh restart DIR              stop the server if it runs and start it again with
#                                         the options it was started with
#
# With ZELVO_PG_TLS_PORT set, the server also listens on 127.0.0.1 at that port, for TLS only,
# with a certificate for the name localhost from a throw-away authority: DIR/tls/ca.crt; a
# second authority that signed nothing the server holds is DIR/tls/other-ca.crt.
#
# Clients connect with host=DIR. postgres (the superuser) and zelvo (the installing role, which
# owns zelvo_template and may make databases and roles, as the security script's user
# management needs) sign in without a password; every other role must give its password
# (scram-sha-256), as on a real server: the role zelvo_parolali with parola-dogru, so that a
# refused login can be tested, and the users the tests make. The server listens on no TCP
# port. Its files lie in memory where the system has a tmpfs at /dev/shm (DIR/data links
# there): each test case copies the template into a database of its own, which takes about
# 20 ms in memory and ten times as long on a disk. PostgreSQL refuses to run as root, so under root the server runs as the unprivileged
# user the Debian package creates (postgres, or ZELVO_PG_USER); otherwise as the current user.
# DIR must lie in a folder that user can reach (/tmp does).
#
# A cluster that cannot start is an error when CI=true. Elsewhere the start prints why, leaves
# DIR/unavailable with the reason and succeeds, and the tests report themselves skipped.
set -u

usage()
{
    echo "usage: $0 start DIR [SCRIPT_DIR] | stop DIR | down DIR | restart DIR" >&2
    exit 2
}

[ $# -ge 2 ] || usage
command=$1
dir=$2
scripts=${3:-}

find_bindir()
{
    if [ -n "${ZELVO_PG_BINDIR:-}" ]; then
        echo "$ZELVO_PG_BINDIR"
        return
    fi
    newest=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
    if [ -n "$newest" ] && [ -x "$newest/initdb" ]; then
        echo "$newest"
        return
    fi
    initdb=$(command -v initdb 2>/dev/null) && dirname "$initdb"
}

bindir=$(find_bindir)
if [ "$(id -u)" = 0 ]; then
    server_user=${ZELVO_PG_USER:-postgres}
else
    server_user=$(id -un)
fi

# Runs a command as the server's user (from / so that no unreadable working folder matters).
as_server()
{
    if [ "$(id -u)" = 0 ]; then
        (cd / && runuser -u "$server_user" -- "$@")
    else
        (cd / && "$@")
    fi
}

unavailable()
{
    echo "" >&2
    echo "************************************************************************" >&2
    echo "PostgreSQL test cluster not available: $1" >&2
    echo "The PostgreSQL test cases cannot run." >&2
    echo "************************************************************************" >&2
    if [ "${CI:-}" = "true" ]; then
        exit 1
    fi
    mkdir -p "$dir" && echo "$1" >"$dir/unavailable"
    exit 0
}

# where the cluster's files go: memory if there is a tmpfs for it, else DIR itself; the folder
# in memory is named by the whole path of DIR, so that clusters in /tmp/a/pg and /tmp/b/pg
# never share (or remove) each other's files
memory_dir=/dev/shm/zelvo-pg-$(realpath -m "$dir" | sha256sum | cut -c1-16)

stop_cluster()
{
    if [ -n "$bindir" ] && [ -f "$dir/data/postmaster.pid" ]; then
        as_server "$bindir/pg_ctl" -D "$dir/data" -m fast -w -t 30 stop >/dev/null 2>&1 ||
            as_server "$bindir/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1
    fi
    rm -rf "$dir" "$memory_dir"
}

# Makes DIR/data a link to a folder in memory owned by the server's user, when possible.
place_data_in_memory()
{
    [ -d /dev/shm ] && [ -w /dev/shm ] || return 0
    [ "$(stat -f -c %T /dev/shm 2>/dev/null)" = tmpfs ] || return 0
    # the cluster grows to about 100 MB: a container's small /dev/shm (64 MB by default) stays
    # with the server's shared memory alone
    available=$(df -Pk /dev/shm | awk 'NR == 2 { print $4 }')
    [ "${available:-0}" -ge 524288 ] || return 0
    mkdir -m 700 "$memory_dir" "$memory_dir/data" || return 0
    [ "$(id -u)" = 0 ] && chown "$server_user" "$memory_dir" "$memory_dir/data"
    ln -s "$memory_dir/data" "$dir/data"
}

psql_run()
{
    "$bindir/psql" -h "$dir" -X -q -v ON_ERROR_STOP=1 "$@"
}

start_cluster()
{
    # a cluster left behind by an interrupted run goes first
    stop_cluster
    [ -n "$bindir" ] && [ -x "$bindir/initdb" ] ||
        unavailable "initdb not found (install the postgresql package or set ZELVO_PG_BINDIR)"
    if [ "$(id -u)" = 0 ]; then
        id "$server_user" >/dev/null 2>&1 ||
            unavailable "running as root and there is no user '$server_user' to run the server"
        command -v runuser >/dev/null 2>&1 || unavailable "running as root and runuser is missing"
    fi
    mkdir -p "$dir" || unavailable "cannot create $dir"
    chmod 700 "$dir"
    [ "$(id -u)" = 0 ] && chown "$server_user" "$dir"
    place_data_in_memory

    as_server "$bindir/initdb" -D "$dir/data" -U postgres -A trust -E UTF8 --locale=C.UTF-8 \
        --no-sync >"$dir/initdb.log" 2>&1 ||
        unavailable "initdb failed: $(tail -n 5 "$dir/initdb.log")"
    require_password
    listen="-c listen_addresses=''"
    if [ -n "${ZELVO_PG_TLS_PORT:-}" ]; then
        make_certificates
        listen="-c listen_addresses=127.0.0.1 -c port=$ZELVO_PG_TLS_PORT -c ssl=on \
            -c ssl_cert_file=$dir/tls/server.crt -c ssl_key_file=$dir/tls/server.key"
    fi
    # a throw-away cluster: durability buys nothing and costs seconds
    as_server "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 30 \
        -o "-k $dir $listen -c fsync=off -c synchronous_commit=off \
            -c full_page_writes=off -c max_connections=40" start >/dev/null ||
        unavailable "the server did not start: $(tail -n 5 "$dir/server.log")"
}

# The first matching line of pg_hba.conf decides: over the socket postgres and zelvo keep
# initdb's trust, every other role (zelvo_parolali, the users made for the tests) authenticates
# with scram-sha-256. Written in place, so the file keeps its owner.
require_password()
{
    hba=$dir/data/pg_hba.conf
    { echo "local all postgres trust"; echo "local all zelvo trust"
      echo "local all all scram-sha-256"; cat "$hba"; } >"$dir/pg_hba.new" &&
        cat "$dir/pg_hba.new" >"$hba" && rm -f "$dir/pg_hba.new" ||
        unavailable "cannot write $hba"
}

# A throw-away authority, the server's certificate for localhost signed by it, another
# authority, and the loopback listener accepting TLS connections only.
make_certificates()
{
    command -v openssl >/dev/null 2>&1 || unavailable "openssl is missing"
    tls=$dir/tls
    mkdir -p "$tls" && printf 'subjectAltName=DNS:localhost\n' >"$tls/server.ext" || return 1
    for ca in ca other-ca; do
        openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 \
            -subj "/CN=Zelvo $ca" -addext basicConstraints=critical,CA:TRUE \
            -addext keyUsage=critical,keyCertSign,cRLSign \
            -keyout "$tls/$ca.key" -out "$tls/$ca.crt" >"$tls/openssl.log" 2>&1 ||
            unavailable "openssl could not make an authority: $(tail -n 3 "$tls/openssl.log")"
    done
    openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -subj "/CN=localhost" \
        -keyout "$tls/server.key" -out "$tls/server.csr" >"$tls/openssl.log" 2>&1 &&
        openssl x509 -req -in "$tls/server.csr" -CA "$tls/ca.crt" -CAkey "$tls/ca.key" \
            -CAcreateserial -days 2 -extfile "$tls/server.ext" -out "$tls/server.crt" \
            >>"$tls/openssl.log" 2>&1 ||
        unavailable "openssl could not sign the server certificate: $(tail -n 3 "$tls/openssl.log")"
    chmod 600 "$tls/server.key"
    chmod 755 "$tls"
    chmod 644 "$tls/ca.crt" "$tls/other-ca.crt"
    [ "$(id -u)" = 0 ] && chown "$server_user" "$tls/server.key" "$tls/server.crt"
    hba=$dir/data/pg_hba.conf
    { echo "hostssl all all 127.0.0.1/32 trust"; echo "hostnossl all all 0.0.0.0/0 reject"
      cat "$hba"; } >"$dir/pg_hba.new" &&
        cat "$dir/pg_hba.new" >"$hba" && rm -f "$dir/pg_hba.new" ||
        unavailable "cannot write $hba"
}

install_template()
{
    # zelvo installs, as a real server's owner does, with CREATEROLE for the users;
    # zelvo_parolali reaches what zelvo does, as a member of it
    psql_run -U postgres -d postgres \
        -c "CREATE ROLE zelvo LOGIN CREATEDB CREATEROLE" \
        -c "CREATE ROLE zelvo_parolali LOGIN PASSWORD 'parola-dogru' IN ROLE zelvo" \
        -c "CREATE DATABASE zelvo_template OWNER zelvo TEMPLATE template0 \
            LOCALE_PROVIDER icu ICU_LOCALE 'tr-TR'" || return 1
    set --
    for script in "$scripts"/[0-9]*.sql; do
        set -- "$@" -f "$script"
    done
    # the installation runs as the database's owner, as an installation on a real server does
    psql_run -U zelvo -d zelvo_template -1 "$@" >/dev/null || return 1
    psql_run -U postgres -d postgres -c "ALTER DATABASE zelvo_template IS_TEMPLATE true"
}

case $command in
start)
    start_cluster
    if [ -n "$scripts" ]; then
        install_template || {
            echo "installing $scripts into zelvo_template failed" >&2
            exit 1
        }
    fi
    echo "PostgreSQL test cluster running: host=$dir (server user $server_user)"
    ;;
stop)
    stop_cluster
    ;;
down)
    as_server "$bindir/pg_ctl" -D "$dir/data" -m fast -w -t 30 stop >/dev/null
    ;;
restart)
    # pg_ctl takes the options from postmaster.opts, which the last start left behind
    as_server "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -m fast -w -t 30 restart \
        >/dev/null 2>&1
    ;;
*)
    usage
    ;;
esac
