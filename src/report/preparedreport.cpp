#include "report/preparedreport.h"

#include "core/turkishtext.h"

#include <QDataStream>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>

#include <optional>

using namespace Qt::StringLiterals;

namespace zelvo::report {

namespace {

constexpr quint32 kMagic = 0x5A525031; // "ZRP1"
constexpr quint16 kFormatVersion = 1;
// The fewest bytes a stored font, page (its item count) and item take.
constexpr qint64 kMinFontBytes = 14;
constexpr qint64 kMinPageBytes = 4;
constexpr qint64 kMinItemBytes = 61;

// A count read from a prepared report file, or the reason it cannot be believed: more than
// `limit`, or more elements of at least `minBytes` each than the rest of the file can hold.
std::optional<QString> countError(qint32 count, int limit, qint64 minBytes, const QIODevice& file,
                                  const QString& what)
{
    if (count < 0)
        return u"hazır rapor dosyası bozuk: %1 sayısı eksi"_s.arg(what);
    if (count > limit)
        return u"hazır rapor dosyası bozuk: %1 %2 bildiriyor, en çok %3 olabilir"_s.arg(count)
            .arg(what)
            .arg(limit);
    if (count > (file.size() - file.pos()) / minBytes)
        return u"hazır rapor dosyası bozuk: %1 %2 bildiriyor, dosyada bu kadarına yer yok"_s
            .arg(count)
            .arg(what);
    return std::nullopt;
}

QFont toQFont(const PreparedFont& f, double scale = 1.0)
{
    // Templates name DejaVu Sans or Verdana; where one is missing the other, or a sans-serif
    // face of the same build, stands in.
    static const bool substituted = [] {
        QFont::insertSubstitutions(u"DejaVu Sans"_s,
                                   {u"Verdana"_s, u"Tahoma"_s, u"Arial"_s, u"Liberation Sans"_s});
        QFont::insertSubstitutions(u"Verdana"_s,
                                   {u"DejaVu Sans"_s, u"Veranda"_s, u"Tahoma"_s, u"Arial"_s});
        return true;
    }();
    Q_UNUSED(substituted);
    QFont font(f.family);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(f.pointSize * scale);
    font.setBold(f.bold);
    font.setItalic(f.italic);
    // Unhinted glyphs keep text widths proportional at every zoom, so a text that fits on
    // paper also fits in the preview.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// Metrics in a fine grid (1/100 mm) for measuring texts independently of any screen.
const QPaintDevice* measuringDevice()
{
    static const QImage image = [] {
        QImage img(1, 1, QImage::Format_ARGB32);
        img.setDotsPerMeterX(100000);
        img.setDotsPerMeterY(100000);
        return img;
    }();
    return &image;
}

constexpr double kMeasureUnitsPerMm = 100.0;
constexpr double kFineDpi = 1200.0;

// For the callers that report failure as false plus an optional text.
bool failWith(QString* errorText, const QString& text)
{
    if (errorText)
        *errorText = text;
    return false;
}

QRectF textBox(const PreparedItem& item)
{
    return item.rect.adjusted(item.padding, item.padding * 0.4, -item.padding, -item.padding * 0.4);
}

} // namespace

ReportBuilder::ReportBuilder(const QString& title, QSizeF pageSizeMm)
{
    m_report.m_title = title;
    m_report.m_pageSize = pageSizeMm;
}

int ReportBuilder::fontIndex(const PreparedFont& font)
{
    const qsizetype i = m_report.m_fonts.indexOf(font);
    if (i >= 0)
        return int(i);
    m_report.m_fonts.append(font);
    return int(m_report.m_fonts.size() - 1);
}

PreparedPage& ReportBuilder::newPage()
{
    m_report.m_pages.append(PreparedPage{});
    return m_report.m_pages.last();
}

QPageLayout PreparedReport::pageLayout() const
{
    const bool landscape = m_pageSize.width() > m_pageSize.height();
    const QSizeF portrait = landscape ? m_pageSize.transposed() : m_pageSize;
    const QPageSize size(portrait, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
    return QPageLayout(size, landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

QStringList PreparedReport::pageTexts(int pageIndex) const
{
    QStringList out;
    if (pageIndex < 0 || pageIndex >= pageCount())
        return out;
    for (const PreparedItem& item : m_pages[pageIndex].items) {
        if (item.kind == PreparedItem::Kind::Text)
            out.append(item.text);
    }
    return out;
}

void PreparedReport::paintPage(int pageIndex, QPainter& painter) const
{
    if (pageIndex < 0 || pageIndex >= pageCount())
        return;
    const QPaintDevice* device = painter.device();
    // On a coarse device (a screen) glyph advances are rounded to whole pixels, which makes
    // texts wider than on paper. Laying the text out at a fine resolution and scaling it down
    // keeps every text where the paper has it.
    const double dpi = device->logicalDpiX();
    const double fine = dpi < kFineDpi ? kFineDpi / dpi : 1.0;
    const double kx = dpi / 25.4 * fine;
    const double ky = device->logicalDpiY() / 25.4 * fine;
    const auto map = [&](const QRectF& r) {
        return QRectF(r.x() * kx, r.y() * ky, r.width() * kx, r.height() * ky);
    };
    const auto pen = [&](const PreparedItem& item) {
        QPen p(QColor::fromRgba(item.color));
        p.setWidthF(item.lineWidth * kx);
        p.setCapStyle(Qt::FlatCap);
        p.setJoinStyle(Qt::MiterJoin);
        return p;
    };

    QList<std::optional<QFont>> fonts(m_fonts.size());
    QList<std::optional<QFontMetricsF>> metrics(m_fonts.size());

    painter.save();
    painter.scale(1 / fine, 1 / fine);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setBrush(Qt::NoBrush);
    for (const PreparedItem& item : m_pages[pageIndex].items) {
        const QRectF box = map(item.rect);
        if (item.kind == PreparedItem::Kind::Line) {
            painter.setPen(pen(item));
            painter.drawLine(box.topLeft(), box.bottomRight());
            continue;
        }
        if (qAlpha(item.fill) != 0)
            painter.fillRect(box, QColor::fromRgba(item.fill));
        if ((item.kind == PreparedItem::Kind::Rect || item.frame) && item.lineWidth > 0) {
            painter.setPen(pen(item));
            painter.drawRect(box);
        }
        if (item.kind != PreparedItem::Kind::Text || item.text.isEmpty())
            continue;
        const int fi = item.font >= 0 && item.font < m_fonts.size() ? item.font : -1;
        if (fi < 0)
            continue;
        if (!fonts[fi]) {
            fonts[fi] = toQFont(m_fonts[fi], fine);
            painter.setFont(*fonts[fi]);
            metrics[fi].emplace(painter.font(), device);
        }
        painter.setFont(*fonts[fi]);
        painter.setPen(QColor::fromRgba(item.color));
        const QRectF inner = map(textBox(item));
        int flags = item.alignment;
        QString text = item.text;
        if (item.wrap) {
            flags |= Qt::TextWordWrap;
        } else {
            // A trailing blank in a number format keeps the digits off the right frame.
            flags |= Qt::TextIncludeTrailingSpaces;
        }
        if (!item.wrap && !text.contains(u'\n') &&
            metrics[fi]->horizontalAdvance(text) > inner.width())
            text = metrics[fi]->elidedText(text, Qt::ElideRight, inner.width());
        painter.drawText(inner, flags, text);
    }
    painter.restore();
}

TextHit PreparedReport::find(const QString& text, const TextHit& after) const
{
    if (text.isEmpty())
        return {};
    const QString needle = core::turkishLower(text);
    int page = after.isValid() ? after.page : 0;
    int item = after.isValid() ? after.item : 0;
    qsizetype from = after.isValid() ? after.offset + 1 : 0;
    for (; page < pageCount(); ++page, item = 0, from = 0) {
        const QList<PreparedItem>& items = m_pages[page].items;
        for (; item < items.size(); ++item, from = 0) {
            const PreparedItem& it = items[item];
            if (it.kind != PreparedItem::Kind::Text || it.text.size() < text.size())
                continue;
            const QString hay = core::turkishLower(it.text);
            qsizetype at = -1;
            qsizetype length = text.size();
            if (hay.size() == it.text.size() && needle.size() == text.size())
                at = hay.indexOf(needle, from);
            else
                at = it.text.indexOf(text, from, Qt::CaseInsensitive);
            if (at >= 0)
                return TextHit{page, item, int(at), int(length)};
        }
    }
    return {};
}

QRectF PreparedReport::hitRect(const TextHit& hit) const
{
    if (!hit.isValid() || hit.page >= pageCount() || hit.item >= m_pages[hit.page].items.size())
        return {};
    const PreparedItem& item = m_pages[hit.page].items[hit.item];
    if (item.wrap || item.text.contains(u'\n') || item.font < 0 || item.font >= m_fonts.size())
        return item.rect;
    const QFontMetricsF fm(toQFont(m_fonts[item.font]), measuringDevice());
    const QRectF inner = textBox(item);
    const double width = fm.horizontalAdvance(item.text) / kMeasureUnitsPerMm;
    if (width > inner.width() + 0.01)
        return item.rect; // shown shortened: mark the whole box
    double x = inner.left();
    if (item.alignment & Qt::AlignRight)
        x = inner.right() - width;
    else if (item.alignment & Qt::AlignHCenter)
        x = inner.center().x() - width / 2;
    x += fm.horizontalAdvance(item.text.left(hit.offset)) / kMeasureUnitsPerMm;
    const double w =
        fm.horizontalAdvance(item.text.mid(hit.offset, hit.length)) / kMeasureUnitsPerMm;
    const double h = std::min(fm.height() / kMeasureUnitsPerMm, inner.height());
    double y = inner.center().y() - h / 2;
    if (item.alignment & Qt::AlignTop)
        y = inner.top();
    else if (item.alignment & Qt::AlignBottom)
        y = inner.bottom() - h;
    return QRectF(x, y, w, h);
}

bool PreparedReport::save(const QString& fileName, QString* errorText) const
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return failWith(errorText, file.errorString());
    QDataStream out(&file);
    out.setVersion(QDataStream::Qt_6_4);
    out << kMagic << kFormatVersion << m_title << m_pageSize << qint32(m_fonts.size());
    for (const PreparedFont& f : m_fonts)
        out << f.family << f.pointSize << f.bold << f.italic;
    out << qint32(m_pages.size());
    for (const PreparedPage& page : m_pages) {
        out << qint32(page.items.size());
        for (const PreparedItem& it : page.items) {
            out << quint8(it.kind) << it.wrap << it.frame << it.alignment << qint32(it.font)
                << it.rect << it.lineWidth << it.padding << quint32(it.color) << quint32(it.fill)
                << it.text;
        }
    }
    if (out.status() != QDataStream::Ok || !file.commit())
        return failWith(errorText, file.errorString());
    return true;
}

Result<PreparedReport> PreparedReport::load(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return ReportError{fileName, 0, 0, u"dosya açılamadı: %1"_s.arg(file.errorString())};
    QDataStream in(&file);
    in.setVersion(QDataStream::Qt_6_4);
    const auto broken = [&] { return ReportError{fileName, 0, 0, u"hazır rapor dosyası bozuk"_s}; };
    quint32 magic = 0;
    quint16 version = 0;
    in >> magic >> version;
    if (magic != kMagic)
        return ReportError{fileName, 0, 0, u"hazır rapor dosyası değil"_s};
    if (version != kFormatVersion)
        return ReportError{fileName, 0, 0, u"desteklenmeyen hazır rapor sürümü %1"_s.arg(version)};
    PreparedReport r;
    qint32 fontCount = 0;
    in >> r.m_title >> r.m_pageSize >> fontCount;
    if (in.status() != QDataStream::Ok)
        return broken();
    if (const auto e = countError(fontCount, kMaxFileFonts, kMinFontBytes, file, u"yazı tipi"_s))
        return ReportError{fileName, 0, 0, *e};
    for (qint32 i = 0; i < fontCount; ++i) {
        PreparedFont f;
        in >> f.family >> f.pointSize >> f.bold >> f.italic;
        r.m_fonts.append(f);
    }
    qint32 pageCount = 0;
    in >> pageCount;
    if (in.status() != QDataStream::Ok)
        return broken();
    if (const auto e = countError(pageCount, kMaxFilePages, kMinPageBytes, file, u"sayfa"_s))
        return ReportError{fileName, 0, 0, *e};
    r.m_pages.reserve(pageCount);
    for (qint32 p = 0; p < pageCount; ++p) {
        qint32 itemCount = 0;
        in >> itemCount;
        if (in.status() != QDataStream::Ok)
            return broken();
        if (const auto e = countError(itemCount, kMaxFilePageItems, kMinItemBytes, file,
                                      u"öğe (sayfa %1)"_s.arg(p + 1)))
            return ReportError{fileName, 0, 0, *e};
        PreparedPage page;
        page.items.reserve(itemCount);
        for (qint32 i = 0; i < itemCount; ++i) {
            PreparedItem it;
            quint8 kind = 0;
            qint32 font = 0;
            quint32 color = 0;
            quint32 fill = 0;
            in >> kind >> it.wrap >> it.frame >> it.alignment >> font >> it.rect >> it.lineWidth >>
                it.padding >> color >> fill >> it.text;
            if (in.status() != QDataStream::Ok || kind > quint8(PreparedItem::Kind::Rect) ||
                font < 0 || (font >= fontCount && kind == quint8(PreparedItem::Kind::Text)))
                return broken();
            it.kind = PreparedItem::Kind(kind);
            it.font = font;
            it.color = color;
            it.fill = fill;
            page.items.append(std::move(it));
        }
        r.m_pages.append(std::move(page));
    }
    if (!in.atEnd())
        return broken();
    return r;
}

bool PreparedReport::exportPdf(const QString& fileName, QString* errorText) const
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return failWith(errorText, file.errorString());
    {
        QPdfWriter writer(&file);
        writer.setCreator(u"Zelvo"_s);
        writer.setTitle(m_title);
        writer.setPageLayout(pageLayout());
        QPainter painter;
        if (!painter.begin(&writer))
            return failWith(errorText, u"PDF yazıcısı açılamadı"_s);
        for (int i = 0; i < pageCount(); ++i) {
            if (i > 0)
                writer.newPage();
            paintPage(i, painter);
        }
        painter.end();
    }
    if (!file.commit())
        return failWith(errorText, file.errorString());
    return true;
}

bool PreparedReport::print(QPrinter& printer) const
{
    if (pageCount() == 0)
        return false;
    printer.setFullPage(true);
    if (printer.docName().isEmpty())
        printer.setDocName(m_title);
    int first = 1;
    int last = pageCount();
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = std::max(1, printer.fromPage());
        last = std::min(pageCount(), printer.toPage() > 0 ? printer.toPage() : pageCount());
    }
    if (first > last)
        return false;
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    const QSizeF page(m_pageSize.width() * printer.logicalDpiX() / 25.4,
                      m_pageSize.height() * printer.logicalDpiY() / 25.4);
    const double scale = std::min(paper.width() / page.width(), paper.height() / page.height());
    const QPointF offset((paper.width() - page.width() * scale) / 2,
                         (paper.height() - page.height() * scale) / 2);
    for (int p = first; p <= last; ++p) {
        if (p > first)
            printer.newPage();
        painter.save();
        painter.translate(offset);
        painter.scale(scale, scale);
        paintPage(p - 1, painter);
        painter.restore();
    }
    return painter.end();
}

PreparedReport PreparedReport::errorReport(const QString& fileName, const QString& errorText)
{
    const QSizeF a4(210, 297);
    ReportBuilder builder(u"Rapor hatası"_s, a4);
    PreparedPage& page = builder.newPage();
    const QString family = u"DejaVu Sans"_s;
    const int heading = builder.fontIndex({family, 16, true, false});
    const int label = builder.fontIndex({family, 10, true, false});
    const int body = builder.fontIndex({family, 10, false, false});
    const auto text = [&](QRectF r, int font, const QString& t, bool wrap = false,
                          Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter) {
        PreparedItem item;
        item.kind = PreparedItem::Kind::Text;
        item.rect = r;
        item.font = font;
        item.text = t;
        item.wrap = wrap;
        item.alignment = quint16(align);
        item.padding = 1;
        page.items.append(item);
    };
    PreparedItem frame;
    frame.kind = PreparedItem::Kind::Rect;
    frame.rect = QRectF(15, 15, 180, 90);
    frame.lineWidth = 0.5;
    frame.fill = qRgb(0xfd, 0xf1, 0xf0);
    frame.color = qRgb(0xa0, 0x20, 0x20);
    page.items.append(frame);
    text({20, 20, 170, 12}, heading, u"Rapor hazırlanamadı"_s);
    PreparedItem rule;
    rule.kind = PreparedItem::Kind::Line;
    rule.rect = QRectF(QPointF(20, 33), QPointF(190, 33));
    rule.lineWidth = 0.3;
    rule.color = qRgb(0xa0, 0x20, 0x20);
    page.items.append(rule);
    text({20, 37, 40, 8}, label, u"Şablon dosyası:"_s);
    text({60, 37, 130, 8}, body, fileName.isEmpty() ? u"(adsız)"_s : fileName);
    text({20, 47, 40, 8}, label, u"Hata:"_s);
    text({60, 47, 130, 40}, body, errorText, true, Qt::AlignLeft | Qt::AlignTop);
    text({20, 90, 170, 10}, body, u"Şablon dosyasını düzeltip raporu yeniden isteyin."_s);
    return builder.take();
}

} // namespace zelvo::report
