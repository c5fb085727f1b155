#pragma once

// The parsed form of a report template. Internal to the engine: the list windows only see
// report::Template, which shares one of these.

#include "report/preparedreport.h"
#include "report/valueformat.h"

#include <QColor>
#include <QLineF>
#include <QList>
#include <QLocale>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QRectF>
#include <QString>

#include <array>
#include <optional>

namespace zelvo::report::detail {

// One expression inside [ ] of a text: a name, a record field or a function call.
struct Expr {
    enum class Kind { Name, RecordField, Call };
    Kind kind = Kind::Name;
    QString name;   // lower case: field, variable, built-in or function name
    QString record; // lower case record name for RecordField
    QList<Expr> args;
    int line = 0;
    int column = 0;
};

// A piece of an item's text: literal text, or an expression with its display format.
struct Segment {
    QString literal;
    std::optional<Expr> expr;
    DisplayFormat format; // Kind::None: the item's own format applies
};

struct Item {
    enum class Kind { Text, Line, Rect };
    Kind kind = Kind::Text;
    QRectF rect; // millimetres, relative to the band's top-left corner
    QLineF line; // for Kind::Line, same units
    PreparedFont font;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    bool wrap = false;
    bool frame = false;
    double lineWidth = 0.25; // mm; outline of frames, rectangles and lines
    double padding = 0.8;    // mm; space between a text's frame and its letters
    QColor color = Qt::black;
    QColor fill; // invalid: not filled
    QList<Segment> segments;
    DisplayFormat format; // the item's default format for its fields
    int sourceLine = 0;   // position of the item in the template
    int sourceColumn = 0;
};

enum class BandType { Title, PageHeader, ColumnHeader, Detail, Summary, PageFooter };
constexpr int kBandTypeCount = 6;

struct Band {
    BandType type = BandType::Detail;
    double height = 0;
    QColor alternateFill; // detail band: background of every second row
    bool skipFirstPage = false;
    int keepRows = 0; // summary band: rows that go along when the summary moves to a new page
    QList<Item> items;
    int line = 0;
    int column = 0;
};

struct TemplateModel {
    QString fileName;
    QString name;
    QPageSize pageSize{QPageSize::A4};
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QMarginsF margins{10, 10, 10, 10}; // mm
    PreparedFont font{QStringLiteral("DejaVu Sans"), 9, false, false};
    std::optional<QLocale> locale;
    std::array<std::optional<Band>, kBandTypeCount> bands;

    // Page size in millimetres with the orientation applied.
    QSizeF pageSizeMm() const
    {
        const QSizeF s = pageSize.size(QPageSize::Millimeter);
        return orientation == QPageLayout::Landscape ? s.transposed() : s;
    }
    QSizeF printableSizeMm() const
    {
        const QSizeF s = pageSizeMm();
        return {s.width() - margins.left() - margins.right(),
                s.height() - margins.top() - margins.bottom()};
    }
    const std::optional<Band>& band(BandType t) const { return bands[std::size_t(t)]; }
    double bandHeight(BandType t) const
    {
        const auto& b = band(t);
        return b ? b->height : 0.0;
    }
};

} // namespace zelvo::report::detail
