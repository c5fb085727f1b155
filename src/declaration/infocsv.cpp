#include "declaration/infocsv.h"

#include "declaration/cp1254.h"
#include "declaration/writerhelpers_p.h"

#include "core/error.h"
#include "core/period.h"

using namespace Qt::StringLiterals;

namespace zelvo::declaration {

namespace {

bool needsQuotes(const QString& field)
{
    for (QChar c : field) {
        if (c == u';' || c == u'"' || c == u'\r' || c == u'\n') {
            return true;
        }
    }
    return false;
}

QString csvField(const QString& field)
{
    if (!needsQuotes(field)) {
        return field;
    }
    QString quoted = field;
    quoted.replace(u'"', u"\"\""_s);
    return u'"' + quoted + u'"';
}

// "DDMM" as "DD-MM-YYYY" with the year the day falls in; empty when there is no day.
QString dayWithYear(const QString& dayMonth, const core::Period& period)
{
    if (dayMonth.isEmpty()) {
        return {};
    }
    const QString month = dayMonth.mid(2, 2);
    return dayMonth.left(2) + u'-' + month + u'-' + period.yearOfMonth(month.toInt());
}

} // namespace

FileBytes buildInfoCsv(const DeclarationInput& input)
{
    if (!cp1254Available()) {
        return {{}, detail::codePageMissingError()};
    }
    const bool withPlace = input.edition == Edition::Standard;

    Cp1254Buffer out;
    out.reserve(256 + input.rows.size() * 200);

    // The titles hold none of the characters that need quotes, and all of them fit.
    static const QString titles[] = {
        u"Sıra No"_s,
        u"Yıl"_s,
        u"Ay"_s,
        u"Öğrenci No"_s,
        u"Adı"_s,
        u"Soyadı"_s,
        u"Sosyal Güvenlik No"_s,
        u"T.C. Kimlik No"_s,
        u"Staj Başlangıcı"_s,
        u"Staj Bitişi"_s,
        u"Aya Ait Gün"_s,
        u"Varsa GİRİŞ GÜNÜ"_s,
        u"Varsa ÇIKIŞ GÜNÜ"_s,
        u"Staj İli"_s,
        u"Staj Yeri"_s,
    };
    const int columnCount = withPlace ? 15 : 13;
    for (int i = 0; i < columnCount; ++i) {
        out.appendText(titles[i]);
        out.appendAscii(';');
    }
    out.appendLineEnd();

    // The year box is written only into entry and exit dates.
    const core::Period period(input.yearText, input.month);
    const bool yearFits = unwritableReason(input.yearText, out.charset()).isEmpty();

    const QString cYil = u"yil"_s, cAy = u"ay"_s, cNo = u"ogrencino"_s, cAdi = u"adi"_s,
                  cSoyadi = u"soyadi"_s, cSicil = u"ssksicilno"_s, cTc = u"tckimlikno"_s,
                  cBas = u"baslangictarihi"_s, cBit = u"bitistarihi"_s, cGun = u"gun"_s,
                  cGiris = u"girisgun"_s, cCikis = u"cikisgun"_s, cIl = u"stajili"_s,
                  cYer = u"stajyeri"_s;
    for (qsizetype i = 0; i < input.rows.size(); ++i) {
        detail::RowReader row(input.rows.at(i), i + 1);
        const auto field = [&](const QString& column, const QString& value) {
            row.append(out, csvField(value), column);
            out.appendAscii(';');
        };
        out.appendText(QString::number(i + 1));
        out.appendAscii(';');
        field(cYil, row.text(cYil));
        field(cAy, row.text(cAy));
        field(cNo, row.text(cNo));
        field(cAdi, row.text(cAdi));
        field(cSoyadi, row.text(cSoyadi));
        field(cSicil, row.text(cSicil));
        field(cTc, row.text(cTc));
        field(cBas, row.dateText(cBas));
        field(cBit, row.dateText(cBit));
        field(cGun, row.text(cGun));
        QString entry, exit;
        try {
            entry = dayWithYear(row.text(cGiris), period);
            exit = dayWithYear(row.text(cCikis), period);
        } catch (const core::Error&) {
            // A January day of December needs the year box as a number to name the next year.
            return {{}, detail::yearBoxNumberError(input.yearText)};
        }
        if (!yearFits && (!entry.isEmpty() || !exit.isEmpty())) {
            return {{}, detail::yearBoxValueError(input.yearText, out.charset())};
        }
        field(cGiris, entry);
        field(cCikis, exit);
        if (withPlace) {
            field(cIl, row.text(cIl));
            field(cYer, row.text(cYer));
        }
        out.appendAscii(';');
        out.appendLineEnd();
        if (row.failed()) {
            return {{}, row.error()};
        }
    }
    return {std::move(out).bytes(), {}};
}

QString writeInfoCsv(const QString& path, const DeclarationInput& input)
{
    return detail::writeBuiltFile(path, buildInfoCsv(input));
}

QString proposedCsvFileName(const QString& monthText, Edition edition)
{
    return detail::proposedMonthFileName(u"bilgiamacliDOSYA-"_s, monthText, u".csv"_s, edition);
}

} // namespace zelvo::declaration
