#pragma once

// Reading the values of key=value pairs, with the limits that keep a template within what a
// page can hold. Each throws ParseFailure at the value's position on `line`.

#include "report/templatelexer.h"
#include "report/templateparsefailure.h"

#include <QColor>
#include <QMarginsF>
#include <QPageSize>
#include <QString>
#include <QStringView>

#include <initializer_list>
#include <optional>
#include <utility>

namespace zelvo::report::detail {

// Qt's number parsing takes "nan" and "inf"; no length, size or count in a template is one.
std::optional<double> finiteNumber(const QString& text);

double numberValue(const Token& t, int line, double min = 0);
double fontSizeValue(const Token& t, int line);
// A bare word means yes.
bool booleanValue(const Token& t, int line);
QColor colorValue(const Token& t, int line);
QPageSize pageSizeValue(const Token& t, int line);
QMarginsF marginsValue(const Token& t, int line);

// One of a few keywords, compared without regard to case; `message` when it is none of them.
template <typename T>
T keywordValue(const Token& t, int line, std::initializer_list<std::pair<QStringView, T>> choices,
               const QString& message)
{
    const QString v = t.value.toLower();
    for (const auto& [word, value] : choices) {
        if (v == word)
            return value;
    }
    failAt(line, t.valueColumn, message);
}

// A word, pair or string that `where` ("report", "band", "text" ...) does not take.
[[noreturn]] void unknownProperty(const Token& t, int line, const QString& where);

} // namespace zelvo::report::detail
