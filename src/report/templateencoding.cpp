#include "report/templateencoding.h"

#include "core/cp1254.h"

#include <algorithm>
#include <iterator>

using namespace Qt::StringLiterals;

namespace zelvo::report {

namespace {

const QByteArray kUtf8Bom("\xEF\xBB\xBF", 3);

// The well-formed multi-byte sequences by their lead byte: the sequence's length and the range
// its second byte must fall in (the others are all 0x80..0xBF). The narrowed second-byte ranges
// keep out overlong forms, surrogates and everything above U+10FFFF.
struct LeadByte {
    uchar first;
    uchar last;
    int length;
    uchar low;
    uchar high;
};
constexpr LeadByte kLeadBytes[] = {
    {0xC2, 0xDF, 2, 0x80, 0xBF}, {0xE0, 0xE0, 3, 0xA0, 0xBF}, {0xE1, 0xEC, 3, 0x80, 0xBF},
    {0xED, 0xED, 3, 0x80, 0x9F}, {0xEE, 0xEF, 3, 0x80, 0xBF}, {0xF0, 0xF0, 4, 0x90, 0xBF},
    {0xF1, 0xF3, 4, 0x80, 0xBF}, {0xF4, 0xF4, 4, 0x80, 0x8F},
};

// Offset of the first byte that does not belong to a well-formed UTF-8 sequence, or -1 when
// there is none.
qsizetype firstInvalidUtf8(const QByteArray& bytes)
{
    const auto byte = [&](qsizetype i) { return uchar(bytes[i]); };
    for (qsizetype i = 0; i < bytes.size();) {
        const uchar lead = byte(i);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        const auto* kind =
            std::find_if(std::begin(kLeadBytes), std::end(kLeadBytes),
                         [lead](const LeadByte& k) { return lead >= k.first && lead <= k.last; });
        if (kind == std::end(kLeadBytes))
            return i;
        if (i + kind->length > bytes.size() || byte(i + 1) < kind->low || byte(i + 1) > kind->high)
            return i;
        for (int k = 2; k < kind->length; ++k) {
            if ((byte(i + k) & 0xC0) != 0x80)
                return i;
        }
        i += kind->length;
    }
    return -1;
}

// The error for the byte at `offset`, placed the way the parser counts: lines from 1, columns
// in characters of the decoded line from 1.
ReportError badByte(const QByteArray& bytes, qsizetype offset, qsizetype textStart, bool utf8,
                    const QString& fileName, const QString& message)
{
    const qsizetype lineStart = std::max(textStart, bytes.lastIndexOf('\n', offset - 1) + 1);
    const QByteArray before = bytes.mid(lineStart, offset - lineStart);
    const qsizetype column = utf8 ? QString::fromUtf8(before).size() : before.size();
    const int line = int(bytes.left(offset).count('\n')) + 1;
    const QString hex = QString::number(uchar(bytes[offset]), 16).toUpper();
    return ReportError{fileName, line, int(column) + 1, message.arg(hex)};
}

} // namespace

Result<QString> decodeTemplateText(const QByteArray& bytes, const QString& fileName)
{
    const bool marked = bytes.startsWith(kUtf8Bom);
    const qsizetype invalid = firstInvalidUtf8(bytes);
    if (invalid < 0)
        return QString::fromUtf8(bytes);
    if (marked)
        return badByte(bytes, invalid, kUtf8Bom.size(), true, fileName,
                       u"dosya UTF-8 olarak işaretli ama 0x%1 baytı UTF-8 değil"_s);

    const QString text = core::fromCp1254(bytes);
    // One character for every byte. Bytes the code page leaves unassigned come out as C1
    // control characters.
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= 0x80 && c <= 0x9F)
            return badByte(bytes, i, 0, false, fileName,
                           u"dosya ne UTF-8 ne de Windows-1254 (Türkçe): 0x%1 baytı okunamıyor"_s);
    }
    return text;
}

} // namespace zelvo::report
