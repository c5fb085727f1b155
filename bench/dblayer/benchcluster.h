// A private PostgreSQL cluster for a benchmark, started by the tests' own script and stopped
// when the object goes. The including program defines ZELVO_SOURCE_DIR.
#pragma once

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <stdexcept>

namespace benchseed {

class Cluster {
public:
    Cluster()
        : m_dir(QStringLiteral("/tmp/zelvo-bench-pg-%1").arg(QCoreApplication::applicationPid()))
    {
        const QString script = QStringLiteral(ZELVO_SOURCE_DIR "/tests/pgserver/pgcluster.sh");
        if (QProcess::execute(QStringLiteral("sh"),
                              {script, QStringLiteral("start"), m_dir,
                               QStringLiteral(ZELVO_SOURCE_DIR "/server/postgresql")}) != 0 ||
            QFileInfo::exists(m_dir + QStringLiteral("/unavailable")))
            throw std::runtime_error("the PostgreSQL cluster did not start");
    }
    ~Cluster()
    {
        QProcess::execute(QStringLiteral("sh"),
                          {QStringLiteral(ZELVO_SOURCE_DIR "/tests/pgserver/pgcluster.sh"),
                           QStringLiteral("stop"), m_dir});
    }
    QString host() const { return m_dir; }

    void createDatabase(const QString& name) const
    {
        {
            QSqlDatabase admin =
                QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("admin"));
            admin.setHostName(m_dir);
            admin.setDatabaseName(QStringLiteral("postgres"));
            admin.setUserName(QStringLiteral("zelvo"));
            QSqlQuery create(admin);
            if (!admin.open() ||
                !create.exec(
                    QStringLiteral("CREATE DATABASE %1 TEMPLATE zelvo_template").arg(name)))
                throw std::runtime_error(qPrintable(create.lastError().text()));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("admin"));
    }

private:
    QString m_dir;
};

} // namespace benchseed
