// The check's report to look at: a March with one fault of every kind "Denetle" knows is
// checked, laid out with the bundled template and saved as PDF and as a picture of the preview;
// then the report of a month of many faulty rows is timed.
//
//   declcheck_picture <folder> [rows]

#include "declaration/checkreport.h"
#include "declaration/declarationcheck.h"
#include "report/report.h"
#include "ui/look.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

using namespace zelvo;

using namespace zelvo::declaration;
using namespace Qt::StringLiterals;

namespace {

ShownRow student(int n, const QString& name, const QString& surname, const QString& identity)
{
    return {{u"yil"_s, u"2026"_s},
            {u"ay"_s, 3},
            {u"ogrencino"_s, QString::number(2022101000 + n)},
            {u"adi"_s, name},
            {u"soyadi"_s, surname},
            {u"ilksoyadi"_s, QString()},
            {u"ssksicilno"_s, identity},
            {u"tckimlikno"_s, identity},
            {u"baslangictarihi"_s, u"2026-01-05"_s},
            {u"bitistarihi"_s, u"2026-06-30"_s},
            {u"pek"_s, u"33030"_s},
            {u"gun"_s, 30},
            {u"gun_1"_s, 30},
            {u"girisgun"_s, QString()},
            {u"cikisgun"_s, QString()},
            {u"istencikisnedeni"_s, QString()},
            {u"sil1"_s, u"33030.00"_s}};
}

DeclarationInput faultyMarch()
{
    DeclarationInput in;
    in.workplace.birimadi = u"Kuzey Yıldızı Üniversitesi Mühendislik Fakültesi Dekanlığı"_s;
    in.workplace.isyerisicil = u"2854201011234567006"_s; // two digits short
    in.workplace.kontrolno = u"12"_s;
    in.workplace.isyeriaracino = u"000"_s;
    in.workplace.isyeriadres = u"Cumhuriyet Mah. Üniversite Cad. No:12 Çankaya/ANKARA"_s;
    in.workplace.isyerivergino = u"1234567890"_s;
    in.parameters.belgemahiyet = u"A"_s;
    in.parameters.belgeturu = u"22"_s;
    in.parameters.kanunno = u"5510"_s; // one digit short
    in.month = 3;
    in.yearText = u"2026"_s;
    QList<ShownRow>& rows = in.rows;
    rows << student(1, u"Ahmet"_s, u"Yılmaz"_s, u"25881399814"_s)
         << student(2, u"Işıl"_s, u"Çağlayan"_s, u"7987973099"_s)
         << student(3, u"İbrahim"_s, u"Şahin"_s, u"25881399814"_s)
         << student(4, u"Gülşah"_s, u"Öztürk"_s, u"74556815181"_s)
         << student(5, u"Ömer"_s, u"Ünlü\a"_s, u"98447294052"_s)
         << student(6, u"Ayśe"_s, u"Doğan"_s, u"26897684628"_s)
         << student(7, u"Zeynep"_s, u"Kılıç"_s, u"88809320840"_s)
         << student(8, u"Mehmet Çağrı"_s, u"Aydın"_s, u"29672731760"_s)
         << student(9, u"Elif"_s, u"Şimşek"_s, u"88486488734"_s)
         << student(10, u"Uğur"_s, u"Koç"_s, u"76344002994"_s)
         << student(11, u"Can"_s, u"Erdoğan"_s, u"88753477874"_s)
         << student(12, u"Gökçe"_s, u""_s, u"86804571762"_s);
    rows[6][u"gun"_s] = 31;
    rows[7][u"sil1"_s] = u"0.00"_s;
    rows[8][u"cikisgun"_s] = u"0304"_s;
    rows[9][u"girisgun"_s] = u"1403"_s;
    rows[10][u"sil1"_s] = u"800.00"_s;
    rows[0][u"gun"_s] = 0;
    rows[0][u"sil1"_s] = u"0.00"_s;
    rows[1][u"bitistarihi"_s] = u"2026-03-10"_s;
    return in;
}

bool saveReport(const report::PreparedReport& prepared, const QString& folder)
{
    QString error;
    if (!prepared.exportPdf(folder + u"/denetim.pdf"_s, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    report::PreviewDialog preview(prepared);
    preview.resize(1280, 900);
    preview.show();
    preview.fitWidth();
    QApplication::processEvents();
    return preview.grab().save(folder + u"/denetim-preview.png"_s);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: declcheck_picture <folder> [rows]\n");
        return 2;
    }
    ui::look::installFontSubstitutions();
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    QTemporaryDir templates;
    const QString path = checkTemplatePath(templates.path());
    const report::RenderOptions options{QDateTime(QDate(2026, 4, 2), QTime(10, 30)), {}};

    const DeclarationInput march = faultyMarch();
    const CheckResult result = checkDeclaration(march, {3303000, {}});
    for (const Finding& f : result.findings) {
        std::printf("%s %d %s | %s | %s\n", f.severity == Severity::Error ? "HATA " : "UYARI",
                    f.row, qPrintable(f.field), qPrintable(f.value), qPrintable(f.reason));
    }
    std::printf("%s\n", qPrintable(result.summary()));
    const report::PreparedReport prepared = report::prepareReport(
        path, checkReportData(result, march.workplace, march.yearText, march.month, march.edition),
        options);
    if (!saveReport(prepared, folder)) {
        return 1;
    }

    // Many faulty rows: every identity number one digit short.
    const int count = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 10000;
    DeclarationInput many = march;
    many.rows.clear();
    for (int i = 0; i < count; ++i) {
        many.rows << student(i, u"Ayşe"_s, u"Yılmaz"_s, QString::number(1000000000 + i));
    }
    QElapsedTimer timer;
    timer.start();
    const CheckResult manyResult = checkDeclaration(many, {3303000, {}});
    const qint64 checkMs = timer.restart();
    const report::PreparedReport manyReport = report::prepareReport(
        path, checkReportData(manyResult, many.workplace, many.yearText, many.month, many.edition),
        options);
    std::printf("%d rows: check %lld ms, report of %s laid out in %lld ms on %d pages\n", count,
                checkMs, qPrintable(manyResult.summary()), timer.elapsed(), manyReport.pageCount());
    return 0;
}
