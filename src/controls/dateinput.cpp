#include "controls/dateinput.h"

#include <QRegularExpression>

namespace zelvo::controls {

namespace {

constexpr int kFirstYear = 1900;

DateInput dateOf(int day, int month, int year)
{
    if (year < kFirstYear || !QDate::isValid(year, month, day))
        return {DateInput::Kind::Unreadable, {}};
    return {DateInput::Kind::Date, QDate(year, month, day)};
}

} // namespace

DateInput readDateInput(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return {};
    // one separator throughout: "01.03-2026" is more likely a slip than a date
    static const QRegularExpression separated(
        QStringLiteral("^([0-9]{1,2})([.\\-/])([0-9]{1,2})\\2([0-9]{4})$"));
    static const QRegularExpression digitsOnly(QStringLiteral("^([0-9]{2})([0-9]{2})([0-9]{4})$"));
    if (const auto m = separated.match(trimmed); m.hasMatch())
        return dateOf(m.captured(1).toInt(), m.captured(3).toInt(), m.captured(4).toInt());
    if (const auto m = digitsOnly.match(trimmed); m.hasMatch())
        return dateOf(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    return {DateInput::Kind::Unreadable, {}};
}

QString dateInputText(const QDate& date)
{
    return date.isValid() ? date.toString(QStringLiteral("dd-MM-yyyy")) : QString();
}

QString dateRefusalText(const QString& fieldName, const QString& typed)
{
    const QString refusal =
        QStringLiteral("\"%1\" geçerli bir tarih değil. Tarihi GG.AA.YYYY biçiminde girin.")
            .arg(typed.trimmed());
    return fieldName.isEmpty() ? refusal : fieldName + QStringLiteral(": ") + refusal;
}

} // namespace zelvo::controls
