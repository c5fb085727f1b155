#include "declaration/checkvalues_p.h"

#include "core/cp1254.h"

#include "core/money.h"
#include "core/wholenumber.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace zelvo::declaration::check {

using core::DeclaredCharset;
using core::unwritableReason;

namespace {

bool isControl(char16_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

// Blanks and printable ASCII always fit; most values are nothing else.
bool isPlainAscii(QStringView text)
{
    for (QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7E) {
            return false;
        }
    }
    return true;
}

} // namespace

bool isDigits(QStringView text)
{
    if (text.isEmpty()) {
        return false;
    }
    for (QChar c : text) {
        if (c < u'0' || c > u'9') {
            return false;
        }
    }
    return true;
}

int wholeNumber(QStringView text, int minDigits, int maxDigits)
{
    if (text.size() < minDigits || text.size() > maxDigits || !isDigits(text)) {
        return -1;
    }
    return int(*core::wholeNumber(text));
}

std::optional<qint64> kurusOf(QStringView text)
{
    const QStringView number = text.startsWith(u'-') ? text.mid(1) : text;
    const qsizetype point = number.size() - 3;
    if (point < 1 || number.at(point) != u'.' || !isDigits(number.left(point)) ||
        !isDigits(number.mid(point + 1))) {
        return std::nullopt;
    }
    return core::money::parseKurus(text);
}

QString kurusText(qint64 kurus)
{
    return core::money::plainText(kurus);
}

QString dateText(const QDate& date)
{
    return date.toString(u"dd.MM.yyyy"_s);
}

QString unwritable(QStringView text)
{
    return isPlainAscii(text) ? QString() : unwritableReason(text, DeclaredCharset::Iso8859_9);
}

QString lineControls(QStringView text)
{
    QStringList found;
    for (QChar c : text) {
        if (c == u'\t' || c == u'\r' || c == u'\n') {
            const QString shown =
                u"(U+"_s + QString::number(c.unicode(), 16).toUpper().rightJustified(4, u'0') +
                u')';
            if (!found.contains(shown)) {
                found.append(shown);
            }
        }
    }
    return found.join(u", "_s);
}

bool hasWrittenText(QStringView text)
{
    for (QChar c : text) {
        if (c.unicode() > 0x20) {
            return true;
        }
    }
    return false;
}

QString printable(QStringView text)
{
    QString out = text.toString();
    for (QChar& c : out) {
        if (isControl(c.unicode())) {
            c = QChar::ReplacementCharacter;
        }
    }
    return out;
}

QString quoted(QStringView text)
{
    return u'"' + printable(text) + u'"';
}

} // namespace zelvo::declaration::check
