#include "declaration/infocsv.h"

#include "core/cp1254.h"
#include "declaration/declarationcolumns.h"
#include "declaration/writerhelpers_p.h"

#include "core/error.h"
#include "core/period.h"
#include "core/wholenumber.h"

using namespace Qt::StringLiterals;

namespace zelvo::declaration {

namespace {

bool needsQuotes(const QString& field)
{
    for (QChar c : field) {
        if (c == u';' || c == u'"' || c == u'\r' || c == u'\n') {
            return true;
        }
    }
    return false;
}

QString csvField(const QString& field)
{
    if (!needsQuotes(field)) {
        return field;
    }
    QString quoted = field;
    quoted.replace(u'"', u"\"\""_s);
    return u'"' + quoted + u'"';
}

// "DDMM" as "DD-MM-YYYY" with the year the day falls in; empty when there is no day.
QString dayWithYear(const QString& dayMonth, const core::Period& period)
{
    if (dayMonth.isEmpty()) {
        return {};
    }
    const QString month = dayMonth.mid(2, 2);
    return dayMonth.left(2) + u'-' + month + u'-' +
           period.yearOfMonth(int(core::wholeNumber(month).value_or(0)));
}

} // namespace

FileBytes buildInfoCsv(const DeclarationInput& input)
{
    const bool withPlace = input.edition == Edition::Standard;

    Cp1254Buffer out;
    out.reserve(256 + input.rows.size() * 200);

    const auto written = [withPlace](const CsvColumn& column) {
        return withPlace || !column.standardOnly;
    };
    for (const CsvColumn& column : csvColumns()) {
        if (written(column)) {
            out.appendText(column.title);
            out.appendAscii(';');
        }
    }
    out.appendLineEnd();

    // The year box is written only into entry and exit dates.
    const core::Period period(input.yearText, input.month);
    const bool yearFits = unwritableReason(input.yearText, out.charset()).isEmpty();

    for (qsizetype i = 0; i < input.rows.size(); ++i) {
        detail::RowReader row(input.rows.at(i), i + 1);
        for (const CsvColumn& column : csvColumns()) {
            if (!written(column)) {
                continue;
            }
            switch (column.value) {
            case CsvValue::LineNumber:
                out.appendText(QString::number(i + 1));
                break;
            case CsvValue::Text:
                row.append(out, csvField(row.text(column.column)), column.column);
                break;
            case CsvValue::Date:
                row.append(out, csvField(row.dateText(column.column)), column.column);
                break;
            case CsvValue::DayWithYear: {
                QString date;
                try {
                    date = dayWithYear(row.text(column.column), period);
                } catch (const core::Error&) {
                    // A January day of December needs the year box as a number to name the
                    // next year.
                    return {{}, detail::yearBoxNumberError(input.yearText)};
                }
                if (!yearFits && !date.isEmpty()) {
                    return {{}, detail::yearBoxValueError(input.yearText, out.charset())};
                }
                row.append(out, csvField(date), column.column);
                break;
            }
            }
            out.appendAscii(';');
        }
        out.appendAscii(';');
        out.appendLineEnd();
        if (row.failed()) {
            return {{}, row.error()};
        }
    }
    return {std::move(out).bytes(), {}};
}

QString writeInfoCsv(const QString& path, const DeclarationInput& input)
{
    return detail::writeBuiltFile(path, buildInfoCsv(input));
}

QString proposedCsvFileName(const QString& monthText, Edition edition)
{
    return detail::proposedMonthFileName(u"bilgiamacliDOSYA-"_s, monthText, u".csv"_s, edition);
}

} // namespace zelvo::declaration
