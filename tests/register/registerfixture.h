#pragma once

// A register window on a fresh database (demo students of unit 01 loaded unless told otherwise),
// and the few moves the register tests make: choosing a criterion, searching, typing, pressing
// navigator buttons and reading back what the database holds.

#include "controls/dbgrid.h"
#include "db/dataset.h"
#include "register/tfrmpsicil.h"
#include "testsession.h"

#include <QApplication>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <memory>

struct RegisterFixture {
    TestSession session;
    std::unique_ptr<zelvo::studentregister::TFrmPSicil> window;

    // With `embeddedFile`, the embedded database is that file, open to a second workstation.
    explicit RegisterFixture(bool demo = true, const QString& embeddedFile = {})
        : session(QStringLiteral("admin"), QStringLiteral("admin"), pgtest::Backend::Requested,
                  embeddedFile)
    {
        QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
        if (demo)
            session.loadDemo();
        open();
    }

    void open()
    {
        window = std::make_unique<zelvo::studentregister::TFrmPSicil>(*session.context);
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }

    template <typename T> T* find(const QString& name) const
    {
        T* widget = window->findChild<T*>(name);
        if (!widget)
            QTest::qFail(qPrintable(QStringLiteral("no %1 in the window").arg(name)), __FILE__,
                         __LINE__);
        return widget;
    }

    QLineEdit* searchBox() const { return find<QLineEdit>(QStringLiteral("Edit1")); }
    zelvo::controls::DbGrid* grid() const
    {
        return find<zelvo::controls::DbGrid>(QStringLiteral("wwDBGrid1"));
    }
    zelvo::db::Dataset* students() const
    {
        return find<zelvo::db::Dataset>(QStringLiteral("SpOgrenci"));
    }
    QRadioButton* criterion(int index) const
    {
        return find<QGroupBox>(QStringLiteral("RadioGroup1"))
            ->findChild<QRadioButton*>(QStringLiteral("Item%1").arg(index));
    }
    int checkedCriterion() const
    {
        for (int i = 0; i < 3; ++i)
            if (criterion(i)->isChecked())
                return i;
        return -1;
    }

    void search(int criterionIndex, const QString& text)
    {
        QTest::mouseClick(criterion(criterionIndex), Qt::LeftButton);
        searchBox()->setText(text);
        QTest::mouseClick(find<QToolButton>(QStringLiteral("SpeedButton5")), Qt::LeftButton);
    }

    void press(const QString& navigatorButton)
    {
        auto* button =
            find<QWidget>(QStringLiteral("DBNavigator1"))->findChild<QToolButton*>(navigatorButton);
        QVERIFY2(button && button->isEnabled(), qPrintable(navigatorButton));
        QTest::mouseClick(button, Qt::LeftButton);
    }

    void pressDelete() { QTest::mouseClick(find<QPushButton>("Button1"), Qt::LeftButton); }
    void pressClose() { QTest::mouseClick(window->closeButton(), Qt::LeftButton); }

    // Types as the keyboard does, Turkish letters included (QTest::keyClicks knows only Latin-1).
    static void type(QWidget* widget, const QString& text)
    {
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    // Replaces a bound box's text by typing.
    void retype(const QString& box, const QString& text)
    {
        auto* edit = find<QLineEdit>(box);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        type(edit, text);
    }

    // What the grid shows in one column, top to bottom.
    QStringList gridColumn(int column) const
    {
        QStringList texts;
        const QAbstractItemModel* model = grid()->model();
        for (int row = 0; row < model->rowCount(); ++row)
            texts << model->index(row, column).data().toString();
        return texts;
    }

    QVariant stored(int id, const QString& column)
    {
        return session.scalar(
            QStringLiteral("select %1 from ogrenci where idogrenci=@id").arg(column),
            {{QStringLiteral("@id"), id}});
    }
    int count(const QString& sql) { return session.scalar(sql).toInt(); }
    int idOf(const QString& number)
    {
        return session
            .scalar(QStringLiteral("select idogrenci from ogrenci where ogrencino=@no"),
                    {{QStringLiteral("@no"), number}})
            .toInt();
    }
    QStringList messages() const { return session.dialogs.texts(ScriptedDialogs::Kind::Message); }
};
