// Pictures of the timesheet and accrual windows of both editions after a run on the demo data,
// for looking at the layout: monthly_screens <folder> [month]

#include "app/startup.h"
#include "db/dataset.h"
#include "monthly/tfrmpuantajgss.h"
#include "monthly/tfrmtahakkukgss.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <cstdio>

using namespace zelvo;

using namespace zelvo::monthly;

namespace {

class PrintingDialogs : public ui::DialogService {
public:
    void message(QWidget*, const QString& text) override { print(text); }
    void error(QWidget*, const QString& text) override { print(text); }

private:
    static void print(const QString& text)
    {
        std::fprintf(stderr, "monthly_screens: %s\n", qPrintable(text));
    }
};

void runAndGrab(QDialog& window, int month, const QString& path)
{
    window.show();
    QTest::mouseClick(window.findChild<QRadioButton*>(QStringLiteral("Month%1").arg(month)),
                      Qt::LeftButton);
    QTest::mouseClick(window.findChild<QToolButton*>(QStringLiteral("SpeedButton5")),
                      Qt::LeftButton);
    QCoreApplication::processEvents();
    window.grab().save(path);
    window.close();
    std::printf("%s\n", qPrintable(path));
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    app::setUpApplication();
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    const int month = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 1;
    try {
        db::Connection connection;
        connection.openInMemory();
        QFile demo(QStringLiteral(ZELVO_SOURCE_DIR "/server/demo.sql"));
        if (!demo.open(QIODevice::ReadOnly))
            throw db::DbError(QStringLiteral("demo.sql missing"));
        connection.applyScript(QString::fromUtf8(demo.readAll()));
        db::Dataset login(connection);
        login.setProcedure(QStringLiteral("BireyGetirLogin"));
        login.addParam(QStringLiteral("@Key1"), QStringLiteral("admin"));
        login.open();
        PrintingDialogs dialogs;
        QWidget mainWindow;
        ui::AppContext context{connection, login, dialogs, &mainWindow};

        TFrmPuantaj timesheet(context, &mainWindow);
        runAndGrab(timesheet, month, folder.filePath(QStringLiteral("puantaj.png")));
        TFrmPuantajgss timesheetGss(context, &mainWindow);
        runAndGrab(timesheetGss, month, folder.filePath(QStringLiteral("puantajgss.png")));
        TFrmTahakkuk accrual(context, &mainWindow);
        runAndGrab(accrual, month, folder.filePath(QStringLiteral("tahakkuk.png")));
        TFrmTahakkukGss accrualGss(context, &mainWindow);
        runAndGrab(accrualGss, month, folder.filePath(QStringLiteral("tahakkukgss.png")));
    } catch (const db::DbError& e) {
        std::fprintf(stderr, "monthly_screens: %s\n", e.what());
        return 1;
    }
    return 0;
}
