// Writes the declaration XML and the information CSV for 10,000 shown rows into a temporary
// folder, checks the same rows as "Denetle" does (once as they are, with identity numbers that
// fail their check digits, once with valid ones) and prints the time each step takes and the
// peak memory of the process.
//
//   bench_declaration [rows]
#include "declaration/declarationcheck.h"
#include "declaration/declarationinput.h"
#include "declaration/declarationxml.h"
#include "declaration/infocsv.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

using namespace zelvo;

using namespace zelvo::declaration;
using namespace Qt::StringLiterals;

namespace {

long peakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss; // KiB on Linux
}

QList<ShownRow> makeRows(int count)
{
    static const QString names[] = {u"Ayşe"_s,   u"Çağrı"_s, u"İsmail"_s, u"Gülşen"_s,
                                    u"Mehmet"_s, u"Öykü"_s,  u"Şükrü"_s,  u"Ali"_s};
    static const QString surnames[] = {u"Yılmaz"_s, u"Öztürk"_s, u"Işık"_s, u"Kaya"_s,
                                       u"Çelik"_s,  u"Şahin"_s,  u"Doğan"_s};
    const QDate start(2012, 2, 1);
    QList<ShownRow> rows;
    rows.reserve(count);
    for (int i = 0; i < count; ++i) {
        const bool entering = i % 7 == 0;
        const bool leaving = i % 11 == 0;
        rows.append(ShownRow{
            {u"yil"_s, u"2012"_s},
            {u"ay"_s, 3},
            {u"ogrencino"_s, QString::number(20080000 + i)},
            {u"adi"_s, names[i % 8]},
            {u"soyadi"_s, surnames[i % 7]},
            {u"ilksoyadi"_s, i % 5 == 0 ? surnames[(i + 3) % 7] : QString()},
            {u"ssksicilno"_s, QString::number(1000000000LL + i * 7LL)},
            {u"tckimlikno"_s, QString::number(10000000000LL + i * 13LL)},
            {u"baslangictarihi"_s, entering ? QDate(2012, 3, 20) : start},
            {u"bitistarihi"_s,
             (leaving ? QDate(2012, 4, 3) : QDate(2012, 6, 30)).toString(Qt::ISODate)},
            {u"pek"_s, u"886,5"_s},
            {u"gun"_s, entering ? 26 : 30},
            {u"gun_1"_s, entering ? 26 : 30},
            {u"girisgun"_s, entering ? u"2003"_s : QString()},
            {u"cikisgun"_s, leaving ? u"0304"_s : QString()},
            {u"istencikisnedeni"_s, leaving ? u"04"_s : QString()},
            {u"sil1"_s, u"886.50"_s},
            {u"stajili"_s, u"Adana"_s},
            {u"stajyeri"_s, u"Çukurova Üniversitesi Balcalı Hastanesi"_s},
        });
    }
    return rows;
}

// A valid identity number: nine digits and the two check digits.
QString validIdentity(int i)
{
    QString d = QString::number(100000000 + i);
    const auto at = [&](int k) { return d.at(k).digitValue(); };
    const int tenth =
        (((at(0) + at(2) + at(4) + at(6) + at(8)) * 7 - (at(1) + at(3) + at(5) + at(7))) % 10 +
         10) %
        10;
    d += QString::number(tenth);
    int sum = 0;
    for (int k = 0; k < 10; ++k) {
        sum += at(k);
    }
    return d + QString::number(sum % 10);
}

// The best of three runs of the check, in microseconds.
qint64 timeCheck(const DeclarationInput& in, const MinimumWage& wage, CheckResult& result)
{
    qint64 best = -1;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer timer;
        timer.start();
        result = checkDeclaration(in, wage);
        const qint64 us = timer.nsecsElapsed() / 1000;
        best = best < 0 ? us : std::min(best, us);
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10000;
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    std::printf("peak memory at start: %ld KiB\n", peakKiB());

    QElapsedTimer timer;
    timer.start();
    DeclarationInput in;
    in.workplace.birimadi = u"ÇUKUROVA ÜNİVERSİTESİ MÜHENDİSLİK FAKÜLTESİ"_s;
    in.workplace.isyerisicil = u"1234567890"_s;
    in.workplace.kontrolno = u"7"_s;
    in.workplace.isyeriaracino = u"000"_s;
    in.workplace.isyeriadres = u"Balcalı Mah. Sarıçam/ADANA"_s;
    in.workplace.isyerivergino = u"1234567890"_s;
    in.parameters.belgemahiyet = u"A"_s;
    in.parameters.belgeturu = u"7"_s;
    in.parameters.belgeturuyab = u"25"_s;
    in.parameters.kanunno = u"05510"_s;
    in.month = 3;
    in.yearText = u"2012"_s;
    in.rows = makeRows(count);
    const qint64 rowsMs = timer.restart();
    const long rowsPeak = peakKiB();

    const QString xmlPath = dir.filePath(u"12-xml-03.xml"_s);
    const QString xmlError = writeDeclarationXml(xmlPath, in);
    const qint64 xmlMs = timer.restart();

    const QString csvPath = dir.filePath(u"bilgiamacliDOSYA-03.csv"_s);
    const QString csvError = writeInfoCsv(csvPath, in);
    const qint64 csvMs = timer.restart();

    // a wage of 886.50 keeps the rows' premium base of 886.50 above the warning line
    const MinimumWage wage{88650, 88650};
    CheckResult asGiven;
    const qint64 checkUs = timeCheck(in, wage, asGiven);
    DeclarationInput valid = in;
    valid.workplace.isyerisicil = u"285420101123456700601"_s;
    valid.workplace.kontrolno = u"12"_s;
    valid.parameters.belgeturu = u"22"_s;
    for (qsizetype i = 0; i < valid.rows.size(); ++i) {
        valid.rows[i][u"tckimlikno"_s] = validIdentity(int(i));
    }
    CheckResult clean;
    const qint64 cleanUs = timeCheck(valid, wage, clean);

    if (!xmlError.isEmpty() || !csvError.isEmpty()) {
        std::fprintf(stderr, "%s%s\n", qPrintable(xmlError), qPrintable(csvError));
        return 1;
    }
    std::printf("rows: %d (built in %lld ms, peak memory then %ld KiB)\n", count, rowsMs, rowsPeak);
    std::printf("XML: %lld ms, %lld bytes\n", xmlMs, QFileInfo(xmlPath).size());
    std::printf("CSV: %lld ms, %lld bytes\n", csvMs, QFileInfo(csvPath).size());
    std::printf("both files: %lld ms\n", xmlMs + csvMs);
    std::printf("check, rows as given: %.1f ms (%s)\n", checkUs / 1000.0,
                qPrintable(asGiven.summary()));
    std::printf("check, valid identity numbers: %.1f ms (%s)\n", cleanUs / 1000.0,
                qPrintable(clean.summary()));
    std::printf("peak memory: %ld KiB\n", peakKiB());
    return 0;
}
