#pragma once

#include "db/dataset.h"

#include <QHash>
#include <QPointer>
#include <QWidget>
#include <functional>

class QToolButton;

namespace zelvo::controls {

// The record navigator: a chosen set of buttons over a dataset, enabled by its state.
class DbNavigator : public QWidget {
    Q_OBJECT
public:
    enum class Button { First, Prior, Next, Last, Forward10, Back10, Insert, Post, Cancel, Delete };

    DbNavigator(const QList<Button>& buttons, QWidget* parent = nullptr);

    // The seven buttons of the monthly windows: first, prior, 10 forward, post, 10 back, next,
    // last.
    static QList<Button> monthlyButtons()
    {
        return {Button::First,  Button::Prior, Button::Forward10, Button::Post,
                Button::Back10, Button::Next,  Button::Last};
    }

    void setDataset(db::Dataset* dataset);
    db::Dataset* dataset() const { return m_dataset; }
    QToolButton* button(Button which) const { return m_buttons.value(int(which)); }
    // Runs before every button's action (the grid commits its open editor there).
    void setBeforeAction(std::function<void()> hook) { m_beforeAction = std::move(hook); }
    // Runs after a button's action changed the data (post, insert, delete).
    void updateButtons();

Q_SIGNALS:
    void databaseError(const QString& text);

private:
    void press(Button which);

    QPointer<db::Dataset> m_dataset;
    QHash<int, QToolButton*> m_buttons;
    std::function<void()> m_beforeAction;
};

} // namespace zelvo::controls
