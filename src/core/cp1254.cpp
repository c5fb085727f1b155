#include "core/cp1254.h"

#include <QList>
#include <QStringList>

#include <array>

using namespace Qt::StringLiterals;

namespace zelvo::core {

namespace {

// The characters of the bytes 0x80-0x9F. The bytes the code page leaves unassigned (0x81,
// 0x8D-0x90, 0x9D, 0x9E) stand for the C1 control of the same number, as Windows and Qt's
// codec read them.
constexpr std::array<char16_t, 32> WindowsRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x008E, 0x008F, // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x009E, 0x0178, // 98
};

// The character of a byte: ASCII below 0x80, the table above up to 0x9F, and from 0xA0 on
// Latin-1 but for the six Turkish letters (ISO-8859-9's).
char16_t characterOf(uchar b)
{
    if (b < 0x80)
        return b;
    if (b < 0xA0)
        return WindowsRange[b - 0x80];
    switch (b) {
    case 0xD0:
        return u'Ğ';
    case 0xDD:
        return u'İ';
    case 0xDE:
        return u'Ş';
    case 0xF0:
        return u'ğ';
    case 0xFD:
        return u'ı';
    case 0xFE:
        return u'ş';
    default:
        return b;
    }
}

// The byte of a character, or nullopt when the code page has none for it.
std::optional<char> byteOf(char16_t c)
{
    if (c < 0x80)
        return char(c);
    for (int b = 0x80; b <= 0xFF; ++b)
        if (characterOf(uchar(b)) == c)
            return char(b);
    return std::nullopt;
}

// One byte per character; nothing is appended when a character has no byte (a surrogate, half
// of a character outside the Basic Multilingual Plane, never has one).
bool encodeInto(QStringView text, QByteArray& out)
{
    const qsizetype start = out.size();
    for (QChar c : text) {
        const std::optional<char> byte = byteOf(c.unicode());
        if (!byte) {
            out.truncate(start);
            return false;
        }
        out.append(*byte);
    }
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

QString fromCp1254(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        text[i] = QChar(characterOf(uchar(bytes[i])));
    return text;
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
