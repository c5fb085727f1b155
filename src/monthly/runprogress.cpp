#include "monthly/runprogress.h"

#include <QCloseEvent>
#include <QProgressDialog>

namespace zelvo::monthly {

namespace {
constexpr int rowsBetweenLooks = 64;
constexpr qint64 msBetweenUpdates = 100; // every update repaints and processes events
// A progress bar the user cannot put away: neither Escape nor the window system closes it, so
// the window under it stays out of reach until the run ends.
class StayingProgressDialog : public QProgressDialog {
public:
    using QProgressDialog::QProgressDialog;
    void reject() override {}

protected:
    void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

} // namespace

RunProgress::RunProgress(QWidget* window, QString label, int delayMs)
    : m_window(window), m_label(std::move(label)), m_delayMs(delayMs)
{
    m_clock.start();
}

RunProgress::~RunProgress()
{
    delete m_dialog;
}

void RunProgress::advance(int done)
{
    if (done % rowsBetweenLooks != 0 && done != m_total)
        return;
    const qint64 now = m_clock.elapsed();
    if (!m_dialog) {
        if (now < m_delayMs)
            return;
        m_dialog = new StayingProgressDialog(m_label, QString(), 0, m_total, m_window);
        m_dialog->setObjectName(QStringLiteral("RunProgress"));
        m_dialog->setWindowModality(Qt::WindowModal);
        m_dialog->setMinimumDuration(0);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        m_dialog->show();
    } else if (now - m_lastUpdate < msBetweenUpdates && done != m_total) {
        return;
    }
    m_lastUpdate = now;
    // a modal progress dialog processes the pending events itself, so it repaints
    m_dialog->setValue(done);
}

} // namespace zelvo::monthly
