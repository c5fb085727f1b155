#include "cp1254.h"

#include <QtCore5Compat/QTextCodec>

using namespace Qt::StringLiterals;

namespace zelvo::declaration {

namespace {

QTextCodec* codec()
{
    static QTextCodec* const c = QTextCodec::codecForName("windows-1254");
    return c;
}

bool isAscii(QStringView text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x80) {
            return false;
        }
    }
    return true;
}

// Encodes through the codec with a fresh state for every value, so nothing is carried from
// one value to the next. The code page has one byte per character: a count that differs
// means a character was swallowed (the codec drops a lone surrogate at the end of a text
// without counting it as invalid).
bool encodeInto(QStringView text, QByteArray& out)
{
    if (isAscii(text)) {
        // Windows-1254 agrees with ASCII below 0x80.
        for (QChar c : text) {
            out.append(static_cast<char>(c.unicode()));
        }
        return true;
    }
    QTextCodec* const c = codec();
    if (c == nullptr) {
        return false;
    }
    QTextCodec::ConverterState state;
    const QByteArray encoded = c->fromUnicode(text.data(), int(text.size()), &state);
    if (state.invalidChars != 0 || encoded.size() != text.size()) {
        return false;
    }
    out.append(encoded);
    return true;
}

} // namespace

bool cp1254Available()
{
    return codec() != nullptr;
}

std::optional<QByteArray> toCp1254(QStringView text)
{
    QByteArray out;
    out.reserve(text.size());
    if (!encodeInto(text, out)) {
        return std::nullopt;
    }
    return out;
}

QString charactersOutsideCp1254(QStringView text)
{
    QStringList found;
    QList<char32_t> seen;
    for (qsizetype i = 0; i < text.size(); ++i) {
        // A surrogate pair is one character; a lone surrogate is shown by itself.
        qsizetype length = 1;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            length = 2;
        }
        const QStringView one = text.mid(i, length);
        const char32_t codePoint =
            length == 2 ? QChar::surrogateToUcs4(text[i], text[i + 1]) : text[i].unicode();
        i += length - 1;
        if (seen.contains(codePoint) || toCp1254(one).has_value()) {
            continue;
        }
        seen.append(codePoint);
        const QString shown = QChar::isSurrogate(codePoint) ? QString() : one.toString() + u' ';
        const QString hex = QString::number(uint(codePoint), 16).toUpper().rightJustified(4, u'0');
        found.append(shown + u"(U+"_s + hex + u')');
    }
    return found.join(u", "_s);
}

bool Cp1254Buffer::appendText(QStringView text)
{
    return encodeInto(text, m_bytes);
}

} // namespace zelvo::declaration
