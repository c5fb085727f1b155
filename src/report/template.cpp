#include "template.h"

#include "templateencoding.h"
#include "templatemodel.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringList>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace report {

using namespace detail;

QString ReportError::toString() const
{
    QString where;
    if (!fileName.isEmpty())
        where = QFileInfo(fileName).fileName();
    if (line > 0) {
        if (!where.isEmpty())
            where += u", "_s;
        where += u"satır %1, sütun %2"_s.arg(line).arg(column);
    }
    return where.isEmpty() ? message : where + u": "_s + message;
}

namespace {

// Thrown inside the parser only; Template::parse turns it into a ReportError.
struct ParseFailure {
    int line;
    int column;
    QString message;
};

struct Token {
    enum class Type { Word, Pair, String };
    Type type = Type::Word;
    QString key;   // Word and Pair: the word, lower case
    QString value; // Pair and String
    int column = 0;
    int valueColumn = 0;
    QList<int> valueColumns; // source column of every character of `value`
};

// Qt's number parsing takes "nan" and "inf"; no length, size or count in a template is one.
std::optional<double> finiteNumber(const QString& text)
{
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

bool isWordChar(QChar c)
{
    return !c.isSpace() && c != u'=' && c != u'"';
}

class LineLexer {
public:
    LineLexer(QStringView text, int line) : m_text(text), m_line(line) {}

    QList<Token> tokens()
    {
        QList<Token> out;
        for (;;) {
            skipSpace();
            if (atEnd() || peek() == u'#' || peek() == u';')
                return out;
            Token t;
            t.column = column();
            if (peek() == u'"') {
                t.type = Token::Type::String;
                readQuoted(t);
            } else {
                const qsizetype start = m_pos;
                while (!atEnd() && isWordChar(peek()))
                    ++m_pos;
                if (m_pos == start)
                    fail(column(), u"beklenmeyen karakter '%1'"_s.arg(peek()));
                t.key = m_text.mid(start, m_pos - start).toString().toLower();
                if (!atEnd() && peek() == u'=') {
                    ++m_pos;
                    t.type = Token::Type::Pair;
                    t.valueColumn = column();
                    if (!atEnd() && peek() == u'"') {
                        readQuoted(t);
                    } else {
                        const qsizetype vstart = m_pos;
                        while (!atEnd() && !peek().isSpace())
                            ++m_pos;
                        if (m_pos == vstart)
                            fail(t.valueColumn, u"'%1' için değer eksik"_s.arg(t.key));
                        t.value = m_text.mid(vstart, m_pos - vstart).toString();
                        for (qsizetype i = vstart; i < m_pos; ++i)
                            t.valueColumns.append(int(i) + 1);
                    }
                } else if (!atEnd() && !peek().isSpace()) {
                    fail(column(), u"beklenmeyen karakter '%1'"_s.arg(peek()));
                }
            }
            out.append(t);
        }
    }

private:
    bool atEnd() const { return m_pos >= m_text.size(); }
    QChar peek() const { return m_text[m_pos]; }
    int column() const { return int(m_pos) + 1; }
    void skipSpace()
    {
        while (!atEnd() && peek().isSpace())
            ++m_pos;
    }
    [[noreturn]] void fail(int col, const QString& message) const
    {
        throw ParseFailure{m_line, col, message};
    }

    void readQuoted(Token& t)
    {
        const int open = column();
        if (t.valueColumn == 0)
            t.valueColumn = open;
        ++m_pos;
        while (!atEnd()) {
            QChar c = peek();
            const int col = column();
            ++m_pos;
            if (c == u'"')
                return;
            if (c == u'\\') {
                if (atEnd())
                    break;
                const QChar e = peek();
                ++m_pos;
                if (e == u'n')
                    c = u'\n';
                else if (e == u't')
                    c = u'\t';
                else if (e == u'"' || e == u'\\')
                    c = e;
                else
                    fail(col, u"bilinmeyen kaçış dizisi '\\%1'"_s.arg(e));
            }
            t.value += c;
            t.valueColumns.append(col);
        }
        fail(open, u"kapanmamış tırnak"_s);
    }

    QStringView m_text;
    int m_line;
    qsizetype m_pos = 0;
};

// Parses the expression inside [ ] of an item text.
class ExprParser {
public:
    ExprParser(QStringView text, const QList<int>& columns, int line)
        : m_text(text), m_columns(columns), m_line(line)
    {
    }

    Expr parseWhole()
    {
        Expr e = parseExpr(0);
        skipSpace();
        if (!atEnd())
            fail(m_pos, u"beklenmeyen karakter '%1'"_s.arg(m_text[m_pos]));
        return e;
    }

private:
    static bool isIdentStart(QChar c) { return c.isLetter() || c == u'_'; }
    static bool isIdentChar(QChar c) { return c.isLetterOrNumber() || c == u'_'; }
    bool atEnd() const { return m_pos >= m_text.size(); }
    void skipSpace()
    {
        while (!atEnd() && m_text[m_pos].isSpace())
            ++m_pos;
    }
    int columnAt(qsizetype pos) const
    {
        if (m_columns.isEmpty())
            return 1;
        return pos < m_columns.size() ? m_columns[pos] : m_columns.last() + 1;
    }
    [[noreturn]] void fail(qsizetype pos, const QString& message) const
    {
        throw ParseFailure{m_line, columnAt(pos), message};
    }

    QString ident()
    {
        skipSpace();
        if (atEnd() || !isIdentStart(m_text[m_pos]))
            fail(m_pos, u"alan adı bekleniyordu"_s);
        const qsizetype start = m_pos;
        while (!atEnd() && isIdentChar(m_text[m_pos]))
            ++m_pos;
        return m_text.mid(start, m_pos - start).toString().toLower();
    }

    // `depth`: the calls around this expression. The parser recurses once per level, so
    // the depth is bounded before a deep template can exhaust the stack.
    Expr parseExpr(int depth)
    {
        skipSpace();
        Expr e;
        const qsizetype start = m_pos;
        e.line = m_line;
        e.column = columnAt(start);
        e.name = ident();
        skipSpace();
        if (!atEnd() && m_text[m_pos] == u'.') {
            ++m_pos;
            e.kind = Expr::Kind::RecordField;
            e.record = e.name;
            e.name = ident();
            return e;
        }
        if (!atEnd() && m_text[m_pos] == u'(') {
            if (depth >= Template::kMaxCallNesting)
                fail(start, u"işlevler en çok %1 düzey iç içe yazılabilir"_s.arg(
                                Template::kMaxCallNesting));
            ++m_pos;
            e.kind = Expr::Kind::Call;
            skipSpace();
            if (!atEnd() && m_text[m_pos] == u')') {
                ++m_pos;
            } else {
                for (;;) {
                    e.args.append(parseExpr(depth + 1));
                    skipSpace();
                    if (atEnd())
                        fail(m_pos, u"kapanmamış parantez"_s);
                    const QChar c = m_text[m_pos++];
                    if (c == u')')
                        break;
                    if (c != u',')
                        fail(m_pos - 1, u"',' ya da ')' bekleniyordu"_s);
                }
            }
            checkCall(e, start);
        }
        return e;
    }

    void checkCall(const Expr& e, qsizetype start) const
    {
        const auto needNames = [&] {
            for (const Expr& a : e.args) {
                if (a.kind != Expr::Kind::Name)
                    throw ParseFailure{a.line, a.column,
                                       u"%1() yalnızca sütun adı alır"_s.arg(e.name)};
            }
        };
        if (e.name == u"sum"_s || e.name == u"pagesum"_s) {
            if (e.args.isEmpty())
                fail(start, u"%1() en az bir sütun adı ister"_s.arg(e.name));
            needNames();
        } else if (e.name == u"count"_s) {
            if (e.args.size() > 1)
                fail(start, u"count() en fazla bir sütun adı alır"_s);
            needNames();
        } else if (e.name == u"monthname"_s || e.name == u"upper"_s) {
            if (e.args.size() != 1)
                fail(start, u"%1() tek bir değer alır"_s.arg(e.name));
        } else {
            fail(start, u"bilinmeyen işlev '%1'"_s.arg(e.name));
        }
    }

    QStringView m_text;
    const QList<int>& m_columns;
    int m_line;
    qsizetype m_pos = 0;
};

QList<int> subColumns(const QList<int>& columns, qsizetype from, qsizetype count)
{
    return columns.mid(from, count);
}

QList<Segment> parseSegments(const QString& text, const QList<int>& columns, int line)
{
    QList<Segment> out;
    QString literal;
    const auto col = [&](qsizetype i) {
        return i < columns.size() ? columns[i] : (columns.isEmpty() ? 1 : columns.last() + 1);
    };
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text[i];
        if (c != u'[') {
            literal += c;
            ++i;
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == u'[') {
            literal += u'[';
            i += 2;
            continue;
        }
        const qsizetype close = text.indexOf(u']', i + 1);
        if (close < 0)
            throw ParseFailure{line, col(i), u"kapanmamış '['"_s};
        if (!literal.isEmpty()) {
            out.append(Segment{literal, std::nullopt, {}});
            literal.clear();
        }
        // "[expr:format]": the format runs from the colon to the closing bracket.
        qsizetype colon = -1;
        int depth = 0;
        for (qsizetype k = i + 1; k < close; ++k) {
            if (text[k] == u'(')
                ++depth;
            else if (text[k] == u')')
                --depth;
            else if (text[k] == u':' && depth == 0) {
                colon = k;
                break;
            }
        }
        const qsizetype exprEnd = colon >= 0 ? colon : close;
        const QList<int> exprColumns = subColumns(columns, i + 1, exprEnd - i - 1);
        ExprParser parser(QStringView(text).mid(i + 1, exprEnd - i - 1), exprColumns, line);
        if (QStringView(text).mid(i + 1, exprEnd - i - 1).trimmed().isEmpty())
            throw ParseFailure{line, col(i + 1), u"boş alan"_s};
        Segment seg;
        seg.expr = parser.parseWhole();
        if (colon >= 0) {
            qsizetype fstart = colon + 1;
            while (fstart < close && text[fstart].isSpace())
                ++fstart;
            int offset = 0;
            QString message;
            const auto f =
                DisplayFormat::compile(text.mid(fstart, close - fstart), &offset, &message);
            if (!f)
                throw ParseFailure{line, col(fstart + offset), message};
            seg.format = *f;
        }
        out.append(seg);
        i = close + 1;
    }
    if (!literal.isEmpty())
        out.append(Segment{literal, std::nullopt, {}});
    return out;
}

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
            const QList<Token> tokens = LineLexer(lineText, n + 1).tokens();
            if (!tokens.isEmpty())
                directive(tokens, n + 1);
        }
        finish();
        return m_model;
    }

private:
    [[noreturn]] void fail(int line, int column, const QString& message) const
    {
        throw ParseFailure{line, column, message};
    }

    double number(const Token& t, int line, double min = 0) const
    {
        const std::optional<double> parsed = finiteNumber(t.value);
        if (!parsed)
            fail(line, t.valueColumn, u"'%1' sayı değil"_s.arg(t.value));
        const double v = *parsed;
        if (v < min)
            fail(line, t.valueColumn, u"'%1' en az %2 olmalı"_s.arg(t.key).arg(min));
        return v;
    }

    double fontSize(const Token& t, int line) const
    {
        const double size = number(t, line, 1);
        if (size > Template::kMaxFontPoints)
            fail(line, t.valueColumn,
                 u"yazı boyutu en çok %1 punto olabilir"_s.arg(Template::kMaxFontPoints));
        return size;
    }

    bool boolean(const Token& t, int line) const
    {
        if (t.type == Token::Type::Word)
            return true;
        const QString v = t.value.toLower();
        if (v == u"yes"_s || v == u"true"_s || v == u"1"_s || v == u"evet"_s)
            return true;
        if (v == u"no"_s || v == u"false"_s || v == u"0"_s || v == u"hayir"_s || v == u"hayır"_s)
            return false;
        fail(line, t.valueColumn, u"'%1' evet/hayır değeri değil"_s.arg(t.value));
    }

    QColor color(const Token& t, int line) const
    {
        QColor c(t.value);
        if (!c.isValid())
            fail(line, t.valueColumn, u"'%1' renk değil"_s.arg(t.value));
        return c;
    }

    [[noreturn]] void unknown(const Token& t, int line, const QString& where) const
    {
        if (t.type == Token::Type::String)
            fail(line, t.column, u"%1 için beklenmeyen metin"_s.arg(where));
        fail(line, t.column, u"%1 için bilinmeyen özellik '%2'"_s.arg(where, t.key));
    }

    void directive(const QList<Token>& tokens, int line)
    {
        const Token& head = tokens.first();
        if (head.type != Token::Type::Word)
            fail(line, head.column,
                 u"satır bir komutla başlamalı (report, band, text, line, rect)"_s);
        const QList<Token> rest = tokens.mid(1);
        if (head.key == u"report"_s)
            reportLine(rest, line, head.column);
        else if (head.key == u"band"_s)
            bandLine(rest, line, head.column);
        else if (head.key == u"text"_s || head.key == u"line"_s || head.key == u"rect"_s)
            itemLine(head, rest, line);
        else
            fail(line, head.column, u"bilinmeyen komut '%1'"_s.arg(head.key));
    }

    void reportLine(const QList<Token>& tokens, int line, int column)
    {
        if (m_seenReport)
            fail(line, column, u"ikinci 'report' satırı"_s);
        if (m_currentBand >= 0)
            fail(line, column, u"'report' satırı bantlardan önce gelmeli"_s);
        m_seenReport = true;
        for (const Token& t : tokens) {
            if (t.type != Token::Type::Pair)
                unknown(t, line, u"report"_s);
            if (t.key == u"page"_s)
                m_model.pageSize = pageSize(t, line);
            else if (t.key == u"orientation"_s) {
                const QString v = t.value.toLower();
                if (v == u"portrait"_s || v == u"dikey"_s)
                    m_model.orientation = QPageLayout::Portrait;
                else if (v == u"landscape"_s || v == u"yatay"_s)
                    m_model.orientation = QPageLayout::Landscape;
                else
                    fail(line, t.valueColumn, u"yön portrait ya da landscape olmalı"_s);
            } else if (t.key == u"margins"_s)
                m_model.margins = margins(t, line);
            else if (t.key == u"font"_s)
                m_model.font.family = t.value;
            else if (t.key == u"size"_s)
                m_model.font.pointSize = fontSize(t, line);
            else if (t.key == u"locale"_s) {
                const QLocale loc(t.value);
                if (loc.language() == QLocale::C && t.value != u"C"_s)
                    fail(line, t.valueColumn, u"bilinmeyen yerel ayar '%1'"_s.arg(t.value));
                m_model.locale = loc;
            } else if (t.key == u"name"_s)
                m_model.name = t.value;
            else
                unknown(t, line, u"report"_s);
        }
    }

    QPageSize pageSize(const Token& t, int line) const
    {
        static const QHash<QString, QPageSize::PageSizeId> named = {
            {u"a3"_s, QPageSize::A3},         {u"a4"_s, QPageSize::A4},
            {u"a5"_s, QPageSize::A5},         {u"b5"_s, QPageSize::B5},
            {u"letter"_s, QPageSize::Letter}, {u"legal"_s, QPageSize::Legal}};
        const QString v = t.value.toLower();
        if (const auto it = named.constFind(v); it != named.constEnd())
            return QPageSize(*it);
        const QStringList parts = v.split(u'x');
        if (parts.size() == 2) {
            const auto w = finiteNumber(parts[0]);
            const auto h = finiteNumber(parts[1]);
            const auto fits = [](double mm) {
                return mm >= Template::kMinPageMm && mm <= Template::kMaxPageMm;
            };
            if (w && h && fits(*w) && fits(*h))
                return QPageSize(QSizeF(*w, *h), QPageSize::Millimeter);
        }
        fail(line, t.valueColumn,
             u"bilinmeyen sayfa boyutu '%1' (A4, A3, A5, B5, Letter, Legal ya da 210x297; "
             u"kenarlar %2 ile %3 mm arası)"_s.arg(t.value)
                 .arg(Template::kMinPageMm)
                 .arg(Template::kMaxPageMm));
    }

    QMarginsF margins(const Token& t, int line) const
    {
        const QStringList parts = t.value.split(u',');
        QList<double> v;
        for (const QString& p : parts) {
            const auto d = finiteNumber(p.trimmed());
            if (!d || *d < 0)
                fail(line, t.valueColumn, u"kenar boşlukları 'sol,üst,sağ,alt' mm olmalı"_s);
            v.append(*d);
        }
        if (v.size() == 1)
            return {v[0], v[0], v[0], v[0]};
        if (v.size() == 4)
            return {v[0], v[1], v[2], v[3]};
        fail(line, t.valueColumn, u"kenar boşlukları için bir ya da dört değer gerekli"_s);
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
            fail(
                line, tokens.isEmpty() ? column : tokens.first().column,
                u"bant türü bekleniyordu (title, pageheader, columnheader, detail, summary, pagefooter)"_s);
        const Token& typeToken = tokens.first();
        const auto it = types.constFind(typeToken.key);
        if (it == types.constEnd())
            fail(line, typeToken.column, u"bilinmeyen bant türü '%1'"_s.arg(typeToken.key));
        auto& slot = m_model.bands[std::size_t(*it)];
        if (slot)
            fail(line, typeToken.column,
                 u"'%1' bandı ikinci kez tanımlanmış (ilki satır %2)"_s.arg(typeToken.key)
                     .arg(slot->line));
        Band band;
        band.type = *it;
        band.line = line;
        band.column = column;
        bool haveHeight = false;
        for (const Token& t : tokens.mid(1)) {
            if (t.key == u"height"_s && t.type == Token::Type::Pair) {
                band.height = number(t, line, 0);
                haveHeight = true;
            } else if (t.key == u"alternate"_s && t.type == Token::Type::Pair) {
                band.alternateFill = color(t, line);
            } else if (t.key == u"skipfirst"_s && t.type != Token::Type::String) {
                band.skipFirstPage = boolean(t, line);
            } else if (t.key == u"keep"_s && t.type == Token::Type::Pair &&
                       band.type == BandType::Summary) {
                const double n = number(t, line, 0);
                if (n != std::floor(n) || n > 1000)
                    fail(line, t.valueColumn, u"'keep' bir satır sayısı olmalı"_s);
                band.keepRows = int(n);
            } else {
                unknown(t, line, u"band"_s);
            }
        }
        if (!haveHeight)
            fail(line, column, u"bant yüksekliği (height) eksik"_s);
        slot = band;
        m_currentBand = int(*it);
    }

    void itemLine(const Token& head, const QList<Token>& tokens, int line)
    {
        if (m_currentBand < 0)
            fail(line, head.column, u"öğe bir bandın içinde olmalı"_s);
        Band& band = *m_model.bands[std::size_t(m_currentBand)];
        Item item;
        item.sourceLine = line;
        item.sourceColumn = head.column;
        item.font = m_model.font;
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
        for (const Token& t : tokens) {
            const QString& k = t.key;
            const bool pair = t.type == Token::Type::Pair;
            if (t.type == Token::Type::String) {
                if (!isText)
                    unknown(t, line, kind);
                if (haveText)
                    fail(line, t.column, u"metin bir kez verilir"_s);
                haveText = true;
                item.segments = parseSegments(t.value, t.valueColumns, line);
            } else if (!isLine && pair && k == u"x"_s) {
                x = number(t, line);
            } else if (!isLine && pair && k == u"y"_s) {
                y = number(t, line);
            } else if (!isLine && pair && k == u"w"_s) {
                w = number(t, line);
            } else if (!isLine && pair && k == u"h"_s) {
                h = number(t, line);
            } else if (isLine && pair && k == u"x1"_s) {
                x1 = number(t, line);
            } else if (isLine && pair && k == u"y1"_s) {
                y1 = number(t, line);
            } else if (isLine && pair && k == u"x2"_s) {
                x2 = number(t, line);
            } else if (isLine && pair && k == u"y2"_s) {
                y2 = number(t, line);
            } else if (pair && k == u"pen"_s) {
                item.lineWidth = number(t, line);
            } else if (pair && k == u"color"_s) {
                item.color = color(t, line);
            } else if (!isLine && pair && k == u"fill"_s) {
                item.fill = color(t, line);
            } else if (isText && pair && k == u"font"_s) {
                item.font.family = t.value;
            } else if (isText && pair && k == u"size"_s) {
                item.font.pointSize = fontSize(t, line);
            } else if (isText && k == u"bold"_s) {
                item.font.bold = boolean(t, line);
            } else if (isText && k == u"italic"_s) {
                item.font.italic = boolean(t, line);
            } else if (isText && k == u"wrap"_s) {
                item.wrap = boolean(t, line);
            } else if (isText && k == u"frame"_s) {
                item.frame = boolean(t, line);
            } else if (isText && pair && k == u"padding"_s) {
                item.padding = number(t, line);
            } else if (isText && pair && k == u"align"_s) {
                const QString v = t.value.toLower();
                if (v == u"left"_s)
                    horizontal = Qt::AlignLeft;
                else if (v == u"center"_s)
                    horizontal = Qt::AlignHCenter;
                else if (v == u"right"_s)
                    horizontal = Qt::AlignRight;
                else
                    fail(line, t.valueColumn, u"hizalama left, center ya da right olmalı"_s);
            } else if (isText && pair && k == u"valign"_s) {
                const QString v = t.value.toLower();
                if (v == u"top"_s)
                    vertical = Qt::AlignTop;
                else if (v == u"center"_s)
                    vertical = Qt::AlignVCenter;
                else if (v == u"bottom"_s)
                    vertical = Qt::AlignBottom;
                else
                    fail(line, t.valueColumn, u"dikey hizalama top, center ya da bottom olmalı"_s);
            } else if (isText && pair && k == u"format"_s) {
                int offset = 0;
                QString message;
                const auto f = DisplayFormat::compile(t.value, &offset, &message);
                if (!f)
                    fail(line,
                         offset < t.valueColumns.size() ? t.valueColumns[offset] : t.valueColumn,
                         message);
                item.format = *f;
            } else {
                unknown(t, line, kind);
            }
        }
        if (isText && !haveText)
            fail(line, head.column, u"metin öğesinin tırnak içinde bir metni olmalı"_s);
        if (isLine) {
            if (!x1 || !y1)
                fail(line, head.column, u"çizgi için x1 ve y1 gerekli"_s);
            item.line = QLineF(*x1, *y1, x2.value_or(*x1), y2.value_or(*y1));
            item.rect = QRectF(item.line.p1(), item.line.p2()).normalized();
        } else {
            if (!x || !w)
                fail(line, head.column, u"%1 için x ve w gerekli"_s.arg(kind));
            const double top = y.value_or(0);
            // An item that starts below its band is refused in finish(), not given a
            // negative height.
            const double height = h.value_or(std::max(0.0, band.height - top));
            item.rect = QRectF(*x, top, *w, height);
        }
        item.alignment = horizontal | vertical;
        band.items.append(item);
    }

    static QString placement(const Item& item)
    {
        if (item.kind == Item::Kind::Line) {
            const QLineF& l = item.line;
            return u"x1=%1 y1=%2 x2=%3 y2=%4 mm"_s.arg(l.x1()).arg(l.y1()).arg(l.x2()).arg(l.y2());
        }
        const QRectF& r = item.rect;
        return u"x=%1 y=%2 w=%3 h=%4 mm"_s.arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    }

    void finish() const
    {
        const QSizeF printable = m_model.printableSizeMm();
        if (printable.width() < 10 || printable.height() < 10)
            fail(1, 1, u"kenar boşlukları sayfaya sığmıyor"_s);
        constexpr double slack = 0.001;
        for (const auto& band : m_model.bands) {
            if (!band)
                continue;
            for (const Item& item : band->items) {
                const QRectF r = item.rect;
                if (r.left() < -slack || r.top() < -slack || r.bottom() > band->height + slack ||
                    r.right() > printable.width() + slack)
                    fail(item.sourceLine, item.sourceColumn,
                         u"öğe bandın dışına taşıyor: %1; bant %2 x %3 mm"_s.arg(placement(item))
                             .arg(printable.width())
                             .arg(band->height));
            }
        }
        const auto h = [&](BandType t) { return m_model.bandHeight(t); };
        const auto& pageHeader = m_model.band(BandType::PageHeader);
        const double header = h(BandType::PageHeader) + h(BandType::ColumnHeader);
        const double footer = h(BandType::PageFooter);
        const double firstHeader =
            h(BandType::Title) +
            (pageHeader && pageHeader->skipFirstPage ? 0 : h(BandType::PageHeader)) +
            h(BandType::ColumnHeader);
        const auto check = [&](BandType t, double need) {
            const auto& band = m_model.band(t);
            if (band && need > printable.height() + slack)
                fail(band->line, band->column,
                     u"bant sayfaya sığmıyor: başlıklarla birlikte %1 mm, kullanılabilir %2 mm"_s
                         .arg(need)
                         .arg(printable.height()));
        };
        check(BandType::Title, firstHeader + footer);
        check(BandType::Detail, firstHeader + h(BandType::Detail) + footer);
        check(BandType::Detail, header + h(BandType::Detail) + footer);
        check(BandType::Summary, header + h(BandType::Summary) + footer);
    }

    TemplateModel m_model;
    bool m_seenReport = false;
    int m_currentBand = -1;
};

} // namespace

Template::Template(std::shared_ptr<const TemplateModel> model) : m_model(std::move(model)) {}

Result<Template> Template::parse(const QString& text, const QString& fileName)
{
    try {
        Parser parser(fileName);
        return Template(std::make_shared<const TemplateModel>(parser.run(text)));
    } catch (const ParseFailure& f) {
        return ReportError{fileName, f.line, f.column, f.message};
    }
}

Result<Template> Template::load(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return ReportError{path, 0, 0, u"şablon dosyası bulunamadı"_s};
    if (!file.open(QIODevice::ReadOnly))
        return ReportError{path, 0, 0, u"şablon dosyası açılamadı: %1"_s.arg(file.errorString())};
    const Result<QString> text = decodeTemplateText(file.readAll(), path);
    if (!text)
        return text.error();
    return parse(*text, path);
}

QString Template::fileName() const
{
    return m_model->fileName;
}

QString Template::name() const
{
    return m_model->name;
}

} // namespace report
