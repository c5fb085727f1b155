#include "report/templatelayoutcheck.h"

#include "report/templateparsefailure.h"

using namespace Qt::StringLiterals;

namespace zelvo::report::detail {

namespace {

QString placement(const Item& item)
{
    if (item.kind == Item::Kind::Line) {
        const QLineF& l = item.line;
        return u"x1=%1 y1=%2 x2=%3 y2=%4 mm"_s.arg(l.x1()).arg(l.y1()).arg(l.x2()).arg(l.y2());
    }
    const QRectF& r = item.rect;
    return u"x=%1 y=%2 w=%3 h=%4 mm"_s.arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

} // namespace

void checkTemplateLayout(const TemplateModel& model)
{
    const QSizeF printable = model.printableSizeMm();
    if (printable.width() < 10 || printable.height() < 10)
        failAt(1, 1, u"kenar boşlukları sayfaya sığmıyor"_s);
    constexpr double slack = 0.001;
    for (const auto& band : model.bands) {
        if (!band)
            continue;
        for (const Item& item : band->items) {
            const QRectF r = item.rect;
            if (r.left() < -slack || r.top() < -slack || r.bottom() > band->height + slack ||
                r.right() > printable.width() + slack)
                failAt(item.sourceLine, item.sourceColumn,
                       u"öğe bandın dışına taşıyor: %1; bant %2 x %3 mm"_s.arg(placement(item))
                           .arg(printable.width())
                           .arg(band->height));
        }
    }
    const auto h = [&](BandType t) { return model.bandHeight(t); };
    const auto& pageHeader = model.band(BandType::PageHeader);
    const double header = h(BandType::PageHeader) + h(BandType::ColumnHeader);
    const double footer = h(BandType::PageFooter);
    const double firstHeader =
        h(BandType::Title) +
        (pageHeader && pageHeader->skipFirstPage ? 0 : h(BandType::PageHeader)) +
        h(BandType::ColumnHeader);
    const auto check = [&](BandType t, double need) {
        const auto& band = model.band(t);
        if (band && need > printable.height() + slack)
            failAt(band->line, band->column,
                   u"bant sayfaya sığmıyor: başlıklarla birlikte %1 mm, kullanılabilir %2 mm"_s
                       .arg(need)
                       .arg(printable.height()));
    };
    check(BandType::Title, firstHeader + footer);
    check(BandType::Detail, firstHeader + h(BandType::Detail) + footer);
    check(BandType::Detail, header + h(BandType::Detail) + footer);
    check(BandType::Summary, header + h(BandType::Summary) + footer);
}

} // namespace zelvo::report::detail
