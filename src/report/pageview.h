#pragma once

#include "report/preparedreport.h"

#include <QAbstractScrollArea>
#include <QCache>
#include <QPixmap>

namespace zelvo::report {

// Shows the pages of a prepared report one below the other. Only what comes into view is
// painted: a whole page while its picture is small, square tiles of it at high zoom, where a
// whole page would take hundreds of megabytes. The most recently painted pictures are kept for
// smooth scrolling, up to kCacheBudgetBytes together.
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
    // Where the top-left corner of a page is painted, in viewport coordinates.
    QPointF pageCornerOnScreen(int pageIndex) const;

    // How many times a page (or a tile of one, at high zoom) has been painted into the cache
    // since the view was made.
    int pagesPainted() const { return m_pagesPainted; }
    // Memory held by the cached pictures.
    qint64 cacheBytes() const { return m_cache.totalCost(); }

    static constexpr double kMinZoom = 0.1;
    static constexpr double kMaxZoom = 8.0;
    static constexpr qint64 kCacheBudgetBytes = 96LL << 20;
    // Pages whose picture would be larger are painted in tiles of kTileSide device pixels.
    static constexpr qint64 kWholePageBytes = 32LL << 20;
    static constexpr int kTileSide = 1024;

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
    void setCurrentPage(int pageIndex); // emits currentPageChanged when it differs
    // The grid of pictures a page is cut into at the current zoom, in device pixels.
    struct TileGrid {
        QSize page;
        int side = 0; // the page's width and height when the page is one tile
        int columns = 1;
        int rows = 1;
    };
    TileGrid tileGrid() const;
    const QPixmap* tilePixmap(int pageIndex, const TileGrid& grid, int column, int row);
    void paintPageTiles(QPainter& painter, int pageIndex, const QRectF& onScreen);
    void clearCache();
    void scrollTo(const QRectF& contentRect);

    const PreparedReport* m_report = nullptr;
    double m_zoom = 1.0;
    FitMode m_fitMode = FitMode::Width;
    int m_currentPage = 0;
    int m_highlightPage = -1;
    QRectF m_highlightMm;
    int m_pagesPainted = 0;
    QCache<quint64, QPixmap> m_cache; // cost in bytes; keyed by page, tile column and row
};

} // namespace zelvo::report
