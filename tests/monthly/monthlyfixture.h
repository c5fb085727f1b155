#pragma once

// What the monthly window tests share: a fresh session, a window of the kind under test, the
// month choice and the action button, and reading back what the run stored.

#include "testsession.h"

#include <QAbstractButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <memory>

template <typename Window> struct MonthlyFixture {
    TestSession session;
    std::unique_ptr<Window> window;

    MonthlyFixture() = default;
    ~MonthlyFixture()
    {
        if (window && window->isVisible())
            window->close();
    }

    Window& open()
    {
        window = std::make_unique<Window>(*session.context, &session.mainWindow);
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
    // Chooses the month and presses the window's action button.
    void run(int month)
    {
        chooseMonth(month);
        session.dialogs.clear();
        QTest::mouseClick(child<QToolButton>(QStringLiteral("SpeedButton5")), Qt::LeftButton);
    }
    QStringList errors() const { return session.dialogs.texts(ScriptedDialogs::Kind::Error); }
    QStringList messages() const { return session.dialogs.texts(ScriptedDialogs::Kind::Message); }
    void sql(const QString& statement, const zelvo::db::Params& params = {})
    {
        session.setup().execute(statement, params);
    }
    // One line per row of a query, the columns joined by '|', empty for NULL.
    QStringList rows(const QString& query, const zelvo::db::Params& params = {})
    {
        QStringList lines;
        for (const auto& row : session.setup().query(query, params).rows) {
            QStringList cells;
            for (const QVariant& cell : row)
                cells << (cell.isNull() ? QString() : cell.toString());
            lines << cells.join(QLatin1Char('|'));
        }
        return lines;
    }
};
