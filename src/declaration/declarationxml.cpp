#include "declaration/declarationxml.h"

#include "core/cp1254.h"
#include "declaration/checkvalues_p.h"
#include "declaration/declarationcolumns.h"
#include "declaration/writerhelpers_p.h"

using namespace Qt::StringLiterals;

namespace zelvo::declaration {

namespace {

// Attribute values are written between double quotes; the first four would break the markup,
// and a reader turns a literal tab, carriage return or line feed in an attribute into a blank.
// The reference that stands for c in an attribute value, null when c is written as it is.
const char16_t* referenceFor(QChar c)
{
    struct Reference {
        char16_t character;
        const char16_t* text;
    };
    static constexpr Reference references[] = {
        {u'&', u"&amp;"}, {u'<', u"&lt;"},   {u'>', u"&gt;"},   {u'"', u"&quot;"},
        {u'\t', u"&#9;"}, {u'\r', u"&#13;"}, {u'\n', u"&#10;"},
    };
    for (const Reference& reference : references) {
        if (c == reference.character) {
            return reference.text;
        }
    }
    return nullptr;
}

QString escapedForAttribute(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && !referenceFor(text[i])) {
        ++i;
    }
    if (i == text.size()) {
        return text;
    }
    QString out = text.left(i);
    out.reserve(text.size() + 16);
    for (; i < text.size(); ++i) {
        if (const char16_t* reference = referenceFor(text[i])) {
            out += QStringView(reference);
        } else {
            out += text[i];
        }
    }
    return out;
}

// The text followed by blanks up to width characters; a longer text is kept whole.
QString filled(const QString& text, qsizetype width)
{
    return text.leftJustified(width, u' ', false);
}

bool isWritten(XmlWritten when, const QString& value, bool previousWritten)
{
    switch (when) {
    case XmlWritten::Always:
        return true;
    case XmlWritten::WithText:
        return check::hasWrittenText(value); // the rule the check applies too
    case XmlWritten::NotEmpty:
        return !value.isEmpty();
    case XmlWritten::WithPrevious:
        return previousWritten;
    }
    return true;
}

} // namespace

FileBytes buildDeclarationXml(const DeclarationInput& input)
{
    if (input.month < 1 || input.month > 12) {
        return {{}, detail::monthError(input.month)};
    }

    Cp1254Buffer out(DeclaredCharset::Iso8859_9);
    out.reserve(1024 + input.rows.size() * 260);

    // One attribute's start (up to its opening quote) and a value of the workplace or parameter
    // row, filled and escaped.
    QString error;
    const auto recordValue = [&](const char* start, const QString& value, qsizetype width,
                                 const QString& column, bool workplace) {
        out.appendAscii(start);
        const QString text = escapedForAttribute(filled(value, width));
        if (error.isEmpty() && !out.appendText(text)) {
            error = workplace ? detail::workplaceValueError(column, text, out.charset())
                              : detail::parameterValueError(column, text, out.charset());
        }
    };

    // 1, 2: the declaration line and the root, each filled to 50.
    out.appendAscii("<?xml version=\"1.0\" encoding=\"iSO-8859-9\"?>       ");
    out.appendLineEnd();
    out.appendAscii("<AYLIKBILDIRGELER>                                ");
    out.appendLineEnd();

    // 3: the workplace.
    const WorkplaceRecord& w = input.workplace;
    recordValue("<ISYERI ISYERISICIL=\"", w.isyerisicil, 21, u"isyerisicil"_s, true);
    recordValue("\" KONTROLNO=\"", w.kontrolno, 2, u"kontrolno"_s, true);
    recordValue("\" ISYERIARACINO=\"", w.isyeriaracino, 3, u"isyeriaracino"_s, true);
    recordValue("\" ISYERIUNVAN=\" ", w.birimadi, 0, u"birimadi"_s, true);
    recordValue("\" ISYERIADRES=\" ", w.isyeriadres, 0, u"isyeriadres"_s, true);
    recordValue("\" ISYERIVERGINO=\" ", w.isyerivergino, 14, u"isyerivergino"_s, true);
    out.appendAscii("\"/>");
    out.appendLineEnd();
    if (!error.isEmpty()) {
        return {{}, error};
    }

    // 4: the payroll period; the year is that of the first shown row.
    const QString month = (input.month < 10 ? u"0"_s : QString()) + QString::number(input.month);
    out.appendAscii("<BORDRO DONEMAY=\"");
    out.appendText(month);
    out.appendAscii("\" DONEMYIL=\"");
    if (!input.rows.isEmpty()) {
        detail::RowReader first(input.rows.first(), 1);
        const QString year = escapedForAttribute(filled(first.text(u"yil"_s), 4));
        if (first.failed() || !first.append(out, year, u"yil"_s)) {
            return {{}, first.error()};
        }
    } else {
        out.appendAscii("    ");
    }
    recordValue("\" BELGEMAHIYET=\"", input.parameters.belgemahiyet, 1, u"belgemahiyet"_s, false);
    out.appendAscii("\"/>");
    out.appendLineEnd();

    // 5: the declarations with document type and law number.
    const bool gss = input.edition == Edition::Gss;
    recordValue("<BILDIRGELER BELGETURU=\"",
                gss ? input.parameters.belgeturuyab : input.parameters.belgeturu, 2,
                gss ? u"belgeturuyab"_s : u"belgeturu"_s, false);
    recordValue("\" KANUN=\"", input.parameters.kanunno, 5, u"kanunno"_s, false);
    out.appendAscii("\"> ");
    out.appendLineEnd();
    if (!error.isEmpty()) {
        return {{}, error};
    }

    // 6: the insured persons, filled to 50.
    out.appendAscii("<SIGORTALILAR>                                    ");
    out.appendLineEnd();

    // 7: one line per shown row, its attributes as the column table lists them.
    const std::span<const XmlRowAttribute> attributes = xmlRowAttributes();
    QList<QString> values(qsizetype(attributes.size()));
    for (qsizetype i = 0; i < input.rows.size(); ++i) {
        detail::RowReader row(input.rows.at(i), i + 1);
        for (size_t a = 0; a < attributes.size(); ++a) {
            values[qsizetype(a)] = row.text(attributes[a].column);
        }
        out.appendAscii("<SIGORTALI SIRA=\"");
        out.appendText(QString::number(i + 1));
        out.appendAscii('"');
        bool previousWritten = false;
        for (size_t a = 0; a < attributes.size(); ++a) {
            const XmlRowAttribute& attribute = attributes[a];
            const QString& value = values.at(qsizetype(a));
            previousWritten = isWritten(attribute.when, value, previousWritten);
            if (!previousWritten) {
                continue;
            }
            out.appendAscii(' ');
            out.appendAscii(attribute.name);
            out.appendAscii("=\"");
            row.append(out, escapedForAttribute(value), attribute.column);
            out.appendAscii(attribute.spaced ? "\" " : "\"");
        }
        out.appendAscii("/>");
        out.appendLineEnd();
        if (row.failed()) {
            return {{}, row.error()};
        }
    }

    // 8 to 10: closing tags.
    out.appendAscii("</SIGORTALILAR>");
    out.appendLineEnd();
    out.appendAscii("</BILDIRGELER>");
    out.appendLineEnd();
    out.appendAscii("</AYLIKBILDIRGELER>");
    out.appendLineEnd();
    return {std::move(out).bytes(), {}};
}

QString writeDeclarationXml(const QString& path, const DeclarationInput& input)
{
    return detail::writeBuiltFile(path, buildDeclarationXml(input));
}

QString proposedXmlFileName(const QString& unitCode, const QString& monthText, Edition edition)
{
    return detail::proposedMonthFileName(unitCode + u"-xml-"_s, monthText, u".xml"_s, edition);
}

} // namespace zelvo::declaration
