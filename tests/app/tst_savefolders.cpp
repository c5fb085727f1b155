#include "ui/dialogservice.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace zelvo;

namespace {

const QString kReportFilters = QStringLiteral("Hazır rapor (*.zrp);;PDF belgesi (*.pdf)");

// What the open file dialog showed when it came up, and what the user did in it.
struct Seen {
    QString folder;
    QString name;
    QString folderAfterFilter;
    QString nameAfterFilter;
};

// Answers the next file dialog as a user: optionally picks the second file type with the
// keyboard, optionally types a name, then presses Enter (or Escape to cancel).
void answerNextDialog(Seen& seen, bool secondFilter, const QString& typed, bool cancel = false)
{
    QTimer::singleShot(0, [&seen, secondFilter, typed, cancel] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(name);
        seen.folder = dialog->directory().absolutePath();
        seen.name = name->text();
        if (secondFilter) {
            auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            QTest::keyClick(types, Qt::Key_Down);
            seen.folderAfterFilter = dialog->directory().absolutePath();
            seen.nameAfterFilter = name->text();
        }
        if (!typed.isNull())
            name->setText(typed);
        QTest::keyClick(name, cancel ? Qt::Key_Escape : Qt::Key_Return);
    });
}

} // namespace

// Each save dialog starts where the same kind of file was saved last, across runs; the proposed
// name stays as the window gives it.
class TstSaveFolders : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setOrganizationName(QStringLiteral("Zelvo"));
        QCoreApplication::setApplicationName(QStringLiteral("ZelvoSaveFolders"));
    }
    void init() { QSettings().remove(QStringLiteral("saveFolders")); }

    void eachKindStartsWhereItWasLastSaved()
    {
        ui::DialogService dialogs;
        const QString first = ui::lastSaveFolder(QStringLiteral("xml"));
        QVERIFY(QFileInfo(first).isDir());
        QVERIFY(first != QDir::currentPath());

        Seen seen;
        answerNextDialog(seen, false, m_xmlDir.filePath(QStringLiteral("01-xml-01.xml")));
        QCOMPARE(dialogs.saveFileName(nullptr, QStringLiteral("Kaydet"),
                                      QStringLiteral("XML Dosya (*.xml)"), QStringLiteral("xml"),
                                      QStringLiteral("01-xml-01.xml")),
                 m_xmlDir.filePath(QStringLiteral("01-xml-01.xml")));
        QCOMPARE(seen.folder, first);
        QCOMPARE(seen.name, QStringLiteral("01-xml-01.xml"));

        // the next XML dialog opens there with its own proposed name; a CSV dialog does not
        answerNextDialog(seen, false, QString(), true);
        QCOMPARE(dialogs.saveFileName(nullptr, QStringLiteral("Kaydet"),
                                      QStringLiteral("XML Dosya (*.xml)"), QStringLiteral("xml"),
                                      QStringLiteral("01-xml-02.xml")),
                 QString());
        QCOMPARE(seen.folder, m_xmlDir.path());
        QCOMPARE(seen.name, QStringLiteral("01-xml-02.xml"));
        answerNextDialog(seen, false, QString(), true);
        dialogs.saveFileName(nullptr, QStringLiteral("Kaydet"), QStringLiteral("CSV (*.csv)"),
                             QStringLiteral("csv"), QStringLiteral("01-csv-02.csv"));
        QCOMPARE(seen.folder, first);

        // kept in the user's settings file, which the next run reads
        QSettings().sync();
        QSettings stored(QSettings().fileName(), QSettings::NativeFormat);
        QCOMPARE(stored.value(QStringLiteral("saveFolders/xml")).toString(), m_xmlDir.path());
    }

    // Choosing PDF in the report's save dialog moves to where PDF files went last; the proposed
    // name stays and gets the PDF suffix.
    void pdfFilterMovesToThePdfFolder()
    {
        ui::rememberSaveFolder(m_pdfDir.filePath(QStringLiteral("eski.pdf")));
        ui::rememberSaveFolder(m_zrpDir.filePath(QStringLiteral("eski.zrp")));
        ui::DialogService dialogs;
        Seen seen;
        answerNextDialog(seen, true, QString());
        const QString chosen =
            dialogs.saveFileName(nullptr, QStringLiteral("Raporu kaydet"), kReportFilters,
                                 QStringLiteral("zrp"), QStringLiteral("liste1-2026-01"));
        QCOMPARE(seen.folder, m_zrpDir.path());
        QCOMPARE(seen.folderAfterFilter, m_pdfDir.path());
        QCOMPARE(seen.nameAfterFilter, QStringLiteral("liste1-2026-01"));
        QCOMPARE(chosen, m_pdfDir.filePath(QStringLiteral("liste1-2026-01.pdf")));

        // a folder that has gone is forgotten
        QVERIFY(m_zrpDir.remove());
        QVERIFY(ui::lastSaveFolder(QStringLiteral("zrp")) != m_zrpDir.path());
    }

private:
    QTemporaryDir m_xmlDir;
    QTemporaryDir m_pdfDir;
    QTemporaryDir m_zrpDir;
};

QTEST_MAIN(TstSaveFolders)
#include "tst_savefolders.moc"
