// The printed lists of a real month, to look at: loads the demo students, runs the January
// 2026 timesheet and accrual of both editions, then drives the four list windows, saving each
// preview's report as PDF and a picture of the preview and of the window:
//     lists_demo <output folder>
#include "lists/tfrmliste.h"
#include "monthly/accrualcomputation.h"
#include "monthly/runprogress.h"
#include "monthly/timesheetcomputation.h"
#include "report/report.h"
#include "testsession.h"
#include "ui/look.h"

#include <QApplication>
#include <QDir>
#include <QRadioButton>
#include <QTextStream>
#include <QToolButton>

using namespace zelvo;

using namespace zelvo::monthly;
using namespace zelvo::lists;
using zelvo::core::Period;

namespace {

void runMonth(TestSession& session, const Period& period, bool gss)
{
    db::Connection& c = session.connection;
    db::Dataset removal(c), students(c), dayCount(c), single(c), monthView(c);
    RunProgress progress(&session.mainWindow, QStringLiteral("Puantaj"));
    computeTimesheet(gss ? TimesheetEdition::gss() : TimesheetEdition::standard(),
                     {removal, students, dayCount, single, monthView}, period,
                     session.context->unitCode(), progress);
    db::Dataset parameters(c), accrualRemoval(c), timesheet(c), store(c), result(c);
    parameters.setProcedure(QStringLiteral("ParametreGetir"));
    parameters.open();
    computeAccrual(gss ? AccrualEdition::gss() : AccrualEdition::standard(),
                   {parameters, accrualRemoval, timesheet, store, result}, period,
                   session.context->unitCode(), progress);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
    ui::look::installFontSubstitutions();
    const QString out = QDir(app.arguments().value(1, QStringLiteral("."))).absolutePath();
    QDir().mkpath(out + QStringLiteral("/templates"));
    QTextStream log(stdout);

    TestSession session;
    session.loadDemo();
    const Period january(QStringLiteral("2026"), 1);
    runMonth(session, january, false);
    runMonth(session, january, true);

    QString name;
    session.dialogs.onModal = [&](QDialog& dialog) {
        auto* preview = qobject_cast<report::PreviewDialog*>(&dialog);
        if (!preview)
            return;
        preview->show();
        QApplication::processEvents();
        preview->grab().save(out + QStringLiteral("/%1-preview.png").arg(name));
        session.dialogs.saveAnswers = {out + QStringLiteral("/%1.pdf").arg(name)};
        if (!preview->saveReport())
            log << name << ": not saved\n";
        preview->close();
    };
    for (const ListVariant* variant : ListVariant::all()) {
        name = variant->instanceName;
        TFrmListe window(*session.context, &session.mainWindow, *variant);
        window.setTemplateFolder(out + QStringLiteral("/templates"));
        window.show();
        window.findChild<QRadioButton*>(QStringLiteral("Month1"))->click();
        window.findChild<QToolButton*>(QStringLiteral("SpeedButton5"))->click();
        QApplication::processEvents();
        window.grab().save(out + QStringLiteral("/%1-window.png").arg(name));
        window.close();
        log << name << ": " << session.dialogs.texts(ScriptedDialogs::Kind::Error).join(u' ')
            << " done\n";
    }
    return 0;
}
