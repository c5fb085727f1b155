// A picture of the declaration window with prepared rows, to look at: the demonstration students
// of unit 01 get their January timesheet and accrual rows, "(1) Hesapla" is clicked for January
// and the window is saved as a PNG file.
//
//   declwindow_picture <file.png> [gss]

#include "db/connection.h"
#include "db/dataset.h"
#include "declaration/tfrmxmlgss.h"
#include "ui/look.h"

#include <QApplication>
#include <QFile>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QToolButton>

#include <cstdio>

using namespace zelvo;

namespace {

class PrintedDialogs : public ui::DialogService {
public:
    void message(QWidget*, const QString& text) override { print(text); }
    void error(QWidget*, const QString& text) override { print(text); }

private:
    static void print(const QString& text) { std::fprintf(stderr, "%s\n", qPrintable(text)); }
};

// January 2026's timesheet (the days of 15 January to 14 February inside the internship, at
// most 30) and
// the accrual the server stores for it from the month's minimum wage.
void januaryAccrual(db::Connection& connection)
{
    connection.execute(QStringLiteral(
        "insert into Puantaj (idogrenci, yil, ay, gun, gun1, gun2, birimkodu) "
        "select idogrenci, '2026', 1, min(d, 30), min(d, 30), 0, birimkodu from (select idogrenci, "
        "birimkodu, "
        "cast(julianday(min(bitistarihi, '2026-02-14')) - julianday(max(baslangictarihi, "
        "'2026-01-15')) as integer) + 1 as d from ogrenci where statu <> '2' and "
        "baslangictarihi <= '2026-02-14' and bitistarihi >= '2026-01-15')"));
    const db::ResultRows rows = connection.query(
        QStringLiteral("select idogrenci, gun from Puantaj where yil='2026' and ay=1"));
    for (const auto& row : rows.rows)
        connection.callProcedure(QStringLiteral("Tahakkukekle"),
                                 {{QStringLiteral("@idogrenci"), row.at(0).toString()},
                                  {QStringLiteral("@yil"), QStringLiteral("2026")},
                                  {QStringLiteral("@ay"), 1},
                                  {QStringLiteral("@gun"), row.at(1)},
                                  {QStringLiteral("@birimkodu"), QStringLiteral("01")},
                                  {QStringLiteral("@kazanc"), 33030.0 * row.at(1).toInt() / 30},
                                  {QStringLiteral("@matrah"), 33030.0 * row.at(1).toInt() / 30}});
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: declwindow_picture <file.png> [gss]\n");
        return 2;
    }
    ui::look::installFontSubstitutions();
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));

    db::Connection connection;
    connection.openInMemory();
    QFile demo(QStringLiteral(ZELVO_SOURCE_DIR "/server/demo.sql"));
    if (!demo.open(QIODevice::ReadOnly))
        return 1;
    connection.applyScript(QString::fromUtf8(demo.readAll()));
    januaryAccrual(connection);

    db::Dataset login(connection);
    login.setProcedure(QStringLiteral("BireyGetirLogin"));
    login.addParam(QStringLiteral("@Key1"), QStringLiteral("admin"));
    login.open();
    PrintedDialogs dialogs;
    QWidget mainWindow;
    ui::AppContext context{connection, login, dialogs, &mainWindow};

    const bool gss = argc > 2 && qstrcmp(argv[2], "gss") == 0;
    std::unique_ptr<declaration::TFrmxml> window(gss ? new declaration::TFrmxmlgss(context)
                                                     : new declaration::TFrmxml(context));
    window->show();
    window->findChild<QRadioButton*>(QStringLiteral("Month1"))->click();
    window->findChild<QToolButton*>(QStringLiteral("SpeedButton1"))->click();
    QApplication::processEvents();
    return window->grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
