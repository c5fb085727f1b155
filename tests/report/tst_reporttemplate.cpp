#include "template.h"
#include "templatemodel.h"
#include "templates.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using report::Template;
using report::detail::BandType;
using report::detail::Item;

class TestReportTemplate : public QObject {
    Q_OBJECT
private slots:
    void parsesAllParts();
    void bundledTemplatesParse_data();
    void bundledTemplatesParse();
    void brokenTemplateIsRejectedWithLineAndColumn_data();
    void brokenTemplateIsRejectedWithLineAndColumn();
    void missingFileIsReported();
    void bundledTemplatesAreCopiedOnlyWhenMissing();
};

void TestReportTemplate::parsesAllParts()
{
    const QString text = uR"(# Deneme
report name="Deneme" page=A5 orientation=landscape margins=5,6,7,8 font="DejaVu Sans" size=8 locale=tr_TR

band title height=20
  text x=0 y=0 w=100 h=10 size=14 bold align=center "Başlık [[sabit]"
band detail height=5 alternate=#eeeeee
  text x=0 w=30 format="##,##0.00 " frame pen=0.1 "[kazanc] / [isyeri.birimadi:DD] \"tırnak\""
  line x1=0 y1=5 x2=100 pen=0.2
  rect x=100 y=0 w=20 h=5 fill=#ff0000
band pagefooter height=6 skipfirst
  text x=0 w=50 align=right valign=bottom wrap italic "Sayfa [page] / [pages] [sum(kazanc, isci):0.00]"
)"_s;
    const auto parsed = Template::parse(text, u"deneme.frf"_s);
    QVERIFY2(parsed, qPrintable(parsed ? QString() : parsed.error().toString()));
    const report::detail::TemplateModel& m = parsed->model();
    QCOMPARE(parsed->name(), u"Deneme"_s);
    QCOMPARE(m.pageSize.id(), QPageSize::A5);
    QCOMPARE(m.orientation, QPageLayout::Landscape);
    QCOMPARE(m.margins, QMarginsF(5, 6, 7, 8));
    QCOMPARE(m.font.pointSize, 8.0);
    QCOMPARE(m.locale->language(), QLocale::Turkish);
    QCOMPARE(m.pageSizeMm().toSize(), QSize(210, 148));

    const auto& title = m.band(BandType::Title);
    QVERIFY(title);
    QCOMPARE(title->height, 20.0);
    const Item& heading = title->items.first();
    QVERIFY(heading.font.bold);
    QCOMPARE(heading.font.pointSize, 14.0);
    QCOMPARE(heading.alignment, Qt::AlignHCenter | Qt::AlignVCenter);
    QCOMPARE(heading.segments.size(), 1);
    QCOMPARE(heading.segments.first().literal, u"Başlık [sabit]"_s);

    const auto& detail = m.band(BandType::Detail);
    QVERIFY(detail);
    QCOMPARE(detail->alternateFill, QColor(u"#eeeeee"_s));
    QCOMPARE(detail->items.size(), 3);
    const Item& amount = detail->items[0];
    QCOMPARE(amount.rect, QRectF(0, 0, 30, 5)); // height defaults to the band's
    QVERIFY(amount.frame);
    QCOMPARE(amount.format.pattern(), u"##,##0.00 "_s);
    QCOMPARE(amount.segments.size(), 4);
    QCOMPARE(amount.segments[0].expr->name, u"kazanc"_s);
    QCOMPARE(amount.segments[2].expr->record, u"isyeri"_s);
    QCOMPARE(amount.segments[2].format.kind(), report::DisplayFormat::Kind::Date);
    QCOMPARE(amount.segments[3].literal, u" \"tırnak\""_s);
    QCOMPARE(detail->items[1].kind, Item::Kind::Line);
    QCOMPARE(detail->items[1].line, QLineF(0, 5, 100, 5));
    QCOMPARE(detail->items[2].fill, QColor(Qt::red));

    const auto& footer = m.band(BandType::PageFooter);
    QVERIFY(footer->skipFirstPage);
    const Item& pageText = footer->items.first();
    QVERIFY(pageText.wrap);
    QVERIFY(pageText.font.italic);
    QCOMPARE(pageText.alignment, Qt::AlignRight | Qt::AlignBottom);
    const auto& sum = *pageText.segments[5].expr;
    QCOMPARE(sum.name, u"sum"_s);
    QCOMPARE(sum.args.size(), 2);
    QCOMPARE(sum.args[1].name, u"isci"_s);
    QCOMPARE(pageText.segments[5].format.pattern(), u"0.00"_s);
    QVERIFY(!m.band(BandType::Summary));
}

void TestReportTemplate::bundledTemplatesParse_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QPageLayout::Orientation>("orientation");
    QTest::newRow("liste1 resource") << u":/reports/liste1.frf"_s << QPageLayout::Landscape;
    QTest::newRow("liste2 resource") << u":/reports/liste2.frf"_s << QPageLayout::Portrait;
    QTest::newRow("liste1 source")
        << QStringLiteral(ZELVO_SOURCE_DIR "/reports/liste1.frf") << QPageLayout::Landscape;
    QTest::newRow("liste2 source")
        << QStringLiteral(ZELVO_SOURCE_DIR "/reports/liste2.frf") << QPageLayout::Portrait;
}

void TestReportTemplate::bundledTemplatesParse()
{
    QFETCH(QString, path);
    QFETCH(QPageLayout::Orientation, orientation);
    report::bundledTemplates(); // registers the resources
    const auto parsed = Template::load(path);
    QVERIFY2(parsed, qPrintable(parsed ? QString() : parsed.error().toString()));
    QCOMPARE(parsed->model().pageSize.id(), QPageSize::A4);
    QCOMPARE(parsed->model().orientation, orientation);
    QVERIFY(parsed->model().band(BandType::PageFooter));
    QVERIFY(parsed->model().band(BandType::Summary));
}

void TestReportTemplate::brokenTemplateIsRejectedWithLineAndColumn_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("messagePart");

    const QString head = u"report page=A4\nband detail height=6\n"_s; // lines 1 and 2
    QTest::newRow("unknown command") << head + u"  txt x=0 w=5 \"a\""_s << 3 << 3 << u"txt"_s;
    QTest::newRow("unclosed field")
        << head + u"  text x=0 w=20 \"No: [ogrencino\""_s << 3 << 22 << u"["_s;
    QTest::newRow("unclosed quote") << head + u"  text x=0 w=20 \"abc"_s << 3 << 17 << u"tırnak"_s;
    QTest::newRow("bad number") << head + u"  text x=0 w=2o \"a\""_s << 3 << 14 << u"2o"_s;
    QTest::newRow("unknown attribute")
        << head + u"  text x=0 w=5 colour=red \"a\""_s << 3 << 16 << u"colour"_s;
    QTest::newRow("unknown function")
        << head + u"  text x=0 w=20 \"[avg(kazanc)]\""_s << 3 << 19 << u"avg"_s;
    QTest::newRow("sum of a record field")
        << head + u"  text x=0 w=20 \"[sum(a, isyeri.x)]\""_s << 3 << 26 << u"sütun"_s;
    QTest::newRow("bad format in field")
        << head + u"  text x=0 w=20 \"[kazanc:#.0.0]\""_s << 3 << 29 << u"ondalık"_s;
    QTest::newRow("item below the band")
        << head + u"  text x=0 y=4 w=5 h=3 \"a\""_s << 3 << 3 << u"taşıyor"_s;
    QTest::newRow("item right of the page")
        << head + u"  rect x=150 y=0 w=45 h=3"_s << 3 << 3 << u"taşıyor"_s;
    QTest::newRow("item outside a band")
        << u"report page=A4\n  text x=0 w=5 \"a\""_s << 2 << 3 << u"band"_s;
    QTest::newRow("second detail band")
        << head + u"band detail height=5"_s << 3 << 6 << u"ikinci"_s;
    QTest::newRow("band too tall")
        << u"report page=A4 margins=10\nband title height=200\nband pagefooter height=90"_s << 2
        << 1 << u"sığmıyor"_s;
    QTest::newRow("band without height") << u"band summary"_s << 1 << 1 << u"height"_s;
    QTest::newRow("page size") << u"report page=B7"_s << 1 << 13 << u"B7"_s;
    QTest::newRow("text missing") << head + u"  text x=0 w=5"_s << 3 << 3 << u"metin"_s;
    QTest::newRow("tab before error") << head + u"\ttext x=0 w=5 \"[a+b]\""_s << 3 << 18 << u"+"_s;
}

void TestReportTemplate::brokenTemplateIsRejectedWithLineAndColumn()
{
    QFETCH(QString, text);
    QFETCH(int, line);
    QFETCH(int, column);
    QFETCH(QString, messagePart);
    const auto parsed = Template::parse(text, u"bozuk.frf"_s);
    QVERIFY(!parsed);
    const report::ReportError& e = parsed.error();
    QCOMPARE(e.line, line);
    QCOMPARE(e.column, column);
    QVERIFY2(e.message.contains(messagePart), qPrintable(e.message));
    QVERIFY(e.toString().startsWith(u"bozuk.frf, satır %1, sütun %2: "_s.arg(line).arg(column)));
}

void TestReportTemplate::missingFileIsReported()
{
    const auto parsed = Template::load(u"/olmayan/klasor/liste1.frf"_s);
    QVERIFY(!parsed);
    QCOMPARE(parsed.error().line, 0);
    QCOMPARE(parsed.error().fileName, u"/olmayan/klasor/liste1.frf"_s);
    QVERIFY(parsed.error().toString().contains(u"bulunamadı"_s));
}

void TestReportTemplate::bundledTemplatesAreCopiedOnlyWhenMissing()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.path() + u"/sablonlar"_s;
    {
        QDir().mkpath(folder);
        QFile own(folder + u"/liste2.frf"_s);
        QVERIFY(own.open(QIODevice::WriteOnly));
        own.write("# kullanicinin kendi sablonu\n");
    }
    QStringList errors;
    QCOMPARE(report::ensureBundledTemplates(folder, &errors), QStringList{u"liste1.frf"_s});
    QVERIFY(errors.isEmpty());
    QFile copied(folder + u"/liste1.frf"_s);
    QVERIFY(copied.open(QIODevice::ReadOnly | QIODevice::ReadWrite));
    QFile resource(u":/reports/liste1.frf"_s);
    QVERIFY(resource.open(QIODevice::ReadOnly));
    QCOMPARE(copied.readAll(), resource.readAll());
    QFile own(folder + u"/liste2.frf"_s);
    QVERIFY(own.open(QIODevice::ReadOnly));
    QCOMPARE(own.readAll(), QByteArray("# kullanicinin kendi sablonu\n"));
    QVERIFY(report::ensureBundledTemplates(folder).isEmpty());

    QStandardPaths::setTestModeEnabled(true); // keep the user's own folders out of it
    const QString standard = report::templateFolder();
#ifdef Q_OS_WIN
    QCOMPARE(standard, u"c:\\zelvo\\"_s);
#else
    QVERIFY(standard.endsWith(u"/templates/"_s));
    QVERIFY(QFileInfo(standard).isDir());
#endif
}

QTEST_GUILESS_MAIN(TestReportTemplate)
#include "tst_reporttemplate.moc"
