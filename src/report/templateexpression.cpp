#include "report/templateexpression.h"

#include "report/template.h"
#include "report/templatelexer.h"
#include "report/templateparsefailure.h"

using namespace Qt::StringLiterals;

namespace zelvo::report::detail {

namespace {

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
    int columnOf(qsizetype pos) const { return columnAt(m_columns, pos); }
    [[noreturn]] void fail(qsizetype pos, const QString& message) const
    {
        failAt(m_line, columnOf(pos), message);
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
        e.column = columnOf(start);
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
                    failAt(a.line, a.column, u"%1() yalnızca sütun adı alır"_s.arg(e.name));
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

} // namespace

QList<Segment> parseItemText(const QString& text, const QList<int>& columns, int line)
{
    QList<Segment> out;
    QString literal;
    const auto col = [&](qsizetype i) { return columnAt(columns, i); };
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
            failAt(line, col(i), u"kapanmamış '['"_s);
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
        const QList<int> exprColumns = columns.mid(i + 1, exprEnd - i - 1);
        ExprParser parser(QStringView(text).mid(i + 1, exprEnd - i - 1), exprColumns, line);
        if (QStringView(text).mid(i + 1, exprEnd - i - 1).trimmed().isEmpty())
            failAt(line, col(i + 1), u"boş alan"_s);
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
                failAt(line, col(fstart + offset), message);
            seg.format = *f;
        }
        out.append(seg);
        i = close + 1;
    }
    if (!literal.isEmpty())
        out.append(Segment{literal, std::nullopt, {}});
    return out;
}

} // namespace zelvo::report::detail
