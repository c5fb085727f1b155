#include "report/templateparser.h"

#include "report/templateitems.h"
#include "report/templatelayoutcheck.h"
#include "report/templatelexer.h"
#include "report/templateparsefailure.h"
#include "report/templatevalues.h"

#include <QHash>

#include <cmath>

using namespace Qt::StringLiterals;

namespace zelvo::report::detail {

namespace {

class Parser {
public:
    explicit Parser(const QString& fileName) { m_model.fileName = fileName; }

    TemplateModel run(const QString& source)
    {
        QString text = source;
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        const QStringList lines = text.split(u'\n');
        for (int n = 0; n < lines.size(); ++n) {
            QString lineText = lines[n];
            if (lineText.endsWith(u'\r'))
                lineText.chop(1);
            const QList<Token> tokens = tokenizeLine(lineText, n + 1);
            if (!tokens.isEmpty())
                directive(tokens, n + 1);
        }
        checkTemplateLayout(m_model);
        return m_model;
    }

private:
    void directive(const QList<Token>& tokens, int line)
    {
        const Token& head = tokens.first();
        if (head.type != Token::Type::Word)
            failAt(line, head.column,
                   u"satır bir komutla başlamalı (report, band, text, line, rect)"_s);
        const QList<Token> rest = tokens.mid(1);
        if (head.key == u"report"_s)
            reportLine(rest, line, head.column);
        else if (head.key == u"band"_s)
            bandLine(rest, line, head.column);
        else if (head.key == u"text"_s || head.key == u"line"_s || head.key == u"rect"_s)
            itemLine(head, rest, line);
        else
            failAt(line, head.column, u"bilinmeyen komut '%1'"_s.arg(head.key));
    }

    void reportLine(const QList<Token>& tokens, int line, int column)
    {
        if (m_seenReport)
            failAt(line, column, u"ikinci 'report' satırı"_s);
        if (m_currentBand >= 0)
            failAt(line, column, u"'report' satırı bantlardan önce gelmeli"_s);
        m_seenReport = true;
        for (const Token& t : tokens) {
            if (t.type != Token::Type::Pair)
                unknownProperty(t, line, u"report"_s);
            if (t.key == u"page"_s)
                m_model.pageSize = pageSizeValue(t, line);
            else if (t.key == u"orientation"_s)
                m_model.orientation = keywordValue<QPageLayout::Orientation>(
                    t, line,
                    {{u"portrait", QPageLayout::Portrait},
                     {u"dikey", QPageLayout::Portrait},
                     {u"landscape", QPageLayout::Landscape},
                     {u"yatay", QPageLayout::Landscape}},
                    u"yön portrait ya da landscape olmalı"_s);
            else if (t.key == u"margins"_s)
                m_model.margins = marginsValue(t, line);
            else if (t.key == u"font"_s)
                m_model.font.family = t.value;
            else if (t.key == u"size"_s)
                m_model.font.pointSize = fontSizeValue(t, line);
            else if (t.key == u"locale"_s) {
                const QLocale loc(t.value);
                if (loc.language() == QLocale::C && t.value != u"C"_s)
                    failAt(line, t.valueColumn, u"bilinmeyen yerel ayar '%1'"_s.arg(t.value));
                m_model.locale = loc;
            } else if (t.key == u"name"_s)
                m_model.name = t.value;
            else
                unknownProperty(t, line, u"report"_s);
        }
    }

    void bandLine(const QList<Token>& tokens, int line, int column)
    {
        static const QHash<QString, BandType> types = {{u"title"_s, BandType::Title},
                                                       {u"pageheader"_s, BandType::PageHeader},
                                                       {u"columnheader"_s, BandType::ColumnHeader},
                                                       {u"detail"_s, BandType::Detail},
                                                       {u"summary"_s, BandType::Summary},
                                                       {u"pagefooter"_s, BandType::PageFooter}};
        if (tokens.isEmpty() || tokens.first().type != Token::Type::Word)
            failAt(
                line, tokens.isEmpty() ? column : tokens.first().column,
                u"bant türü bekleniyordu (title, pageheader, columnheader, detail, summary, pagefooter)"_s);
        const Token& typeToken = tokens.first();
        const auto it = types.constFind(typeToken.key);
        if (it == types.constEnd())
            failAt(line, typeToken.column, u"bilinmeyen bant türü '%1'"_s.arg(typeToken.key));
        auto& slot = m_model.bands[std::size_t(*it)];
        if (slot)
            failAt(line, typeToken.column,
                   u"'%1' bandı ikinci kez tanımlanmış (ilki satır %2)"_s.arg(typeToken.key)
                       .arg(slot->line));
        Band band;
        band.type = *it;
        band.line = line;
        band.column = column;
        bool haveHeight = false;
        for (const Token& t : tokens.mid(1)) {
            if (t.key == u"height"_s && t.type == Token::Type::Pair) {
                band.height = numberValue(t, line, 0);
                haveHeight = true;
            } else if (t.key == u"alternate"_s && t.type == Token::Type::Pair) {
                band.alternateFill = colorValue(t, line);
            } else if (t.key == u"skipfirst"_s && t.type != Token::Type::String) {
                band.skipFirstPage = booleanValue(t, line);
            } else if (t.key == u"keep"_s && t.type == Token::Type::Pair &&
                       band.type == BandType::Summary) {
                const double n = numberValue(t, line, 0);
                if (n != std::floor(n) || n > 1000)
                    failAt(line, t.valueColumn, u"'keep' bir satır sayısı olmalı"_s);
                band.keepRows = int(n);
            } else {
                unknownProperty(t, line, u"band"_s);
            }
        }
        if (!haveHeight)
            failAt(line, column, u"bant yüksekliği (height) eksik"_s);
        slot = band;
        m_currentBand = int(*it);
    }

    void itemLine(const Token& head, const QList<Token>& tokens, int line)
    {
        if (m_currentBand < 0)
            failAt(line, head.column, u"öğe bir bandın içinde olmalı"_s);
        Band& band = *m_model.bands[std::size_t(m_currentBand)];
        band.items.append(parseItem(head, tokens, line, m_model.font, band.height));
    }

    TemplateModel m_model;
    bool m_seenReport = false;
    int m_currentBand = -1;
};

} // namespace

TemplateModel parseTemplateText(const QString& text, const QString& fileName)
{
    return Parser(fileName).run(text);
}

} // namespace zelvo::report::detail
