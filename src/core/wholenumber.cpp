#include "core/wholenumber.h"

#include "core/error.h"

namespace zelvo::core {

std::optional<qlonglong> wholeNumber(QStringView text)
{
    const QStringView digits = text.startsWith(u'-') || text.startsWith(u'+') ? text.mid(1) : text;
    if (digits.isEmpty())
        return std::nullopt;
    for (QChar c : digits)
        if (c < u'0' || c > u'9')
            return std::nullopt;
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    return ok ? std::optional<qlonglong>(value) : std::nullopt;
}

qlonglong requireWholeNumber(QStringView text)
{
    if (const std::optional<qlonglong> value = wholeNumber(text))
        return *value;
    throw Error(notWholeNumberMessage(text));
}

QString notWholeNumberMessage(QStringView text)
{
    return QStringLiteral("'%1' geçerli bir tam sayı değil").arg(text);
}

} // namespace zelvo::core
