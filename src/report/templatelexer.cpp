#include "report/templatelexer.h"

#include "report/templateparsefailure.h"

using namespace Qt::StringLiterals;

namespace zelvo::report::detail {

namespace {

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
    [[noreturn]] void fail(int col, const QString& message) const { failAt(m_line, col, message); }

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

} // namespace

QList<Token> tokenizeLine(QStringView text, int line)
{
    return LineLexer(text, line).tokens();
}

int columnAt(const QList<int>& columns, qsizetype pos)
{
    if (columns.isEmpty())
        return 1;
    return pos < columns.size() ? columns[pos] : columns.last() + 1;
}

} // namespace zelvo::report::detail
