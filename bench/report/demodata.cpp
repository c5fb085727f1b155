#include "demodata.h"

#include <QDate>
#include <QStringList>

#include <array>

using namespace zelvo;

using namespace Qt::StringLiterals;

namespace zelvo::report::demo {

namespace {

const std::array<QString, 20> kFirstNames = {
    u"Ayşe"_s,    u"Mehmet"_s, u"Zeynep"_s, u"Mustafa"_s, u"Elif"_s,    u"Ahmet"_s,  u"Şule"_s,
    u"İbrahim"_s, u"Çağla"_s,  u"Ömer"_s,   u"Gülşen"_s,  u"Hüseyin"_s, u"Özge"_s,   u"İsmail"_s,
    u"Büşra"_s,   u"Uğur"_s,   u"Merve"_s,  u"Yusuf"_s,   u"Ebru"_s,    u"Doğukan"_s};
const std::array<QString, 20> kLastNames = {
    u"Yılmaz"_s, u"Kaya"_s,   u"Demir"_s, u"Şahin"_s,   u"Çelik"_s,
    u"Yıldız"_s, u"Öztürk"_s, u"Aydın"_s, u"Özdemir"_s, u"Arslan"_s,
    u"Doğan"_s,  u"Kılıç"_s,  u"Aslan"_s, u"Çetin"_s,   u"Kara"_s,
    u"Koç"_s,    u"Kurt"_s,   u"Özkan"_s, u"Şimşek"_s,  u"Karaağaçlıoğlu"_s};

QString money(qint64 kurus)
{
    return u"%1.%2"_s.arg(kurus / 100).arg(kurus % 100, 2, 10, QLatin1Char('0'));
}

} // namespace

ReportData listData(int rows, int year, int month, bool gss)
{
    const QDate periodStart(year, month, 15);
    QList<QVariantHash> list;
    list.reserve(rows);
    quint32 seed = 12345;
    const auto next = [&seed](quint32 n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % n;
    };
    const qint64 dailyWage = 66675; // kuruş a day
    for (int i = 0; i < rows; ++i) {
        const QDate start = periodStart.addDays(-int(next(40)));
        const QDate end = start.addDays(20 + int(next(60)));
        const int days = int(std::min<qint64>(30, std::max<qint64>(1, start.daysTo(end) / 2 + 1)));
        const qint64 earnings = dailyWage * days;
        const qint64 employer = (earnings * 5 + 50) / 100; // 5 %
        const qint64 employee = (earnings * 1 + 50) / 100; // 1 %
        QVariantHash row;
        row[u"yil"_s] = QString::number(year);
        row[u"ay"_s] = month;
        row[u"ogrencino"_s] =
            u"%1"_s.arg(210100000 + i * 7 + int(next(5)), 9, 10, QLatin1Char('0'));
        row[u"adi"_s] = kFirstNames[next(kFirstNames.size())];
        row[u"soyadi"_s] = kLastNames[next(kLastNames.size())];
        row[u"ssksicilno"_s] = u"%1"_s.arg(qulonglong(next(90000000)) + 10000000u);
        row[u"tckimlikno"_s] = u"%1%2"_s.arg(10000 + next(89999)).arg(100000 + next(899999));
        row[u"baslangictarihi"_s] = start.toString(Qt::ISODate);
        row[u"bitistarihi"_s] = end.toString(Qt::ISODate);
        row[u"gun"_s] = days;
        row[u"kazanc"_s] = money(earnings);
        row[u"matrah"_s] = money(earnings);
        row[u"isveren"_s] = money(employer);
        row[u"isci"_s] = money(employee);
        row[u"idogrenci"_s] = 1000 + i;
        list.append(row);
    }
    ReportData data = ReportData::fromRows(list);
    data.setRecord(u"isyeri"_s, {{u"idisyeri"_s, 1},
                                 {u"birimkodu"_s, u"07"_s},
                                 {u"birimadi"_s, u"Teknik Bilimler Meslek Yüksekokulu"_s},
                                 {u"isyerisicil"_s, u"2 8599 01 01 1234567 006 12 34"_s},
                                 {u"kontrolno"_s, u"56"_s},
                                 {u"isyeriaracino"_s, u"000"_s},
                                 {u"isyeriunvani"_s, u"Örnek Üniversitesi Rektörlüğü"_s},
                                 {u"isyeriadres"_s,
                                  u"Kampüs Mah. Üniversite Cad. No: 12, 06800 Çankaya / Ankara"_s},
                                 {u"isyerivergino"_s, u"1234567890"_s},
                                 {u"vergidairesi"_s, u"Kavaklıdere"_s}});
    data.setRecord(u"parametre"_s, {{u"aktifyil"_s, QString::number(year)}});
    data.setVariable(u"yil"_s, QString::number(year));
    data.setVariable(u"ay"_s, month);
    // Both printed lists print it in their title; the list windows leave it empty for the
    // standard edition.
    data.setVariable(u"sigorta"_s, gss ? u" - GENEL SAĞLIK SİGORTASI"_s : QString());
    return data;
}

} // namespace zelvo::report::demo
