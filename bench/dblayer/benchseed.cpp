#include "benchseed.h"

#include "db/connection.h"

#include <QDate>
#include <QDir>
#include <QProcess>
#include <sys/resource.h>

using namespace zelvo;

namespace benchseed {

void openSeeded(db::Connection& connection, const QString& directory, int count)
{
    connection.openSqlite(QDir(directory).filePath(QStringLiteral("zelvo.db")));
    addStudents(connection, count);
}

void addStudents(db::Connection& connection, int count, const QString& unit)
{
    const qint64 first = (unit.toLongLong() - 1) * 1000000;
    // the March 2026 period runs from 15 March to 14 April
    const QDate starts[] = {QDate(2026, 3, 1),  QDate(2026, 3, 15), QDate(2026, 3, 20),
                            QDate(2026, 2, 10), QDate(2026, 3, 25), QDate(2026, 4, 1)};
    const QDate ends[] = {QDate(2026, 5, 1),  QDate(2026, 4, 14), QDate(2026, 4, 2),
                          QDate(2026, 3, 31), QDate(2026, 3, 25), QDate(2026, 6, 30)};
    db::Transaction transaction(connection);
    for (int i = 0; i < count; ++i) {
        const int kind = i % 6;
        connection.execute(
            QStringLiteral("INSERT INTO ogrenci (ogrencino, adi, soyadi, tckimlikno, statu, "
                           "baslangictarihi, bitistarihi, gss, birimkodu) VALUES (@no, @adi, "
                           "@soyadi, @tc, '1', @bas, @bit, 0, @unit)"),
            {{QStringLiteral("@no"),
              QStringLiteral("%1").arg(20260000 + first + i, 10, 10, QLatin1Char('0'))},
             {QStringLiteral("@adi"), QStringLiteral("Öğrenci %1").arg(i)},
             {QStringLiteral("@soyadi"), QStringLiteral("Şahinoğlu")},
             {QStringLiteral("@tc"), QStringLiteral("%1").arg(10000000000LL + first + i)},
             {QStringLiteral("@unit"), unit},
             {QStringLiteral("@bas"), starts[kind]},
             {QStringLiteral("@bit"), ends[kind]}});
    }
    transaction.commit();
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double peakMemoryMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

int runEachSizeApart(const QString& program, const QList<int>& sizes)
{
    for (int size : sizes) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(program, {QString::number(size)});
        if (!child.waitForFinished(-1) || child.exitStatus() != QProcess::NormalExit)
            return 1;
        if (child.exitCode() != 0)
            return child.exitCode();
    }
    return 0;
}

} // namespace benchseed
