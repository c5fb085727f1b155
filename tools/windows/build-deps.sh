#!/bin/bash
# Builds, for 64-bit Windows (x86_64-w64-mingw32), the libraries Zelvo links, from Debian's own
# source packages: SQLite, zlib with minizip, libsodium, libxlsxwriter, libpq and Qt's qtbase.
# Everything is static, so that zelvo.exe comes out as one file.
#
# Each part gets its own folder in the cache, named by the source package and its Debian version:
#   ${XDG_CACHE_HOME:-$HOME/.cache}/zelvo-windows/<package>-<version>/
#       prefix/     what was installed (include/, lib/, lib/pkgconfig/, ...)
#       build.log   the whole build's output
#       stamp       written last: version, seconds taken, size, the parts it was built against
# A part whose stamp is there, with the same parts below it, is not built again; a new Debian
# version builds into a new folder beside the old one. One prefix per part, rather than one for
# all, lets a new version of one library rebuild only that library and what depends on it.
# prefixes.txt in the cache folder lists the prefixes in use, for cmake/mingw-w64-x86_64.cmake.
#
# Environment: ZELVO_WINDOWS_CACHE (the cache folder), JOBS (parallel jobs, 2 by default),
# ZELVO_WINDOWS_KEEP_BUILD=1 (keep the build folders under work/ after a part is built).
set -eu

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
toolchain="$repo/cmake/mingw-w64-x86_64.cmake"
host=x86_64-w64-mingw32
cache=${ZELVO_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/zelvo-windows}
work="$cache/work"
jobs=${JOBS:-2}
sudo=""
[ "$(id -u)" = 0 ] || sudo=sudo

export CC=$host-gcc-posix CXX=$host-g++-posix AR=$host-ar RANLIB=$host-ranlib
export CFLAGS="-O2" CXXFLAGS="-O2" LDFLAGS="-static-libgcc"
# pkg-config must never see the build machine's own libraries.
export PKG_CONFIG_LIBDIR=/nonexistent PKG_CONFIG_PATH=

say() { printf '== %s\n' "$*"; }

install_packages() {
    local want="g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
        binutils-mingw-w64-x86-64 cmake ninja-build make pkg-config perl tcl dpkg-dev xz-utils
        autoconf automake libtool
        qt6-base-dev qt6-base-dev-tools"
    local missing="" p
    for p in $want; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
    done
    if [ -n "$missing" ]; then
        say "installing:$missing"
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
    fi
}

# apt-get source needs deb-src entries; add them, for the archives already in use, when none exist.
ensure_deb_src() {
    if grep -rqsE '^[[:space:]]*(deb-src[[:space:]]|Types:.*deb-src)' \
            /etc/apt/sources.list /etc/apt/sources.list.d/; then
        return
    fi
    local f=/etc/apt/sources.list.d/zelvo-deb-src.sources
    say "adding $f"
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        sed 's/^Types:[[:space:]]*deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
            | $sudo tee "$f" >/dev/null
    else
        f=/etc/apt/sources.list.d/zelvo-deb-src.list
        sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' /etc/apt/sources.list | $sudo tee "$f" >/dev/null
    fi
    $sudo apt-get update -qq
}

# The source versions apt knows for a package, newest first.
source_versions() {
    apt-cache showsrc --only-source "$1" 2>/dev/null | sed -n 's/^Version: //p' | sort -u | sort -r -V
}

# The folder name of a package's version: the epoch's colon does not belong in a path.
part_dir() { printf '%s/%s-%s' "$cache" "$1" "$(printf '%s' "$2" | tr ':' '_')"; }

# The parts a stamp was built against, one line.
deps_line() { printf 'deps=%s\n' "$*"; }

stamp_ok() {  # dir deps...
    local dir=$1; shift
    [ -f "$dir/stamp" ] && grep -qxF "$(deps_line "$@")" "$dir/stamp"
}

# Chooses the version of a source package: one already built against the same parts, else the
# newest whose files the archive still has (a security update's listing can be ahead of the
# mirror). Sets $version, $dir, $src (the unpacked source, fetched when the part must be built).
choose_source() {  # package deps...
    local pkg=$1; shift
    local v
    version="" dir="" src=""
    for v in $(source_versions "$pkg"); do
        if stamp_ok "$(part_dir "$pkg" "$v")" "$@"; then
            version=$v; dir=$(part_dir "$pkg" "$v"); return 0
        fi
    done
    mkdir -p "$work"
    for v in $(source_versions "$pkg"); do
        local upstream=${v#*:}; upstream=${upstream%-*}
        local dsc="$work/${pkg}_${v#*:}.dsc"
        src="$work/$pkg-${v#*:}"
        if [ ! -f "$dsc" ]; then
            say "fetching $pkg $v"
            (cd "$work" && apt-get source --download-only -q "$pkg=$v") >"$work/fetch-$pkg.log" 2>&1 \
                || { say "$pkg $v: not in the archive, trying an older version"; continue; }
        fi
        if [ ! -d "$src" ]; then
            dpkg-source --no-check -x "$dsc" "$src" >>"$work/fetch-$pkg.log" 2>&1
        fi
        version=$v; dir=$(part_dir "$pkg" "$v")
        return 0
    done
    echo "no source of $pkg could be fetched" >&2
    exit 1
}

finish_part() {  # name seconds deps...
    local name=$1 secs=$2; shift 2
    local size
    size=$(du -sk "$dir/prefix" | cut -f1)
    {
        printf 'package=%s\nversion=%s\nseconds=%s\ninstalled_kib=%s\nbuilt=%s\n' \
            "$name" "$version" "$secs" "$size" "$(date -u +%Y-%m-%dT%H:%M:%SZ)"
        deps_line "$@"
    } >"$dir/stamp"
    say "$name $version: built in $((secs / 60)) min $((secs % 60)) s, $size KiB installed"
}

# Runs one part's build function with its output in build.log, timed, unless its stamp says it
# is built already.
build_part() {  # package function deps...
    local pkg=$1 fn=$2; shift 2
    choose_source "$pkg" "$@"
    if stamp_ok "$dir" "$@"; then
        say "$pkg $version: built already ($(sed -n 's/^seconds=//p' "$dir/stamp") s), $dir"
    else
        say "building $pkg $version into $dir (log: $dir/build.log)"
        rm -rf "$dir/prefix" "$dir/stamp"
        mkdir -p "$dir"
        local start end
        start=$(date +%s)
        # not inside an if: there, set -e would be off in the subshell too
        local rc=0
        set +e
        ( set -eu; "$fn" ) >"$dir/build.log" 2>&1
        rc=$?
        set -e
        if [ "$rc" != 0 ]; then
            echo "building $pkg failed; the end of $dir/build.log:" >&2
            tail -n 40 "$dir/build.log" >&2
            exit 1
        fi
        end=$(date +%s)
        finish_part "$pkg" "$((end - start))" "$@"
        # qtbase's build folder alone takes some 4 GB; ZELVO_WINDOWS_KEEP_BUILD=1 keeps them
        [ "${ZELVO_WINDOWS_KEEP_BUILD:-0}" = 1 ] || rm -rf "$work/build-$pkg"
    fi
    eval "prefix_${pkg//[-.]/_}=\"\$dir/prefix\""
    eval "name_${pkg//[-.]/_}=\"\$(basename \"\$dir\")\""
    prefixes="$prefixes $dir/prefix"
    printf '%s\n' $prefixes >"$cache/prefixes.txt"
}

# Static-only prefixes: what a shared library would have pulled in by itself (Libs.private)
# must be named on every link, so it moves into Libs.
# Writes a pkg-config file for a library installed without one:
#   write_pc FILE PREFIX NAME DESCRIPTION VERSION LIBS CFLAGS [REQUIRES]
write_pc() {
    {
        printf 'prefix=%s\nexec_prefix=${prefix}\nlibdir=${exec_prefix}/lib\n' "$2"
        printf 'includedir=${prefix}/include\n\n'
        printf 'Name: %s\nDescription: %s\nVersion: %s\n' "$3" "$4" "$5"
        [ -z "${8:-}" ] || printf 'Requires: %s\n' "$8"
        printf 'Libs: -L${libdir} %s\nCflags: %s\n' "$6" "$7"
    } >"$1"
}

pc_static() {  # file
    local f=$1 priv
    priv=$(sed -n 's/^Libs.private:[[:space:]]*//p' "$f")
    if [ -n "$priv" ]; then
        sed -i -e '/^Libs.private:/d' -e "s|^Libs:.*|& $priv|" "$f"
    fi
    local req
    req=$(sed -n 's/^Requires.private:[[:space:]]*//p' "$f")
    if [ -n "$req" ]; then
        if grep -q '^Requires:' "$f"; then
            sed -i -e '/^Requires.private:/d' -e "s|^Requires:.*|&, $req|" "$f"
        else
            sed -i "s|^Requires.private:|Requires:|" "$f"
        fi
    fi
}

# ---------------------------------------------------------------------------------------------
# SQLite from the full source, with Debian's options.
build_sqlite3() {
    local b="$work/build-sqlite3"
    rm -rf "$b"; mkdir -p "$b"; cd "$b"
    local opts="-DSQLITE_SECURE_DELETE -DSQLITE_ENABLE_COLUMN_METADATA
        -DSQLITE_ENABLE_FTS3 -DSQLITE_ENABLE_FTS3_PARENTHESIS -DSQLITE_ENABLE_RTREE=1
        -DSQLITE_SOUNDEX=1 -DSQLITE_ENABLE_UNLOCK_NOTIFY -DSQLITE_OMIT_LOOKASIDE=1
        -DSQLITE_ENABLE_DBSTAT_VTAB -DSQLITE_ALLOW_ROWID_IN_VIEW
        -DSQLITE_ENABLE_UPDATE_DELETE_LIMIT=1 -DSQLITE_ENABLE_LOAD_EXTENSION -DSQLITE_ENABLE_JSON1
        -DSQLITE_LIKE_DOESNT_MATCH_BLOBS -DSQLITE_THREADSAFE=1 -DSQLITE_ENABLE_FTS3_TOKENIZER=1
        -DSQLITE_USE_URI=1 -DSQLITE_MAX_SCHEMA_RETRY=25 -DSQLITE_ENABLE_PREUPDATE_HOOK
        -DSQLITE_ENABLE_SESSION -DSQLITE_ENABLE_STMTVTAB -DSQLITE_MAX_VARIABLE_NUMBER=250000"
    # The amalgamation is made by the build machine's compiler (its generators run here) with
    # the same options, since some of them change the generated parser; then cross-compiled.
    env -u CC -u AR -u RANLIB "$src/configure" --disable-tcl --disable-readline --disable-editline \
        --disable-shared CFLAGS="-O2 $(echo $opts)"
    env -u CC -u AR -u RANLIB make -j"$jobs" sqlite3.c sqlite3.h
    $CC -O2 -fno-strict-aliasing $(echo $opts) -c sqlite3.c -o sqlite3.o
    $AR rcs libsqlite3.a sqlite3.o
    install -d "$dir/prefix/include" "$dir/prefix/lib/pkgconfig"
    install -m 644 sqlite3.h "$src/src/sqlite3ext.h" "$dir/prefix/include/"
    install -m 644 libsqlite3.a "$dir/prefix/lib/"
    write_pc "$dir/prefix/lib/pkgconfig/sqlite3.pc" "$dir/prefix" SQLite "SQL database engine" \
        "$(cat "$src/VERSION")" -lsqlite3 '-I${includedir}'
    pc_static "$dir/prefix/lib/pkgconfig/sqlite3.pc"
}

# zlib, and minizip from its contrib/ (compiled directly: its own build wants automake).
build_zlib() {
    local b="$work/build-zlib"
    rm -rf "$b"; cp -a "$src" "$b"; cd "$b"
    CHOST=$host CFLAGS="-O2" ./configure --static --prefix="$dir/prefix"
    make -j"$jobs" libz.a
    make install
    cd contrib/minizip
    local o=""
    for f in ioapi unzip zip mztools iowin32; do
        $CC -O2 -I"$dir/prefix/include" -c $f.c -o $f.o
        o="$o $f.o"
    done
    $AR rcs libminizip.a $o
    install -d "$dir/prefix/include/minizip"
    install -m 644 libminizip.a "$dir/prefix/lib/"
    install -m 644 crypt.h ioapi.h iowin32.h mztools.h unzip.h zip.h "$dir/prefix/include/minizip/"
    local mzver
    mzver=$(sed -n 's/^AC_INIT(\[minizip\], \[\([^]]*\)\].*/\1/p' configure.ac)
    write_pc "$dir/prefix/lib/pkgconfig/minizip.pc" "$dir/prefix" minizip \
        "Minizip zip file manipulation library" "${mzver:-1.2.13}" -lminizip \
        '-I${includedir}/minizip' zlib
}

build_libsodium() {
    local b="$work/build-libsodium"
    rm -rf "$b"; mkdir -p "$b"
    # Debian's source is the git tree, without a generated configure
    [ -x "$src/configure" ] || (cd "$src" && autoreconf -fi)
    cd "$b"
    "$src/configure" --host=$host --prefix="$dir/prefix" --disable-shared --enable-static \
        --disable-ssp --disable-dependency-tracking
    make -j"$jobs"
    make install
    rm -f "$dir"/prefix/lib/*.la
    # the headers' declarations without dllimport
    sed -i 's|^Cflags: -I${includedir}$|Cflags: -I${includedir} -DSODIUM_STATIC|' \
        "$dir/prefix/lib/pkgconfig/libsodium.pc"
    pc_static "$dir/prefix/lib/pkgconfig/libsodium.pc"
}

# libxlsxwriter with the minizip above, as Debian builds it (no second copy of minizip).
build_libxlsxwriter() {
    local b="$work/build-libxlsxwriter"
    rm -rf "$b"
    cmake -S "$src" -B "$b" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DZELVO_WINDOWS_PREFIXES="$prefix_zlib" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$dir/prefix" -DCMAKE_INSTALL_LIBDIR=lib -DBUILD_SHARED_LIBS=OFF \
        -DUSE_SYSTEM_MINIZIP=ON -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF
    cmake --build "$b" --parallel "$jobs"
    cmake --install "$b"
    local pc="$dir/prefix/lib/pkgconfig/xlsxwriter.pc"
    local v=${version%-*}
    sed -i -e 's|^Libs: .*|Libs: -L${libdir} -lxlsxwriter|' -e "s|^Version: .*|Version: $v|" "$pc"
    printf 'Requires: minizip zlib\n' >>"$pc"
}

# libpq alone, as one static archive holding libpq and the parts of libpgcommon and libpgport
# it calls; PostgreSQL's own Windows build makes only a DLL of it. Only what libpq needs is
# built: the headers, src/common, src/port and src/interfaces/libpq.
build_postgresql_15() {
    local b="$work/build-postgresql-15"
    rm -rf "$b"; mkdir -p "$b"; cd "$b"
    "$src/configure" --host=$host --prefix="$dir/prefix" --without-readline --without-zlib \
        --without-icu --without-openssl --without-gssapi --without-ldap --without-libxml \
        --without-lz4 --without-zstd --disable-nls
    make -C src/include -j"$jobs"
    make -C src/common -j"$jobs"
    make -C src/port -j"$jobs"
    make -C src/interfaces/libpq -j"$jobs"
    local t="$b/libpq-static"
    rm -rf "$t"; mkdir -p "$t/common" "$t/port"
    (cd "$t/common" && $AR x "$b/src/common/libpgcommon_shlib.a")
    (cd "$t/port" && $AR x "$b/src/port/libpgport_shlib.a")
    mkdir -p "$t/pq"
    cp $(ls "$b"/src/interfaces/libpq/*.o | grep -v 'libpqrc\.o$') "$t/pq/"
    # libpq carries its own small pthread functions for Windows, on its own types; in one
    # executable with winpthread they must not meet, so libpq's get names of their own.
    local syms="$t/pthread-names" o
    $host-nm --defined-only "$t/pq/pthread-win32.o" | awk '$2 == "T" && $3 ~ /^pthread_/ {
        print $3 " pq_" $3 }' >"$syms"
    for o in "$t"/pq/*.o "$t"/common/*.o "$t"/port/*.o; do
        $host-objcopy --redefine-syms="$syms" "$o"
    done
    $AR rcs "$t/libpq.a" "$t"/pq/*.o "$t"/common/*.o "$t"/port/*.o
    make -C src/include install
    install -d "$dir/prefix/lib/pkgconfig"
    install -m 644 "$src/src/interfaces/libpq/libpq-fe.h" "$src/src/interfaces/libpq/libpq-events.h" \
        "$dir/prefix/include/"
    install -m 644 "$t/libpq.a" "$dir/prefix/lib/"
    local pgver
    pgver=$(sed -n 's/^#define PG_VERSION "\(.*\)"/\1/p' src/include/pg_config.h)
    write_pc "$dir/prefix/lib/pkgconfig/libpq.pc" "$dir/prefix" libpq "PostgreSQL libpq library" \
        "$pgver" "-lpq -lshell32 -lws2_32 -lsecur32 -ladvapi32" '-I${includedir}'
}

# qtbase, static, with the host's Qt of the same version for moc, rcc and uic.
build_qt6_base() {
    local b="$work/build-qt6-base"
    rm -rf "$b"
    # Without OpenGL the dynamicgl feature is not defined at all, and QT_CONFIG() of an
    # undefined feature does not compile.
    local w="$src/src/plugins/platforms/windows/qwindowswindow.cpp"
    grep -q 'QT_CONFIG(opengl) && QT_CONFIG(dynamicgl)' "$w" \
        || sed -i 's|^#if QT_CONFIG(dynamicgl)$|#if QT_CONFIG(opengl) \&\& QT_CONFIG(dynamicgl)|' "$w"
    local deps="$prefix_sqlite3;$prefix_zlib;$prefix_postgresql_15"
    cmake -S "$src" -B "$b" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DZELVO_WINDOWS_PREFIXES="$deps" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DCMAKE_INSTALL_PREFIX="$dir/prefix" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF \
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
        -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF -DFEATURE_dbus=OFF -DFEATURE_icu=OFF \
        -DFEATURE_glib=OFF -DFEATURE_tabletevent=OFF -DFEATURE_openssl=OFF \
        -DFEATURE_zstd=OFF -DFEATURE_brotli=OFF -DFEATURE_libproxy=OFF \
        -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
        -DFEATURE_system_zlib=ON -DFEATURE_system_sqlite=ON \
        -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF \
        -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
        -DFEATURE_sql=ON -DFEATURE_sql_sqlite=ON -DFEATURE_sql_psql=ON -DFEATURE_sql_odbc=OFF \
        -DFEATURE_sql_mysql=OFF -DFEATURE_sql_ibase=OFF -DFEATURE_sql_oci=OFF -DFEATURE_sql_db2=OFF \
        -DFEATURE_printsupport=ON -DFEATURE_testlib=ON -DFEATURE_network=ON -DFEATURE_widgets=ON
    grep -E 'sql_(sqlite|psql)|system_sqlite|tabletevent|opengl' "$b/CMakeCache.txt" | grep FEATURE || true
    cmake --build "$b" --parallel "$jobs"
    cmake --install "$b"
}

# ---------------------------------------------------------------------------------------------
install_packages
ensure_deb_src
mkdir -p "$cache"
prefixes=""
prefix_sqlite3="" prefix_zlib="" prefix_postgresql_15=""
name_sqlite3="" name_zlib="" name_postgresql_15=""

total_start=$(date +%s)
build_part sqlite3 build_sqlite3
build_part zlib build_zlib
build_part libsodium build_libsodium
build_part libxlsxwriter build_libxlsxwriter "$name_zlib"
build_part postgresql-15 build_postgresql_15
build_part qt6-base build_qt6_base "$name_sqlite3" "$name_zlib" "$name_postgresql_15"

say "all parts ready in $(( $(date +%s) - total_start )) s; prefixes listed in $cache/prefixes.txt"
