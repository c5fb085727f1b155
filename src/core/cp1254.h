// Windows code page 1254 (Turkish), the character set of both declaration files.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>
#include <utility>

namespace zelvo::core {

// The text in Windows-1254, one byte per character; nullopt when a character has no place in
// the code page. The table is the program's own, so it is the same on every system.
std::optional<QByteArray> toCp1254(QStringView text);

// The text of Windows-1254 bytes, one character per byte; an unassigned byte (0x81, 0x8D-0x90,
// 0x9D, 0x9E) gives the C1 control character of its number, for the caller to refuse.
QString fromCp1254(QByteArrayView bytes);

// The characters of text that Windows-1254 cannot hold, each once, in order of appearance,
// written as `ś (U+015B)`, separated by ", "; empty when the whole text fits.
QString charactersOutsideCp1254(QStringView text);

// What a file says its bytes are. Both files are written in Windows-1254; the XML file
// declares ISO-8859-9, which agrees with it on every letter but reads the bytes 0x80-0x9F
// (where Windows-1254 keeps €, ‘, ’, “, ”, – …) as control characters.
enum class DeclaredCharset { Windows1254, Iso8859_9 };

// Why text cannot be written into a file of that character set, as the end of a Turkish
// sentence ("… içeriyor: ś (U+015B)."); empty when it can. Control characters other than tab,
// carriage return and line feed never can: a reader would drop them or stop at them.
QString unwritableReason(QStringView text, DeclaredCharset charset);

// A growing file in Windows-1254. Markup goes in as ASCII bytes; values are checked one by
// one, so that the writer can say which value did not fit.
class Cp1254Buffer {
public:
    explicit Cp1254Buffer(DeclaredCharset charset = DeclaredCharset::Windows1254)
        : m_charset(charset)
    {
    }
    DeclaredCharset charset() const { return m_charset; }
    void reserve(qsizetype bytes) { m_bytes.reserve(bytes); }
    void appendAscii(const char* markup) { m_bytes.append(markup); }
    void appendAscii(char c) { m_bytes.append(c); }
    // Appends the text and returns true, or returns false and appends nothing when a
    // character of it cannot be written (see unwritableReason).
    bool appendText(QStringView text);
    void appendLineEnd() { m_bytes.append("\r\n", 2); }

    const QByteArray& bytes() const& { return m_bytes; }
    QByteArray bytes() && { return std::move(m_bytes); }

private:
    DeclaredCharset m_charset;
    QByteArray m_bytes;
};

} // namespace zelvo::core
