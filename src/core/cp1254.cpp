#include "core/cp1254.h"

#include <QtCore5Compat/QTextCodec>

using namespace Qt::StringLiterals;

namespace zelvo::core {

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

// Tab, carriage return and line feed are the only control characters a value may carry.
bool isForbiddenControl(char32_t c)
{
    return (c < 0x20 && c != u'\t' && c != u'\r' && c != u'\n') || (c >= 0x7F && c <= 0x9F);
}

bool hasForbiddenControl(QStringView text)
{
    for (QChar c : text) {
        if (isForbiddenControl(c.unicode())) {
            return true;
        }
    }
    return false;
}

// Whether Windows-1254 writes the character into 0x80-0x9F, where ISO-8859-9 has controls.
bool inWindowsOnlyRange(QStringView character)
{
    const auto bytes = toCp1254(character);
    return bytes && bytes->size() == 1 && uchar(bytes->at(0)) >= 0x80 &&
           uchar(bytes->at(0)) <= 0x9F;
}

QString codePoint(char32_t c)
{
    return u"(U+"_s + QString::number(uint(c), 16).toUpper().rightJustified(4, u'0') + u')';
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

QString unwritableReason(QStringView text, DeclaredCharset charset)
{
    QStringList controls;
    QStringList windowsOnly;
    for (QChar c : text) {
        const QString shown = codePoint(c.unicode());
        if (isForbiddenControl(c.unicode())) {
            if (!controls.contains(shown)) {
                controls.append(shown);
            }
        } else if (charset == DeclaredCharset::Iso8859_9 && c.unicode() >= 0x80 &&
                   inWindowsOnlyRange(QStringView(&c, 1))) {
            const QString both = QString(c) + u' ' + shown;
            if (!windowsOnly.contains(both)) {
                windowsOnly.append(both);
            }
        }
    }
    if (!controls.isEmpty()) {
        return u"kontrol karakteri içeriyor: %1."_s.arg(controls.join(u", "_s));
    }
    if (const QString outside = charactersOutsideCp1254(text); !outside.isEmpty()) {
        return u"Türkçe Windows karakter kümesinde (1254) bulunmayan karakter içeriyor: %1."_s.arg(
            outside);
    }
    if (!windowsOnly.isEmpty()) {
        return u"dosyanın bildirdiği ISO-8859-9 karakter kümesinde bulunmayan karakter içeriyor: %1."_s
            .arg(windowsOnly.join(u", "_s));
    }
    return {};
}

bool Cp1254Buffer::appendText(QStringView text)
{
    if (hasForbiddenControl(text)) {
        return false;
    }
    const qsizetype start = m_bytes.size();
    if (!encodeInto(text, m_bytes)) {
        return false;
    }
    if (m_charset == DeclaredCharset::Iso8859_9) {
        for (qsizetype i = start; i < m_bytes.size(); ++i) {
            if (uchar(m_bytes[i]) >= 0x80 && uchar(m_bytes[i]) <= 0x9F) {
                m_bytes.truncate(start);
                return false;
            }
        }
    }
    return true;
}

} // namespace zelvo::core
