// A connection to a server over TLS with sslmode=verify-full: it opens when the server's
// certificate comes from the authority the settings name and carries the host name written
// there, and is refused with its own message otherwise. The test starts a cluster of its own
// that listens on loopback TCP with a throw-away authority (pgcluster.sh, ZELVO_PG_TLS_PORT).

#include "db/connection.h"
#include "db/settings.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace zelvo;

namespace {

// A loopback port nobody listens on now, as the system hands one out.
int freePort()
{
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (probe >= 0 && bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    if (probe >= 0)
        close(probe);
    return port;
}

} // namespace

class TstServerTls : public QObject {
    Q_OBJECT

    const QString m_dir = QStringLiteral(ZELVO_TLS_TEST_DIR);
    int m_port = 0;

    bool cluster(const QString& command)
    {
        QProcess script;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("ZELVO_PG_TLS_PORT"), QString::number(m_port));
        script.setProcessEnvironment(environment);
        script.setProcessChannelMode(QProcess::ForwardedChannels);
        script.start(
            QStringLiteral("sh"),
            {QStringLiteral(ZELVO_SOURCE_DIR "/tests/pgserver/pgcluster.sh"), command, m_dir});
        return script.waitForFinished(120000) && script.exitCode() == 0;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_port = freePort();
        QVERIFY(m_port > 0);
        QVERIFY(cluster(QStringLiteral("start")));
        if (QFile::exists(m_dir + QStringLiteral("/unavailable")))
            QSKIP("no PostgreSQL cluster on this machine");
    }
    void cleanupTestCase() { cluster(QStringLiteral("stop")); }

    void verifiedConnection_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("authority");
        QTest::addColumn<bool>("opens");
        QTest::newRow("certificate's name, its authority") << "localhost"
                                                           << "ca.crt" << true;
        QTest::newRow("another name for the same server") << "127.0.0.1"
                                                          << "ca.crt" << false;
        QTest::newRow("another authority") << "localhost"
                                           << "other-ca.crt" << false;
    }
    void verifiedConnection()
    {
        QFETCH(QString, host);
        QFETCH(QString, authority);
        QFETCH(bool, opens);
        // the keys as an administrator writes them into zelvo.ini
        QTemporaryDir folder;
        QFile ini(folder.filePath(QStringLiteral("zelvo.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(QStringLiteral("[database]\nkind=postgresql\nhost=%1\nport=%2\nname=postgres\n"
                                 "user=postgres\nsslmode=verify-full\nsslrootcert=%3/tls/%4\n")
                      .arg(host)
                      .arg(m_port)
                      .arg(m_dir, authority)
                      .toUtf8());
        ini.close();
        db::Connection connection;
        QString refusal;
        try {
            connection.openPostgres(db::loadDatabaseSettings(ini.fileName()).server,
                                    db::Connection::SchemaCheck::Skipped);
        } catch (const db::DbError& e) {
            refusal = e.text();
        }
        QCOMPARE(connection.isOpen(), opens);
        if (opens)
            QVERIFY(connection
                        .query(QStringLiteral("SELECT ssl FROM pg_stat_ssl "
                                              "WHERE pid = pg_backend_pid()"))
                        .rows[0][0]
                        .toBool());
        else
            QVERIFY2(refusal.startsWith(QStringLiteral("Veritabanı sunucusunun kimliği")),
                     qPrintable(refusal));
    }
};

QTEST_GUILESS_MAIN(TstServerTls)
#include "tst_server_tls.moc"
