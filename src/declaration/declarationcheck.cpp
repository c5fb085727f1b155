#include "declaration/declarationcheck.h"

#include "core/money.h"
#include "declaration/checkvalues_p.h"
#include "declaration/declarationcolumns.h"
#include "declaration/declarationtext.h"
#include "register/studentrules.h"

#include "core/error.h"
#include "core/period.h"

#include <QDate>
#include <QHash>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace zelvo::declaration {

using namespace check;

namespace {

// The declaration period as step (1) computed the entry and exit days from it.
struct PeriodDays {
    QDate first;
    QDate last;

    QString text() const { return dateText(first) + u" - "_s + dateText(last); }
};

std::optional<PeriodDays> periodOf(const DeclarationInput& input)
{
    if (input.month < 1 || input.month > 12) {
        return std::nullopt;
    }
    const core::Period period(input.yearText.trimmed(), input.month);
    try {
        const QDate first = period.firstDay();
        const QDate last = period.lastDay();
        if (!first.isValid() || !last.isValid()) {
            return std::nullopt;
        }
        return PeriodDays{first, last};
    } catch (const core::Error&) {
        return std::nullopt; // December of a year text that is no year
    }
}

// An entry or exit day "DDMM" as a day of the period; invalid when it names none.
QDate periodDay(QStringView text, const PeriodDays& period)
{
    const int ddmm = wholeNumber(text, 4, 4);
    if (ddmm < 0) {
        return {};
    }
    const int day = ddmm / 100;
    const int month = ddmm % 100;
    int year = 0;
    if (month == period.first.month()) {
        year = period.first.year();
    } else if (month == period.last.month()) {
        year = period.last.year();
    } else {
        return {};
    }
    const QDate date(year, month, day);
    return date.isValid() && date >= period.first && date <= period.last ? date : QDate();
}

// The wage the premium bases of the month are compared with.
std::optional<qint64> comparedWage(const MinimumWage& wage, int month)
{
    if (month != 12) {
        return wage.month;
    }
    if (!wage.month || !wage.january) {
        return std::nullopt;
    }
    return std::min(*wage.month, *wage.january);
}

// Where the findings of one row (or of the workplace or parameter row) go.
class Findings {
public:
    void add(Severity severity, int row, const QString& student, const QString& name,
             const QString& field, QStringView value, const QString& reason)
    {
        (severity == Severity::Error ? m_errors : m_warnings)
            .append({severity, row, student, name, field, printable(value), reason});
    }
    QList<Finding> take() &&
    {
        m_errors.append(std::move(m_warnings));
        return std::move(m_errors);
    }

private:
    QList<Finding> m_errors;
    QList<Finding> m_warnings;
};

class RecordCheck {
public:
    RecordCheck(Findings& out, int row, QString student, QString name)
        : m_out(out), m_row(row), m_student(std::move(student)), m_name(std::move(name))
    {
    }

    void error(const QString& field, QStringView value, const QString& reason)
    {
        m_out.add(Severity::Error, m_row, m_student, m_name, field, value, reason);
    }
    void warning(const QString& field, QStringView value, const QString& reason)
    {
        m_out.add(Severity::Warning, m_row, m_student, m_name, field, value, reason);
    }
    // A value that the file cannot carry, or that carries a tab or a line break, is an error of
    // its own; the field's other rules are not asked about it.
    bool writable(const QString& field, QStringView value)
    {
        if (const QString problem = unwritable(value); !problem.isEmpty()) {
            error(field, value,
                  u"%1 (%2) dosyaya yazılamaz: %3"_s.arg(field, quoted(value), problem));
            return false;
        }
        if (const QString controls = lineControls(value); !controls.isEmpty()) {
            error(field, value,
                  u"%1 (%2) kontrol karakteri içeriyor: %3."_s.arg(field, quoted(value), controls));
            return false;
        }
        return true;
    }
    // A value of exactly `digits` digits (either of two counts when `orDigits` is given).
    void requireDigits(const QString& field, QStringView value, int digits, int orDigits = 0)
    {
        if (!writable(field, value)) {
            return;
        }
        const bool counted = value.size() == digits || (orDigits > 0 && value.size() == orDigits);
        if (counted && isDigits(value)) {
            return;
        }
        const QString count =
            orDigits > 0 ? u"%1 ya da %2"_s.arg(digits).arg(orDigits) : QString::number(digits);
        error(field, value, u"%1 %2 haneli olmalı (%3)"_s.arg(field, count, quoted(value)));
    }

private:
    Findings& m_out;
    int m_row;
    QString m_student;
    QString m_name;
};

void checkWorkplace(const WorkplaceRecord& w, Findings& out)
{
    RecordCheck record(out, 0, {}, u"İşyeri bilgileri"_s);
    const QString sicil = u"İşyeri Sicil No"_s;
    if (record.writable(sicil, w.isyerisicil)) {
        QString digits = w.isyerisicil;
        digits.remove(u' ');
        if (digits.size() != 21 || !isDigits(digits)) {
            record.error(
                sicil, w.isyerisicil,
                u"%1 boşluklar atılınca 21 haneli olmalı (%2)"_s.arg(sicil, quoted(w.isyerisicil)));
        }
    }
    record.requireDigits(u"Kontrol No"_s, w.kontrolno, 2);
    record.requireDigits(u"Alt İşveren No"_s, w.isyeriaracino, 3);
    record.writable(u"İşyeri Adı"_s, w.birimadi);
    record.writable(u"İşyeri Adresi"_s, w.isyeriadres);
    record.requireDigits(u"Vergi No"_s, w.isyerivergino, 10, 11);
}

void checkParameters(const ParameterRecord& p, Edition edition, Findings& out)
{
    RecordCheck record(out, 0, {}, u"Temel parametreler"_s);
    const QString nature = u"Belge Mahiyeti"_s;
    if (record.writable(nature, p.belgemahiyet) &&
        !(p.belgemahiyet.size() == 1 && p.belgemahiyet.at(0).isLetter())) {
        record.error(nature, p.belgemahiyet,
                     u"%1 tek harf olmalı (%2)"_s.arg(nature, quoted(p.belgemahiyet)));
    }
    record.requireDigits(u"Belge Türü"_s, edition == Edition::Gss ? p.belgeturuyab : p.belgeturu,
                         2);
    record.requireDigits(u"Kanun No"_s, p.kanunno, 5);
}

// The columns the XML writer reads from every shown row; it reads yil from the first as well.
// The student number and the end date are only shown or compared, so a row without them is
// still checked.
const QStringList& writtenColumns()
{
    static const QStringList columns = [] {
        QStringList names;
        for (const XmlRowAttribute& attribute : xmlRowAttributes()) {
            names.append(attribute.column);
        }
        return names;
    }();
    return columns;
}

// Everything of one shown row but the identity number's uniqueness, which needs the month.
class RowCheck {
public:
    RowCheck(const ShownRow& row, int number, Findings& out)
        : m_row(row), m_check(out, number, printable(text(u"ogrencino"_s)), studentName())
    {
    }

    // False when the row lacks a column the file needs, which stops the file as well.
    bool columnsPresent(bool firstRow)
    {
        QStringList needed = writtenColumns();
        if (firstRow) {
            needed.prepend(u"yil"_s);
        }
        for (const QString& column : std::as_const(needed)) {
            if (!m_row.contains(column)) {
                m_check.error(column, {}, u"\"%1\" sütunu yok; dosya yazılamaz"_s.arg(column));
                return false;
            }
        }
        return true;
    }

    // The identity number when it is a valid one (for the uniqueness test), else empty.
    QString identity()
    {
        const QString field = u"T.C. Kimlik No"_s;
        const QString tc = text(u"tckimlikno"_s);
        if (!m_check.writable(field, tc)) {
            return {};
        }
        if (const auto fault = studentregister::identityFault(tc)) {
            m_check.error(field, tc, studentregister::identityFaultText(*fault, field, quoted(tc)));
            return {};
        }
        return tc;
    }

    void duplicate(const QString& tc, int firstRow)
    {
        const QString field = u"T.C. Kimlik No"_s;
        m_check.error(
            field, tc,
            u"%1 bu ayda iki kez var (%2, %3. satırda da)"_s.arg(field, quoted(tc)).arg(firstRow));
    }

    void socialSecurityNumber() { m_check.writable(u"SGK Sicil No"_s, text(u"ssksicilno"_s)); }

    void names()
    {
        for (const auto& [column, field] :
             {std::pair{u"adi"_s, u"Adı"_s}, std::pair{u"soyadi"_s, u"Soyadı"_s}}) {
            const QString value = text(column);
            if (m_check.writable(field, value) && value.trimmed().isEmpty()) {
                m_check.error(field, value, u"%1 boş"_s.arg(field));
            }
        }
        // written only when something is left after trimming, as the writer decides
        const QString former = text(u"ilksoyadi"_s);
        if (hasWrittenText(former)) {
            m_check.writable(u"İlk Soyadı"_s, former);
        }
    }

    // Days and premium base, and the warnings that compare them with the minimum wage.
    void daysAndBase(std::optional<qint64> wage)
    {
        const QString dayField = u"Gün"_s;
        const QString dayText = text(u"gun"_s);
        int days = -1;
        if (m_check.writable(dayField, dayText)) {
            days = wholeNumber(dayText, 1, 2);
            if (days < 0 || days > 30) {
                days = -1;
                m_check.error(
                    dayField, dayText,
                    u"%1 0 ile 30 arasında tam sayı olmalı (%2)"_s.arg(dayField, quoted(dayText)));
            }
        }

        const QString baseField = u"PEK"_s;
        const QString baseText = text(u"sil1"_s);
        if (!m_check.writable(baseField, baseText)) {
            return;
        }
        const std::optional<qint64> base = kurusOf(baseText);
        if (baseText.isEmpty() || baseText == u".00"_s) {
            m_check.error(baseField, baseText, u"%1 boş (%2)"_s.arg(baseField, quoted(baseText)));
        } else if (!base) {
            m_check.error(baseField, baseText,
                          u"%1 iki ondalıklı sayı olmalı (%2)"_s.arg(baseField, quoted(baseText)));
        } else if (*base < 0) {
            m_check.error(baseField, baseText,
                          u"%1 eksi olamaz (%2)"_s.arg(baseField, quoted(baseText)));
        } else if (*base == 0 && days > 0) {
            m_check.error(baseField, baseText,
                          u"%1 %2 iken %3 0 olamaz (%4)"_s.arg(dayField, dayText, baseField,
                                                               quoted(baseText)));
        } else if (days > 0 && wage && *wage * days - *base * 30 > 30) {
            // more than a kuruş below the wage's share of the days
            const qint64 minimum = (*wage * days + 15) / 30;
            m_check.warning(
                baseField, baseText,
                u"%1 (%2) asgari ücretin %3 günlük tutarından (%4) düşük"_s.arg(
                    baseField, quoted(baseText), QString::number(days), kurusText(minimum)));
        }
        if (days == 0) {
            m_check.warning(dayField, dayText,
                            u"%1 0: öğrenci bu ayın listesinde ama hiç günü yok"_s.arg(dayField));
        }
    }

    void entryAndExit(const std::optional<PeriodDays>& period)
    {
        const QString entry = text(u"girisgun"_s);
        if (!entry.isEmpty()) {
            periodDayRule(u"Giriş Günü"_s, entry, period);
        }
        const QString exit = text(u"cikisgun"_s);
        if (exit.isEmpty()) {
            return;
        }
        periodDayRule(u"Çıkış Günü"_s, exit, period);
        const QString reasonField = u"İşten Çıkış Nedeni"_s;
        const QString reasonCode = text(u"istencikisnedeni"_s);
        if (m_check.writable(reasonField, reasonCode) && reasonCode.trimmed().isEmpty()) {
            m_check.error(reasonField, reasonCode,
                          u"Çıkış günü (%1) var ama işten çıkış nedeni boş"_s.arg(quoted(exit)));
        }
    }

    void internshipEnd(const std::optional<PeriodDays>& period)
    {
        if (!period) {
            return;
        }
        const QString end = shownDateText(m_row.value(u"bitistarihi"_s));
        const QDate date = QDate::fromString(end.left(10), u"dd.MM.yyyy"_s);
        if (date.isValid() && date < period->first) {
            m_check.warning(u"Staj Bitişi"_s, end,
                            u"Staj dönem başlamadan bitmiş (bitiş %1, dönem %2)"_s.arg(
                                end.left(10), period->text()));
        }
    }

    void periodYear(const QString& year) { m_check.writable(u"Dönem Yılı"_s, year); }

private:
    QString text(const QString& column) const { return shownValueText(m_row.value(column)); }
    QString studentName() const
    {
        return printable((text(u"adi"_s).trimmed() + u' ' + text(u"soyadi"_s).trimmed()).trimmed());
    }

    void periodDayRule(const QString& field, const QString& value,
                       const std::optional<PeriodDays>& period)
    {
        if (!m_check.writable(field, value) || !period) {
            return;
        }
        if (!periodDay(value, *period).isValid()) {
            m_check.error(
                field, value,
                u"%1 (%2) dönemin (%3) bir günü değil"_s.arg(field, quoted(value), period->text()));
        }
    }

    const ShownRow& m_row;
    RecordCheck m_check;
};

} // namespace

int CheckResult::errorCount() const
{
    return int(std::count_if(findings.cbegin(), findings.cend(),
                             [](const Finding& f) { return f.severity == Severity::Error; }));
}

int CheckResult::warningCount() const
{
    return int(findings.size()) - errorCount();
}

QString CheckResult::summary() const
{
    return u"%1 hata, %2 uyarı"_s.arg(errorCount()).arg(warningCount());
}

CheckResult checkDeclaration(const DeclarationInput& input, const MinimumWage& wage)
{
    Findings out;
    checkWorkplace(input.workplace, out);
    checkParameters(input.parameters, input.edition, out);

    const std::optional<PeriodDays> period = periodOf(input);
    const std::optional<qint64> monthWage = comparedWage(wage, input.month);
    if (!monthWage && !input.rows.isEmpty()) {
        const QString columns =
            input.month == 12 ? u"au12, au01"_s : u"au%1"_s.arg(input.month, 2, 10, QChar(u'0'));
        RecordCheck(out, 0, {}, u"Temel parametreler"_s)
            .warning(
                u"Asgari Ücret"_s, {},
                u"Ayın asgari ücreti (%1) temel parametrelerde yok; PEK karşılaştırılmadı"_s.arg(
                    columns));
    }

    if (input.month == 12 && wage.month && wage.january) {
        const QString low = core::money::lowJanuaryWageWarning(*wage.month, *wage.january);
        if (!low.isEmpty())
            RecordCheck(out, 0, {}, u"Temel parametreler"_s)
                .warning(u"Asgari Ücret"_s, core::money::plainText(*wage.january), low);
    }

    QHash<QString, int> identities;
    identities.reserve(input.rows.size());
    for (qsizetype i = 0; i < input.rows.size(); ++i) {
        const int number = int(i + 1);
        RowCheck row(input.rows.at(i), number, out);
        if (!row.columnsPresent(i == 0)) {
            continue;
        }
        if (i == 0) {
            row.periodYear(shownValueText(input.rows.at(i).value(u"yil"_s)));
        }
        // in the order the file writes the values
        row.socialSecurityNumber();
        if (const QString tc = row.identity(); !tc.isEmpty()) {
            const auto first = identities.constFind(tc);
            if (first != identities.cend()) {
                row.duplicate(tc, first.value());
            } else {
                identities.insert(tc, number);
            }
        }
        row.names();
        row.daysAndBase(monthWage);
        row.entryAndExit(period);
        row.internshipEnd(period);
    }
    return {std::move(out).take(), int(input.rows.size())};
}

} // namespace zelvo::declaration
