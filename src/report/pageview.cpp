#include "report/pageview.h"

#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace zelvo::report {

namespace {

constexpr double kGap = 16; // px between pages and around them
constexpr qint64 kBytesPerPixel = 4;
const QColor kBackground(0x7d, 0x84, 0x8b);
const QColor kHighlightFill(255, 214, 0, 90);
const QColor kHighlightPen(230, 110, 0);

quint64 tileKey(int pageIndex, int column, int row)
{
    return quint64(pageIndex) << 32 | quint64(column) << 16 | quint64(row);
}

} // namespace

PageView::PageView(QWidget* parent) : QAbstractScrollArea(parent), m_cache(kCacheBudgetBytes)
{
    setObjectName(QStringLiteral("pageView"));
    // A permanent scroll bar keeps "fit width" from flickering between two widths.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    verticalScrollBar()->setSingleStep(40);
    horizontalScrollBar()->setSingleStep(40);
}

void PageView::setReport(const PreparedReport* report)
{
    m_report = report;
    clearCache();
    m_highlightPage = -1;
    m_currentPage = 0;
    applyFit();
    updateScrollBars();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    viewport()->update();
    emit currentPageChanged(0);
}

void PageView::setZoom(double zoom)
{
    changeZoom(zoom, FitMode::None);
}

void PageView::setFitMode(FitMode mode)
{
    m_fitMode = mode;
    applyFit();
}

QSizeF PageView::pageSizePx() const
{
    if (!m_report)
        return {};
    const QSizeF mm = m_report->pageSizeMm();
    return {mm.width() * logicalDpiX() / 25.4 * m_zoom,
            mm.height() * logicalDpiY() / 25.4 * m_zoom};
}

double PageView::pageTop(int pageIndex) const
{
    return kGap + pageIndex * (pageSizePx().height() + kGap);
}

QRectF PageView::pageRect(int pageIndex) const
{
    const QSizeF size = pageSizePx();
    const double x = std::max(kGap, (viewport()->width() - size.width()) / 2);
    return {x, pageTop(pageIndex), size.width(), size.height()};
}

QPointF PageView::pageCornerOnScreen(int pageIndex) const
{
    // On a whole device pixel, so that the tiles placed from there meet without a seam.
    const qreal dpr = devicePixelRatioF();
    const QPointF corner = pageRect(pageIndex).topLeft() -
                           QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value());
    return {std::round(corner.x() * dpr) / dpr, std::round(corner.y() * dpr) / dpr};
}

QRectF PageView::mmToContent(int pageIndex, const QRectF& mm) const
{
    const QRectF page = pageRect(pageIndex);
    const double kx = logicalDpiX() / 25.4 * m_zoom;
    const double ky = logicalDpiY() / 25.4 * m_zoom;
    return {page.x() + mm.x() * kx, page.y() + mm.y() * ky, mm.width() * kx, mm.height() * ky};
}

void PageView::updateScrollBars()
{
    const int pages = m_report ? m_report->pageCount() : 0;
    const QSizeF size = pageSizePx();
    const int contentW = int(std::ceil(size.width() + 2 * kGap));
    const int contentH = int(std::ceil(kGap + pages * (size.height() + kGap)));
    horizontalScrollBar()->setRange(0, std::max(0, contentW - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    verticalScrollBar()->setRange(0, std::max(0, contentH - viewport()->height()));
    verticalScrollBar()->setPageStep(viewport()->height());
}

void PageView::applyFit()
{
    if (!m_report || m_fitMode == FitMode::None || m_report->pageCount() == 0)
        return;
    const QSizeF mm = m_report->pageSizeMm();
    const double baseW = mm.width() * logicalDpiX() / 25.4;
    const double baseH = mm.height() * logicalDpiY() / 25.4;
    const double byWidth = (viewport()->width() - 2 * kGap) / baseW;
    const double byHeight = (viewport()->height() - 2 * kGap) / baseH;
    const double zoom = m_fitMode == FitMode::Width ? byWidth : std::min(byWidth, byHeight);
    changeZoom(zoom, m_fitMode);
}

void PageView::changeZoom(double zoom, FitMode mode)
{
    zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    m_fitMode = mode;
    if (std::abs(zoom - m_zoom) < 1e-9) {
        updateScrollBars();
        return;
    }
    // Keep the same place of the current page at the top of the view.
    const int page = m_currentPage;
    const double oldHeight = pageSizePx().height();
    const double fraction =
        oldHeight > 0 ? (verticalScrollBar()->value() - pageTop(page)) / oldHeight : 0;
    m_zoom = zoom;
    clearCache();
    updateScrollBars();
    verticalScrollBar()->setValue(int(pageTop(page) + fraction * pageSizePx().height()));
    setCurrentPage(page);
    viewport()->update();
    emit zoomChanged(m_zoom);
}

void PageView::showPage(int pageIndex)
{
    if (!m_report || m_report->pageCount() == 0)
        return;
    pageIndex = std::clamp(pageIndex, 0, m_report->pageCount() - 1);
    verticalScrollBar()->setValue(int(pageTop(pageIndex) - kGap / 2));
    setCurrentPage(pageIndex);
    viewport()->update();
}

void PageView::setHighlight(int pageIndex, const QRectF& boxMm)
{
    if (!m_report || pageIndex < 0 || pageIndex >= m_report->pageCount() || boxMm.isEmpty()) {
        m_highlightPage = -1;
        viewport()->update();
        return;
    }
    m_highlightPage = pageIndex;
    m_highlightMm = boxMm;
    scrollTo(mmToContent(pageIndex, boxMm));
    setCurrentPage(pageIndex);
    viewport()->update();
}

QRect PageView::highlightOnScreen() const
{
    if (m_highlightPage < 0)
        return {};
    const QRectF r =
        mmToContent(m_highlightPage, m_highlightMm)
            .translated(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
    return r.toAlignedRect().intersected(viewport()->rect());
}

void PageView::scrollTo(const QRectF& r)
{
    const QRectF visible(horizontalScrollBar()->value(), verticalScrollBar()->value(),
                         viewport()->width(), viewport()->height());
    if (r.top() < visible.top() || r.bottom() > visible.bottom())
        verticalScrollBar()->setValue(int(r.center().y() - visible.height() / 2));
    if (r.left() < visible.left() || r.right() > visible.right())
        horizontalScrollBar()->setValue(int(r.center().x() - visible.width() / 2));
}

void PageView::setCurrentPage(int pageIndex)
{
    if (pageIndex == m_currentPage)
        return;
    m_currentPage = pageIndex;
    emit currentPageChanged(pageIndex);
}

void PageView::updateCurrentPage()
{
    if (!m_report || m_report->pageCount() == 0)
        return;
    // The page that takes up most of the view.
    const double top = verticalScrollBar()->value();
    const double bottom = top + viewport()->height();
    const double step = pageSizePx().height() + kGap;
    int best = m_currentPage;
    double bestVisible = -1;
    const int first = std::max(0, int((top - kGap) / step));
    for (int i = first; i < m_report->pageCount(); ++i) {
        const double pt = pageTop(i);
        if (pt > bottom)
            break;
        const double visible = std::min(bottom, pt + pageSizePx().height()) - std::max(top, pt);
        if (visible > bestVisible + 0.5) {
            bestVisible = visible;
            best = i;
        }
    }
    setCurrentPage(best);
}

void PageView::clearCache()
{
    m_cache.clear();
}

PageView::TileGrid PageView::tileGrid() const
{
    const QSizeF size = pageSizePx() * devicePixelRatioF();
    TileGrid grid;
    grid.page = QSize(int(std::ceil(size.width())), int(std::ceil(size.height())));
    if (qint64(grid.page.width()) * grid.page.height() * kBytesPerPixel <= kWholePageBytes) {
        grid.side = std::max(grid.page.width(), grid.page.height());
        return grid;
    }
    grid.side = kTileSide;
    grid.columns = (grid.page.width() + kTileSide - 1) / kTileSide;
    grid.rows = (grid.page.height() + kTileSide - 1) / kTileSide;
    return grid;
}

// The pointer is good until the next tile is put into the cache.
const QPixmap* PageView::tilePixmap(int pageIndex, const TileGrid& grid, int column, int row)
{
    const quint64 key = tileKey(pageIndex, column, row);
    if (const QPixmap* cached = m_cache.object(key))
        return cached;
    const QPoint origin(column * grid.side, row * grid.side);
    const QSize size(std::min(grid.side, grid.page.width() - origin.x()),
                     std::min(grid.side, grid.page.height() - origin.y()));
    const qreal dpr = devicePixelRatioF();
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.setDotsPerMeterX(qRound(logicalDpiX() / 0.0254));
    image.setDotsPerMeterY(qRound(logicalDpiY() / 0.0254));
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        // Whole device pixels, so that neighbouring tiles meet without a seam.
        painter.translate(-QPointF(origin) / dpr);
        painter.scale(m_zoom, m_zoom);
        m_report->paintPage(pageIndex, painter);
    }
    ++m_pagesPainted;
    const qint64 bytes = qint64(size.width()) * size.height() * kBytesPerPixel;
    auto* pixmap = new QPixmap(QPixmap::fromImage(std::move(image)));
    if (!m_cache.insert(key, pixmap, bytes))
        return nullptr; // larger than the whole budget; cannot happen with these sizes
    return pixmap;
}

void PageView::paintPageTiles(QPainter& painter, int pageIndex, const QRectF& onScreen)
{
    const TileGrid grid = tileGrid();
    const qreal dpr = devicePixelRatioF();
    const QPointF corner = pageCornerOnScreen(pageIndex);
    const QRectF visible = QRectF(viewport()->rect()).intersected(onScreen);
    const double side = grid.side / dpr;
    const auto first = [&](double from) { return std::max(0, int(std::floor(from / side))); };
    const auto last = [&](double to, int count) {
        return std::min(count - 1, int(std::ceil(to / side)) - 1);
    };
    const int firstColumn = first(visible.left() - corner.x());
    const int lastColumn = last(visible.right() - corner.x(), grid.columns);
    const int firstRow = first(visible.top() - corner.y());
    const int lastRow = last(visible.bottom() - corner.y(), grid.rows);
    for (int row = firstRow; row <= lastRow; ++row) {
        for (int column = firstColumn; column <= lastColumn; ++column) {
            if (const QPixmap* tile = tilePixmap(pageIndex, grid, column, row))
                painter.drawPixmap(corner + QPointF(column * side, row * side), *tile);
        }
    }
}

void PageView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), kBackground);
    if (!m_report || m_report->pageCount() == 0)
        return;
    const double dx = horizontalScrollBar()->value();
    const double dy = verticalScrollBar()->value();
    const double step = pageSizePx().height() + kGap;
    const int first = std::max(0, int((dy - kGap) / step));
    for (int i = first; i < m_report->pageCount(); ++i) {
        const QRectF r = pageRect(i).translated(-dx, -dy);
        if (r.top() > viewport()->height())
            break;
        if (r.bottom() < 0)
            continue;
        painter.fillRect(r.translated(3, 3), QColor(0, 0, 0, 70));
        paintPageTiles(painter, i, r);
        if (i == m_highlightPage) {
            const QRectF h =
                mmToContent(i, m_highlightMm).translated(-dx, -dy).adjusted(-2, -1, 2, 1);
            painter.setPen(QPen(kHighlightPen, 2));
            painter.setBrush(kHighlightFill);
            painter.drawRect(h);
            painter.setBrush(Qt::NoBrush);
        }
    }
}

void PageView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    if (m_fitMode != FitMode::None)
        applyFit();
    updateScrollBars();
}

void PageView::scrollContentsBy(int, int)
{
    updateCurrentPage();
    viewport()->update();
}

void PageView::wheelEvent(QWheelEvent* event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        const double steps = event->angleDelta().y() / 120.0;
        changeZoom(m_zoom * std::pow(1.25, steps), FitMode::None);
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}

void PageView::keyPressEvent(QKeyEvent* event)
{
    if (!m_report) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Home:
        showPage(0);
        break;
    case Qt::Key_End:
        showPage(m_report->pageCount() - 1);
        break;
    case Qt::Key_PageDown:
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
        break;
    case Qt::Key_PageUp:
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepSub);
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
    }
}

} // namespace zelvo::report
