#include "register/studentrules.h"

#include "core/cp1254.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace zelvo::studentregister {

namespace {

bool isAsciiDigits(QStringView text)
{
    for (QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return !text.isEmpty();
}

QString dmy(const QDate& date)
{
    return date.toString(u"dd.MM.yyyy"_s);
}

} // namespace

const QList<StudentField>& studentFields()
{
    // widths as the ogrenci table declares them on both backends
    static const QList<StudentField> fields = {
        {u"ogrencino"_s, u"Numarası"_s, 10},
        {u"adi"_s, u"Adı"_s, 50},
        {u"soyadi"_s, u"Soyadı"_s, 50},
        {u"tckimlikno"_s, u"T.C. Kimlik No"_s, 11},
        {u"ssksicilno"_s, u"SSK Sicil no"_s, 20},
        {u"statu"_s, u"Statü"_s, 1},
        {u"baslangictarihi"_s, u"Başlangıç Tarihi"_s, 0},
        {u"bitistarihi"_s, u"Bitiş tarihi"_s, 0},
        {u"gss"_s, u"GSS Ödenecek"_s, 0},
        {u"ilksoyadi"_s, u"İlk / Eski soyadı"_s, 50},
        {u"stajili"_s, u"Staj Yaptığı İl"_s, 50},
        {u"stajyeri"_s, u"Staj Yaptığı Kurum"_s, 150},
        {u"okuladi"_s, u"Okul"_s, 50},
        {u"otomasyonid"_s, u"Otomasyon No"_s, 0},
    };
    return fields;
}

const StudentField* studentField(QStringView column)
{
    const QList<StudentField>& fields = studentFields();
    const auto found = std::find_if(fields.cbegin(), fields.cend(),
                                    [column](const StudentField& f) { return f.column == column; });
    return found == fields.cend() ? nullptr : &*found;
}

std::optional<IdentityFault> identityFault(QStringView text)
{
    if (text.trimmed().isEmpty())
        return IdentityFault::Empty;
    if (text.size() != 11 || !isAsciiDigits(text))
        return IdentityFault::NotElevenDigits;
    if (text.at(0) == u'0')
        return IdentityFault::LeadingZero;
    int d[11];
    for (int i = 0; i < 11; ++i)
        d[i] = text.at(i).unicode() - u'0';
    const int odd = d[0] + d[2] + d[4] + d[6] + d[8];
    const int even = d[1] + d[3] + d[5] + d[7];
    const int tenth = ((odd * 7 - even) % 10 + 10) % 10;
    int sum = 0;
    for (int i = 0; i < 10; ++i)
        sum += d[i];
    if (d[9] != tenth || d[10] != sum % 10)
        return IdentityFault::CheckDigits;
    return std::nullopt;
}

QString identityFaultText(IdentityFault fault, const QString& field, const QString& shownValue)
{
    switch (fault) {
    case IdentityFault::Empty:
        return u"%1 boş"_s.arg(field);
    case IdentityFault::NotElevenDigits:
        return u"%1 11 haneli olmalı (%2)"_s.arg(field, shownValue);
    case IdentityFault::LeadingZero:
        return u"%1 0 ile başlayamaz (%2)"_s.arg(field, shownValue);
    case IdentityFault::CheckDigits:
        break;
    }
    return u"%1 doğrulama haneleri tutmuyor (%2)"_s.arg(field, shownValue);
}

QString textProblem(const QString& field, QStringView value, int width)
{
    // a tab or line break has no place in a one-line field either
    for (QChar c : value)
        if (c == u'\t' || c == u'\r' || c == u'\n')
            return u"%1 kontrol karakteri içeriyor (U+%2)."_s.arg(
                field, QString::number(c.unicode(), 16).toUpper().rightJustified(4, u'0'));
    if (const QString reason = core::unwritableReason(value, core::DeclaredCharset::Windows1254);
        !reason.isEmpty())
        return field + u' ' + reason;
    if (width > 0 && value.size() > width)
        return u"%1 en çok %2 karakter olabilir (%3 karakter yazıldı)."_s.arg(field).arg(width).arg(
            value.size());
    return {};
}

QString dateOrderProblem(const QDate& start, const QDate& end)
{
    if (!start.isValid() || !end.isValid() || end >= start)
        return {};
    return u"%1 (%2) başlangıçtan (%3) önce olamaz."_s.arg(studentField(u"bitistarihi")->title,
                                                           dmy(end), dmy(start));
}

QDate storedDate(const QVariant& value)
{
    if (value.typeId() == QMetaType::QDate)
        return value.toDate();
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().date();
    return QDate::fromString(value.toString().left(10), Qt::ISODate);
}

QList<RuleViolation> checkStudent(const StudentValues& row, const QStringList& statusCodes,
                                  bool identityRequired)
{
    QList<RuleViolation> found;
    for (const StudentField& field : studentFields()) {
        const auto value = row.constFind(field.column);
        if (value == row.cend() || field.width == 0 || value->isNull())
            continue;
        if (QString problem = textProblem(field.title, value->toString(), field.width);
            !problem.isEmpty())
            found.append({field.column, std::move(problem)});
    }

    const QString identityColumn = u"tckimlikno"_s;
    if (const auto tc = row.constFind(identityColumn); tc != row.cend()) {
        const QString text = tc->toString();
        const std::optional<IdentityFault> fault = identityFault(text);
        const bool alreadyFound = std::any_of(found.cbegin(), found.cend(), [&](const auto& v) {
            return v.column == identityColumn;
        });
        if (fault && !alreadyFound && (identityRequired || *fault != IdentityFault::Empty))
            found.append({identityColumn,
                          identityFaultText(*fault, studentField(identityColumn)->title, text),
                          true});
    }

    if (QString order = dateOrderProblem(storedDate(row.value(u"baslangictarihi"_s)),
                                         storedDate(row.value(u"bitistarihi"_s)));
        !order.isEmpty())
        found.append({u"bitistarihi"_s, std::move(order)});

    if (const auto status = row.constFind(u"statu"_s);
        status != row.cend() && !statusCodes.isEmpty() && !status->toString().trimmed().isEmpty() &&
        !statusCodes.contains(status->toString().trimmed()))
        found.append({u"statu"_s, u"%1 (%2) durum tablosunda yok; %3 olabilir."_s.arg(
                                      studentField(u"statu")->title, status->toString(),
                                      statusCodes.join(u", "_s))});
    return found;
}

} // namespace zelvo::studentregister
