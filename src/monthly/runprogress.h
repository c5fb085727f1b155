#pragma once

#include "ui/busycursor.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QProgressDialog>
#include <QString>

class QWidget;

namespace zelvo::monthly {

// What the user sees while a run works through its rows: the wait cursor at once and, when the
// run takes longer than a moment, a window-modal progress bar without a cancel button, which
// keeps the window's controls out of reach until the run ends.
class RunProgress {
public:
    RunProgress(QWidget* window, QString label, int delayMs = 500);
    ~RunProgress();
    RunProgress(const RunProgress&) = delete;
    RunProgress& operator=(const RunProgress&) = delete;

    void setTotal(int rows) { m_total = rows; }
    // Rows done so far; looks at the clock only every few rows, so it costs nothing per row.
    void advance(int done);
    // The progress bar, once it is shown (tests).
    QProgressDialog* dialog() const { return m_dialog; }

private:
    ui::BusyCursor m_cursor;
    QWidget* m_window;
    QString m_label;
    int m_delayMs;
    int m_total = 0;
    QElapsedTimer m_clock;
    qint64 m_lastUpdate = 0;
    QPointer<QProgressDialog> m_dialog;
};

} // namespace zelvo::monthly
