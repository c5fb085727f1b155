#include "report/templateitems.h"

#include "report/templateexpression.h"
#include "report/templateparsefailure.h"
#include "report/templatevalues.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace zelvo::report::detail {

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
    std::optional<double> x, y, w, h, x1, y1, x2, y2;
    bool haveText = false;
    Qt::Alignment horizontal = Qt::AlignLeft;
    Qt::Alignment vertical = Qt::AlignVCenter;
    const bool isText = item.kind == Item::Kind::Text;
    const bool isLine = item.kind == Item::Kind::Line;
    for (const Token& t : properties) {
        const QString& k = t.key;
        const bool pair = t.type == Token::Type::Pair;
        if (t.type == Token::Type::String) {
            if (!isText)
                unknownProperty(t, line, kind);
            if (haveText)
                failAt(line, t.column, u"metin bir kez verilir"_s);
            haveText = true;
            item.segments = parseItemText(t.value, t.valueColumns, line);
        } else if (!isLine && pair && k == u"x"_s) {
            x = numberValue(t, line);
        } else if (!isLine && pair && k == u"y"_s) {
            y = numberValue(t, line);
        } else if (!isLine && pair && k == u"w"_s) {
            w = numberValue(t, line);
        } else if (!isLine && pair && k == u"h"_s) {
            h = numberValue(t, line);
        } else if (isLine && pair && k == u"x1"_s) {
            x1 = numberValue(t, line);
        } else if (isLine && pair && k == u"y1"_s) {
            y1 = numberValue(t, line);
        } else if (isLine && pair && k == u"x2"_s) {
            x2 = numberValue(t, line);
        } else if (isLine && pair && k == u"y2"_s) {
            y2 = numberValue(t, line);
        } else if (pair && k == u"pen"_s) {
            item.lineWidth = numberValue(t, line);
        } else if (pair && k == u"color"_s) {
            item.color = colorValue(t, line);
        } else if (!isLine && pair && k == u"fill"_s) {
            item.fill = colorValue(t, line);
        } else if (isText && pair && k == u"font"_s) {
            item.font.family = t.value;
        } else if (isText && pair && k == u"size"_s) {
            item.font.pointSize = fontSizeValue(t, line);
        } else if (isText && k == u"bold"_s) {
            item.font.bold = booleanValue(t, line);
        } else if (isText && k == u"italic"_s) {
            item.font.italic = booleanValue(t, line);
        } else if (isText && k == u"wrap"_s) {
            item.wrap = booleanValue(t, line);
        } else if (isText && k == u"frame"_s) {
            item.frame = booleanValue(t, line);
        } else if (isText && pair && k == u"padding"_s) {
            item.padding = numberValue(t, line);
        } else if (isText && pair && k == u"align"_s) {
            horizontal = keywordValue<Qt::Alignment>(t, line,
                                                     {{u"left", Qt::AlignLeft},
                                                      {u"center", Qt::AlignHCenter},
                                                      {u"right", Qt::AlignRight}},
                                                     u"hizalama left, center ya da right olmalı"_s);
        } else if (isText && pair && k == u"valign"_s) {
            vertical =
                keywordValue<Qt::Alignment>(t, line,
                                            {{u"top", Qt::AlignTop},
                                             {u"center", Qt::AlignVCenter},
                                             {u"bottom", Qt::AlignBottom}},
                                            u"dikey hizalama top, center ya da bottom olmalı"_s);
        } else if (isText && pair && k == u"format"_s) {
            int offset = 0;
            QString message;
            const auto f = DisplayFormat::compile(t.value, &offset, &message);
            if (!f)
                failAt(line,
                       offset < t.valueColumns.size() ? t.valueColumns[offset] : t.valueColumn,
                       message);
            item.format = *f;
        } else {
            unknownProperty(t, line, kind);
        }
    }
    if (isText && !haveText)
        failAt(line, head.column, u"metin öğesinin tırnak içinde bir metni olmalı"_s);
    if (isLine) {
        if (!x1 || !y1)
            failAt(line, head.column, u"çizgi için x1 ve y1 gerekli"_s);
        item.line = QLineF(*x1, *y1, x2.value_or(*x1), y2.value_or(*y1));
        item.rect = QRectF(item.line.p1(), item.line.p2()).normalized();
    } else {
        if (!x || !w)
            failAt(line, head.column, u"%1 için x ve w gerekli"_s.arg(kind));
        const double top = y.value_or(0);
        // An item that starts below its band is refused by the layout check, not given a
        // negative height.
        const double height = h.value_or(std::max(0.0, bandHeight - top));
        item.rect = QRectF(*x, top, *w, height);
    }
    item.alignment = horizontal | vertical;
    return item;
}

} // namespace zelvo::report::detail
