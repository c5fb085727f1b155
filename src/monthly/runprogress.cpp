#include "runprogress.h"

#include <QProgressDialog>

namespace {
constexpr int rowsBetweenLooks = 64;
}

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
    if (!m_dialog) {
        if (m_clock.elapsed() < m_delayMs)
            return;
        m_dialog = new QProgressDialog(m_label, QString(), 0, m_total, m_window);
        m_dialog->setObjectName(QStringLiteral("RunProgress"));
        m_dialog->setWindowModality(Qt::WindowModal);
        m_dialog->setMinimumDuration(0);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        m_dialog->show();
    }
    // a modal progress dialog processes the pending events itself, so it repaints
    m_dialog->setValue(done);
}
