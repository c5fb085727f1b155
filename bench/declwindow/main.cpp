// Step (1) and the two files of the declaration window for a unit of many students, through the
// window's own buttons: a database file with one month of accrual rows, the window shown
// offscreen, "(1) Hesapla", then the XML and the CSV file written to a temporary folder. Prints
// the milliseconds of every step and the peak memory of the process.
//
//   bench_declwindow [students]     (10,000 when not given)

#include "db/connection.h"
#include "db/dataset.h"
#include "declaration/tfrmxml.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QToolButton>

#include <cstdio>
#include <sys/resource.h>

using namespace zelvo;

namespace {

long peakMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024; // ru_maxrss is in KiB on Linux
}

// No box is shown: a message or an error means a step did not do its work. The save dialog
// answers with the next prepared path.
class ScriptedSaves : public ui::DialogService {
public:
    void message(QWidget*, const QString& text) override { report(text); }
    void error(QWidget*, const QString& text) override { report(text); }
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&,
                         const QString&) override
    {
        return paths.isEmpty() ? QString() : paths.takeFirst();
    }
    QStringList paths;
    int failures = 0;

private:
    void report(const QString& text)
    {
        ++failures;
        std::fprintf(stderr, "bench_declwindow: %s\n", qPrintable(text));
    }
};

// Students of unit 01, a fifth of them entering and a seventh leaving in March 2012's period,
// each with the timesheet and accrual row of March.
void seed(db::Connection& connection, int students)
{
    db::Transaction transaction(connection);
    connection.execute(QStringLiteral("update Parametre set aktifyil='2012'"));
    const QString names[] = {QStringLiteral("Ayşe"), QStringLiteral("Çağrı"),
                             QStringLiteral("İsmail"), QStringLiteral("Gülşen"),
                             QStringLiteral("Şükrü")};
    const QString surnames[] = {QStringLiteral("Yılmaz"), QStringLiteral("Öztürk"),
                                QStringLiteral("Işık"), QStringLiteral("Doğan")};
    for (int i = 0; i < students; ++i) {
        const QString start =
            i % 5 == 0 ? QStringLiteral("2012-03-20") : QStringLiteral("2012-02-01");
        const QString end =
            i % 7 == 0 ? QStringLiteral("2012-04-03") : QStringLiteral("2012-06-30");
        connection.execute(
            QStringLiteral("insert into ogrenci (idogrenci, ogrencino, adi, soyadi, ilksoyadi, "
                           "tckimlikno, ssksicilno, statu, baslangictarihi, bitistarihi, gss, "
                           "stajili, stajyeri, birimkodu) values (@id, @no, @adi, @soyadi, "
                           "@ilk, @tc, @ssk, '1', @bas, @bit, 0, 'ANKARA', 'Ostim A.Ş.', '01')"),
            {{QStringLiteral("@id"), i + 1},
             {QStringLiteral("@no"), QString::number(20120000 + i)},
             {QStringLiteral("@adi"), names[i % 5]},
             {QStringLiteral("@soyadi"), surnames[i % 4]},
             {QStringLiteral("@ilk"), i % 9 == 0 ? surnames[(i + 1) % 4] : QString()},
             {QStringLiteral("@tc"), QString::number(10000000000LL + i * 13LL)},
             {QStringLiteral("@ssk"), QString::number(1000000000LL + i * 7LL)},
             {QStringLiteral("@bas"), start},
             {QStringLiteral("@bit"), end}});
        const int days = i % 5 == 0 ? 26 : 30;
        const db::Params row = {{QStringLiteral("@id"), i + 1}, {QStringLiteral("@gun"), days}};
        connection.execute(QStringLiteral("insert into Puantaj (idogrenci, yil, ay, gun, gun1, "
                                          "gun2, birimkodu) values (@id, '2012', 3, @gun, @gun, "
                                          "0, '01')"),
                           row);
        connection.execute(
            QStringLiteral("insert into Tahakkuk (idogrenci, yil, ay, gun, kazanc, matrah, "
                           "isveren, isci, birimkodu) values (@id, '2012', 3, @gun, "
                           "round(886.5 * @gun / 30, 2), round(886.5 * @gun / 30, 2), 0, 0, "
                           "'01')"),
            row);
    }
    transaction.commit();
}

double clickMs(QToolButton* button)
{
    QElapsedTimer clock;
    clock.start();
    button->click();
    return double(clock.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int students = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10000;
    if (students < 1) {
        std::fprintf(stderr, "usage: bench_declwindow [students]\n");
        return 2;
    }

    QTemporaryDir directory;
    db::Connection connection;
    connection.openSqlite(directory.filePath(QStringLiteral("zelvo.db")));
    seed(connection, students);
    db::Dataset login(connection);
    login.setProcedure(QStringLiteral("BireyGetirLogin"));
    login.addParam(QStringLiteral("@Key1"), QStringLiteral("admin"));
    login.open();
    ScriptedSaves dialogs;
    QWidget mainWindow;
    ui::AppContext context{connection, login, dialogs, &mainWindow};
    const QString xmlPath = directory.filePath(QStringLiteral("01-xml-03.txt"));
    const QString csvPath = directory.filePath(QStringLiteral("bilgiamacliDOSYA-03.txt"));
    dialogs.paths << xmlPath << csvPath;

    declaration::TFrmxml window(context);
    window.show();
    window.findChild<QRadioButton*>(QStringLiteral("Month3"))->click();
    std::printf("bench_declwindow: %d students, peak before the steps %ld MiB\n", students,
                peakMiB());

    const double prepare = clickMs(window.findChild<QToolButton*>(QStringLiteral("SpeedButton1")));
    const int rows =
        connection.query(QStringLiteral("select count(*) from Xml")).rows.value(0).value(0).toInt();
    std::printf("  (1) Hesapla       %8.1f ms  %d rows stored  peak %ld MiB\n", prepare, rows,
                peakMiB());
    const double xml = clickMs(window.findChild<QToolButton*>(QStringLiteral("SpeedButton2")));
    std::printf("  (2) XML file      %8.1f ms  %lld bytes      peak %ld MiB\n", xml,
                QFileInfo(xmlPath).size(), peakMiB());
    const double csv = clickMs(window.findChild<QToolButton*>(QStringLiteral("SpeedButton11")));
    std::printf("  (3) CSV file      %8.1f ms  %lld bytes      peak %ld MiB\n", csv,
                QFileInfo(csvPath).size(), peakMiB());
    window.close();

    const bool complete = dialogs.failures == 0 && rows == students &&
                          QFileInfo(xmlPath).size() > 0 && QFileInfo(csvPath).size() > 0;
    return complete ? 0 : 1;
}
