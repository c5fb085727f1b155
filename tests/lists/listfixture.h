#pragma once

// What the list window tests share: a fresh session, a list window reading its templates from a
// temporary folder, students with accrual rows stored through the server's own procedure, and
// the prepared reports the window handed to its previews.

#include "lists/tfrmliste.h"
#include "report/report.h"
#include "testsession.h"
#include "ui/look.h"

#include <QFile>
#include <QLocale>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <functional>
#include <memory>

struct ListFixture {
    TestSession session;
    QTemporaryDir templates;
    std::unique_ptr<zelvo::lists::TFrmListe> window;
    QList<zelvo::report::PreparedReport> previews;
    // Runs while a preview is open (the preview is not shown unless the test shows it).
    std::function<void(zelvo::report::PreviewDialog&)> inPreview;

    ListFixture()
    {
        QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
        zelvo::ui::look::installFontSubstitutions();
        session.dialogs.onModal = [this](QDialog& dialog) {
            auto* preview = qobject_cast<zelvo::report::PreviewDialog*>(&dialog);
            if (!preview)
                return;
            previews.append(preview->report());
            if (inPreview)
                inPreview(*preview);
        };
    }
    ~ListFixture()
    {
        if (window && window->isVisible())
            window->close();
    }

    zelvo::lists::TFrmListe&
    open(const zelvo::lists::ListVariant& variant = zelvo::lists::ListVariant::liste1())
    {
        window = std::make_unique<zelvo::lists::TFrmListe>(*session.context, &session.mainWindow,
                                                           variant);
        window->setTemplateFolder(templates.path());
        window->show();
        return *window;
    }
    template <typename T = QWidget> T* child(const QString& name) const
    {
        return window->template findChild<T*>(name);
    }
    void chooseMonth(int month)
    {
        QTest::mouseClick(child<QRadioButton>(QStringLiteral("Month%1").arg(month)),
                          Qt::LeftButton);
    }
    // Chooses the month and presses "Göster".
    void show(int month)
    {
        chooseMonth(month);
        QTest::mouseClick(child<QToolButton>(QStringLiteral("SpeedButton5")), Qt::LeftButton);
    }

    // A student of unit 01 with identity numbers, and the accrual row of one month of 2026 as
    // the accrual window stores it (the server derives the shares).
    int student(const QString& number, const QString& name, const QString& surname,
                bool gss = false)
    {
        const int id =
            session.addStudent(number, name, surname, QDate(2026, 1, 1), QDate(2026, 12, 31), gss);
        session.setup().execute(
            QStringLiteral("UPDATE ogrenci SET ssksicilno = @s, tckimlikno = @t "
                           "WHERE idogrenci = @id"),
            {{QStringLiteral("@s"), QStringLiteral("SGK") + number},
             {QStringLiteral("@t"), QStringLiteral("1%1").arg(number, 10, QLatin1Char('0'))},
             {QStringLiteral("@id"), id}});
        return id;
    }
    void accrue(int student, int month, int days, const QString& earnings,
                const QString& year = QStringLiteral("2026"))
    {
        session.setup().callProcedure(QStringLiteral("Tahakkukekle"),
                                      {{QStringLiteral("@idogrenci"), QString::number(student)},
                                       {QStringLiteral("@yil"), year},
                                       {QStringLiteral("@ay"), month},
                                       {QStringLiteral("@gun"), days},
                                       {QStringLiteral("@birimkodu"), QStringLiteral("01")},
                                       {QStringLiteral("@kazanc"), earnings},
                                       {QStringLiteral("@matrah"), earnings}});
    }

    QString templatePath(const QString& file) const { return templates.filePath(file); }
    void writeTemplate(const QString& file, const QString& text) const
    {
        QFile out(templatePath(file));
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(text.toUtf8());
    }

    // All texts of a prepared report, page after page, one per line.
    static QString allText(const zelvo::report::PreparedReport& prepared)
    {
        QStringList texts;
        for (int p = 0; p < prepared.pageCount(); ++p)
            texts << prepared.pageTexts(p);
        return texts.join(QLatin1Char('\n'));
    }
    QStringList shown(ScriptedDialogs::Kind kind) const { return session.dialogs.texts(kind); }
};
