#pragma once

#include "preparedreport.h"

#include <QAbstractScrollArea>
#include <QHash>
#include <QList>
#include <QPixmap>

namespace report {

// Shows the pages of a prepared report one below the other. Only pages that come into view
// are painted; the last few painted pages are kept as pixmaps for smooth scrolling.
class PageView : public QAbstractScrollArea {
    Q_OBJECT
public:
    enum class FitMode { None, Width, Page };

    explicit PageView(QWidget* parent = nullptr);

    // The report must outlive the view or be replaced before it goes.
    void setReport(const PreparedReport* report);

    double zoom() const { return m_zoom; } // 1.0 = the paper's true size
    void setZoom(double zoom);
    FitMode fitMode() const { return m_fitMode; }
    void setFitMode(FitMode mode);

    int currentPage() const { return m_currentPage; }
    void showPage(int pageIndex);
    // Marks a box of a page (millimetres) and scrolls it into view; an empty box clears it.
    void setHighlight(int pageIndex, const QRectF& boxMm);
    int highlightPage() const { return m_highlightPage; }
    // The highlight in viewport coordinates, empty when none is visible.
    QRect highlightOnScreen() const;

    // How many times a page has been painted into the cache since the view was made.
    int pagesPainted() const { return m_pagesPainted; }

    static constexpr double kMinZoom = 0.1;
    static constexpr double kMaxZoom = 8.0;

signals:
    void currentPageChanged(int pageIndex);
    void zoomChanged(double zoom);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QSizeF pageSizePx() const; // at the current zoom
    double pageTop(int pageIndex) const;
    QRectF pageRect(int pageIndex) const; // in content coordinates
    QRectF mmToContent(int pageIndex, const QRectF& mm) const;
    void updateScrollBars();
    void applyFit();
    void changeZoom(double zoom, FitMode mode);
    void updateCurrentPage();
    const QPixmap& pagePixmap(int pageIndex);
    void scrollTo(const QRectF& contentRect);

    const PreparedReport* m_report = nullptr;
    double m_zoom = 1.0;
    FitMode m_fitMode = FitMode::Width;
    int m_currentPage = 0;
    int m_highlightPage = -1;
    QRectF m_highlightMm;
    int m_pagesPainted = 0;
    QHash<int, QPixmap> m_cache;
    QList<int> m_cacheOrder; // least recently used first
};

} // namespace report
