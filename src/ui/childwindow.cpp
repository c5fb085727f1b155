#include "ui/childwindow.h"

#include "db/dataset.h"
#include "ui/look.h"

#include <QCloseEvent>
#include <QDate>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>

namespace zelvo::ui {

ChildWindow::ChildWindow(AppContext& context, const QString& windowName, const QSize& size,
                         QWidget* owner)
    : QDialog(owner ? owner : context.mainWindow, Qt::Dialog | Qt::FramelessWindowHint),
      m_context(context)
{
    setObjectName(windowName);
    setModal(true);
    setFixedSize(size);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, look::childBackground);
    setPalette(p);
    setFont(look::verdana(11));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(size.width() / 2, size.height() / 2));
    }
}

QToolButton* ChildWindow::createCloseButton(QWidget* parent, const QString& caption)
{
    m_closeButton = look::speedButton(parent, QStringLiteral("SpeedButton29"), caption,
                                      QStringLiteral("kapat"));
    m_closeButton->setToolTip(QStringLiteral("Kapat"));
    connect(m_closeButton, &QToolButton::clicked, this, &QWidget::close);
    return m_closeButton;
}

void ChildWindow::runActivation()
{
    if (m_activating)
        return;
    m_activating = true;
    if (m_hidesMainWindow && m_context.mainWindow)
        m_context.mainWindow->hide();
    guarded([this] { activate(); });
    m_activating = false;
}

void ChildWindow::reactivate()
{
    if (isVisible())
        runActivation();
}

// Qt makes every push button of a dialog an auto-default, so Enter in any box would press the
// first of them (in the register, "delete"). No button of these windows is pressed by Enter.
// Done before the dialog looks for a default button to show with, and again at every showing
// for buttons added since.
void ChildWindow::disarmDefaultButtons()
{
    for (QPushButton* button : findChildren<QPushButton*>()) {
        if (button->window() != this)
            continue; // a box or preview of the window's own has its own default
        button->setAutoDefault(false);
        button->setDefault(false);
    }
}

bool ChildWindow::dropPendingChanges()
{
    bool dropped = false;
    for (db::Dataset* dataset : findChildren<db::Dataset*>()) {
        const db::Dataset::State state = dataset->state();
        if (state == db::Dataset::State::Edit || state == db::Dataset::State::Insert) {
            dataset->cancel();
            dropped = true;
        }
    }
    return dropped;
}

void ChildWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Cancel) && dropPendingChanges())
        return;
    QDialog::keyPressEvent(event);
}

void ChildWindow::showEvent(QShowEvent* event)
{
    disarmDefaultButtons();
    QDialog::showEvent(event);
    if (!event->spontaneous())
        runActivation();
}

void ChildWindow::message(const QString& text)
{
    m_context.dialogs.message(this, text);
    reactivate();
}

bool ChildWindow::ask(const QString& text, bool withIcon)
{
    const bool yes = m_context.dialogs.question(this, text, withIcon);
    reactivate();
    return yes;
}

bool ChildWindow::askCautiously(const QString& text)
{
    const bool yes = m_context.dialogs.cautiousQuestion(this, text);
    reactivate();
    return yes;
}

void ChildWindow::showError(const QString& text)
{
    if (offerStoredRow(text))
        return;
    m_context.dialogs.error(this, db::errorBoxText(text));
}

namespace {

QString typedText(const QVariant& value)
{
    if (value.typeId() == QMetaType::QDate)
        return value.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    return value.toString();
}

} // namespace

// The refused row is found among the window's datasets (and the login row) by the refusal's
// text. Like an error box, the question does not re-run the activation steps, which would read
// the rows again whatever the answer.
bool ChildWindow::offerStoredRow(const QString& refusal)
{
    if (refusal.isEmpty())
        return false;
    QList<db::Dataset*> datasets = findChildren<db::Dataset*>();
    datasets << &m_context.login;
    for (db::Dataset* dataset : std::as_const(datasets)) {
        if (dataset->refusedChange() != refusal)
            continue;
        QStringList typed;
        for (const auto& [column, value] : dataset->typedValues())
            typed << column + QStringLiteral(": ") + typedText(value);
        QString question = db::errorBoxText(refusal);
        if (!typed.isEmpty())
            question +=
                QStringLiteral("\rYazdığınız değerler: ") + typed.join(QStringLiteral(", "));
        question += QStringLiteral("\rKayıtlı hali yüklensin mi? (Hayır: yazdıklarınızla "
                                   "düzenlemeye devam edersiniz.)");
        if (m_context.dialogs.question(this, question))
            guarded([dataset] { dataset->reloadStoredRow(); });
        return true;
    }
    return false;
}

bool ChildWindow::guarded(const std::function<void()>& work)
{
    try {
        work();
        return true;
    } catch (const db::DbError& e) {
        showError(e.text());
    }
    return false;
}

void ChildWindow::runModal(QDialog& dialog)
{
    m_context.dialogs.runModal(dialog);
    reactivate();
}

void ChildWindow::closeEvent(QCloseEvent* event)
{
    if (!guarded([this] { closing(); })) {
        event->ignore();
        return;
    }
    if (m_context.mainWindow)
        m_context.mainWindow->show();
    m_closing = true;
    QDialog::closeEvent(event); // ends the modal display through reject()
    m_closing = false;
}

void ChildWindow::reject()
{
    if (m_closing)
        QDialog::reject();
    else
        close();
}

} // namespace zelvo::ui
