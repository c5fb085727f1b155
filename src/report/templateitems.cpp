#include "report/templateitems.h"

#include "report/templateexpression.h"
#include "report/templateparsefailure.h"
#include "report/templatevalues.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace zelvo::report::detail {

namespace {

// Where an item is placed: x, y, w, h for a text or a frame, x1, y1, x2, y2 for a line.
struct Placement {
    std::optional<double> x, y, w, h, x1, y1, x2, y2;
};

// A placement property of the item; false when t is none.
bool placementProperty(const Token& t, int line, bool isLine, Placement& at)
{
    if (t.type != Token::Type::Pair)
        return false;
    static const QString boxKeys[] = {u"x"_s, u"y"_s, u"w"_s, u"h"_s};
    static const QString lineKeys[] = {u"x1"_s, u"y1"_s, u"x2"_s, u"y2"_s};
    std::optional<double>* const boxValues[] = {&at.x, &at.y, &at.w, &at.h};
    std::optional<double>* const lineValues[] = {&at.x1, &at.y1, &at.x2, &at.y2};
    const QString* keys = isLine ? lineKeys : boxKeys;
    std::optional<double>* const* values = isLine ? lineValues : boxValues;
    for (int i = 0; i < 4; ++i) {
        if (t.key == keys[i]) {
            *values[i] = numberValue(t, line);
            return true;
        }
    }
    return false;
}

// pen, color and (not for a line) fill; false when t is none of them.
bool lookProperty(const Token& t, int line, bool isLine, Item& item)
{
    if (t.type != Token::Type::Pair)
        return false;
    if (t.key == u"pen"_s)
        item.lineWidth = numberValue(t, line);
    else if (t.key == u"color"_s)
        item.color = colorValue(t, line);
    else if (!isLine && t.key == u"fill"_s)
        item.fill = colorValue(t, line);
    else
        return false;
    return true;
}

DisplayFormat formatValue(const Token& t, int line)
{
    int offset = 0;
    QString message;
    const auto f = DisplayFormat::compile(t.value, &offset, &message);
    if (!f)
        failAt(line, offset < t.valueColumns.size() ? t.valueColumns[offset] : t.valueColumn,
               message);
    return *f;
}

// A property only a text has (font, flags, padding, alignment, format); false when t is none.
bool textProperty(const Token& t, int line, Item& item, Qt::Alignment& horizontal,
                  Qt::Alignment& vertical)
{
    const QString& k = t.key;
    const bool pair = t.type == Token::Type::Pair;
    if (pair && k == u"font"_s) {
        item.font.family = t.value;
    } else if (pair && k == u"size"_s) {
        item.font.pointSize = fontSizeValue(t, line);
    } else if (k == u"bold"_s) {
        item.font.bold = booleanValue(t, line);
    } else if (k == u"italic"_s) {
        item.font.italic = booleanValue(t, line);
    } else if (k == u"wrap"_s) {
        item.wrap = booleanValue(t, line);
    } else if (k == u"frame"_s) {
        item.frame = booleanValue(t, line);
    } else if (pair && k == u"padding"_s) {
        item.padding = numberValue(t, line);
    } else if (pair && k == u"align"_s) {
        horizontal = keywordValue<Qt::Alignment>(
            t, line,
            {{u"left", Qt::AlignLeft}, {u"center", Qt::AlignHCenter}, {u"right", Qt::AlignRight}},
            u"hizalama left, center ya da right olmalı"_s);
    } else if (pair && k == u"valign"_s) {
        vertical = keywordValue<Qt::Alignment>(
            t, line,
            {{u"top", Qt::AlignTop}, {u"center", Qt::AlignVCenter}, {u"bottom", Qt::AlignBottom}},
            u"dikey hizalama top, center ya da bottom olmalı"_s);
    } else if (pair && k == u"format"_s) {
        item.format = formatValue(t, line);
    } else {
        return false;
    }
    return true;
}

void place(Item& item, const Placement& at, const Token& head, int line, double bandHeight)
{
    if (item.kind == Item::Kind::Line) {
        if (!at.x1 || !at.y1)
            failAt(line, head.column, u"çizgi için x1 ve y1 gerekli"_s);
        item.line = QLineF(*at.x1, *at.y1, at.x2.value_or(*at.x1), at.y2.value_or(*at.y1));
        item.rect = QRectF(item.line.p1(), item.line.p2()).normalized();
        return;
    }
    if (!at.x || !at.w)
        failAt(line, head.column, u"%1 için x ve w gerekli"_s.arg(head.key));
    const double top = at.y.value_or(0);
    // An item that starts below its band is refused by the layout check, not given a
    // negative height.
    const double height = at.h.value_or(std::max(0.0, bandHeight - top));
    item.rect = QRectF(*at.x, top, *at.w, height);
}

} // namespace

Item parseItem(const Token& head, const QList<Token>& properties, int line,
               const PreparedFont& defaultFont, double bandHeight)
{
    Item item;
    item.sourceLine = line;
    item.sourceColumn = head.column;
    item.font = defaultFont;
    const QString kind = head.key;
    item.kind = kind == u"text"_s   ? Item::Kind::Text
                : kind == u"line"_s ? Item::Kind::Line
                                    : Item::Kind::Rect;
    Placement at;
    bool haveText = false;
    Qt::Alignment horizontal = Qt::AlignLeft;
    Qt::Alignment vertical = Qt::AlignVCenter;
    const bool isText = item.kind == Item::Kind::Text;
    const bool isLine = item.kind == Item::Kind::Line;
    for (const Token& t : properties) {
        if (t.type == Token::Type::String) {
            if (!isText)
                unknownProperty(t, line, kind);
            if (haveText)
                failAt(line, t.column, u"metin bir kez verilir"_s);
            haveText = true;
            item.segments = parseItemText(t.value, t.valueColumns, line);
        } else if (!placementProperty(t, line, isLine, at) &&
                   !lookProperty(t, line, isLine, item) &&
                   !(isText && textProperty(t, line, item, horizontal, vertical))) {
            unknownProperty(t, line, kind);
        }
    }
    if (isText && !haveText)
        failAt(line, head.column, u"metin öğesinin tırnak içinde bir metni olmalı"_s);
    place(item, at, head, line, bandHeight);
    item.alignment = horizontal | vertical;
    return item;
}

} // namespace zelvo::report::detail
