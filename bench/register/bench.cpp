// A term's list of students in one file: 10,000 rows written as .xlsx, then read, checked
// against the rules and the register and shown in the preview window (painted once), then
// stored in one transaction, on an embedded database file. Prints the seconds of each half.
//
//   bench_register            10,000 rows
//   bench_register <count>    another size

#include "benchseed.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "register/studentexport.h"
#include "register/studentimport.h"
#include "register/tfrmogrenciaktar.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

using namespace zelvo;
using namespace zelvo::studentregister;

namespace {

QString identity(int n)
{
    const QString digits = QString::number(100000000 + n);
    int d[11];
    for (int i = 0; i < 9; ++i)
        d[i] = digits.at(i).digitValue();
    d[9] = (((d[0] + d[2] + d[4] + d[6] + d[8]) * 7 - (d[1] + d[3] + d[5] + d[7])) % 10 + 10) % 10;
    int sum = 0;
    for (int i = 0; i < 10; ++i)
        sum += d[i];
    d[10] = sum % 10;
    return digits + QString::number(d[9]) + QString::number(d[10]);
}

QList<StudentValues> students(int count)
{
    QList<StudentValues> rows;
    for (int n = 1; n <= count; ++n)
        rows.append({{QStringLiteral("ogrencino"), QStringLiteral("B%1").arg(n)},
                     {QStringLiteral("adi"), QStringLiteral("Öğrenci")},
                     {QStringLiteral("soyadi"), QStringLiteral("Şahinoğlu %1").arg(n)},
                     {QStringLiteral("tckimlikno"), identity(n)},
                     {QStringLiteral("statu"), QStringLiteral("1")},
                     {QStringLiteral("baslangictarihi"), QDate(2026, 2, 1)},
                     {QStringLiteral("bitistarihi"), QDate(2026, 6, 30)},
                     {QStringLiteral("gss"), n % 2},
                     {QStringLiteral("stajili"), QStringLiteral("İZMİR")},
                     {QStringLiteral("stajyeri"), QStringLiteral("Ege Bölge Hastanesi")}});
    return rows;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const int count = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10000;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("ogrenciler.xlsx"));
    writeStudentsXlsx(file, students(count));

    db::Connection connection;
    benchseed::openSeeded(connection, dir.path(), 0);
    db::Dataset login(connection);
    login.setSql(QStringLiteral("select * from kullanici where kullanici = 'admin'"));
    login.open();
    ui::DialogService dialogs;
    ui::AppContext context{connection, login, dialogs, nullptr};

    QElapsedTimer clock;
    clock.start();
    ImportCheck check = StudentImport(connection).checkFile(file, QStringLiteral("01"));
    TFrmOgrenciAktar preview(context, std::move(check), QStringLiteral("ogrenciler.xlsx"));
    preview.show();
    preview.grab(); // painted once, as the user first sees it
    const double shown = clock.nsecsElapsed() / 1e9;
    if (preview.importCheck().count(ImportOutcome::New) != count) {
        std::fprintf(stderr, "expected %d new rows: %s\n", count,
                     qPrintable(preview.importCheck().summary()));
        return 1;
    }

    clock.restart();
    const ImportStamp stamp{QStringLiteral("01"), QStringLiteral("admin"), QStringLiteral("Bench"),
                            QDate::currentDate(), QTime::currentTime()};
    const int stored = StudentImport(connection).store(preview.importCheck(), stamp, false);
    const double storing = clock.nsecsElapsed() / 1e9;
    std::printf("%d rows: read, checked and previewed %.2f s; stored %d in %.2f s; peak %.0f MB\n",
                count, shown, stored, storing, benchseed::peakMemoryMb());
    return stored == count ? 0 : 1;
}
