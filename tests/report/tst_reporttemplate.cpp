#include "report/render.h"
#include "report/template.h"
#include "report/templatemodel.h"
#include "report/templates.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace zelvo;

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
    void deepNestingIsRefusedNotACrash_data();
    void deepNestingIsRefusedNotACrash();
    void fileIsReadAsUtf8OrWindows1254_data();
    void fileIsReadAsUtf8OrWindows1254();
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

    // Qt reads "nan" and "inf" as numbers; a template may not.
    QTest::newRow("nan width") << head + u"  text x=0 w=nan \"a\""_s << 3 << 14 << u"nan"_s;
    QTest::newRow("signed inf position")
        << head + u"  text x=+Inf w=5 \"a\""_s << 3 << 10 << u"+Inf"_s;
    QTest::newRow("inf band height") << u"band detail height=inf"_s << 1 << 20 << u"inf"_s;
    QTest::newRow("nan pen") << head + u"  line x1=0 y1=1 pen=NaN"_s << 3 << 22 << u"NaN"_s;
    QTest::newRow("-inf margin") << u"report margins=1,-inf,1,1"_s << 1 << 16 << u"kenar"_s;
    QTest::newRow("nan page side") << u"report page=NANx100"_s << 1 << 13 << u"NANx100"_s;
    QTest::newRow("page too large") << u"report page=2001x297"_s << 1 << 13 << u"2000"_s;
    QTest::newRow("font too large")
        << head + u"  text x=0 w=5 size=401 \"a\""_s << 3 << 21 << u"400"_s;
    // Without h= a text fills the rest of its band; below the band there is no rest.
    QTest::newRow("text starting below the band")
        << head + u"  text x=0 y=8 w=5 \"a\""_s << 3 << 3 << u"x=0 y=8 w=5 h=0 mm"_s;
    QTest::newRow("rect starting below the band")
        << head + u"  rect x=2 y=6.5 w=5"_s << 3 << 3 << u"y=6.5"_s;
    QTest::newRow("line below the band")
        << head + u"  line x1=0 y1=7 x2=10"_s << 3 << 3 << u"x1=0 y1=7 x2=10 y2=7 mm"_s;
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

void TestReportTemplate::deepNestingIsRefusedNotACrash_data()
{
    QTest::addColumn<int>("calls");
    const int limit = Template::kMaxCallNesting;
    QTest::newRow("one") << 1;
    QTest::newRow("limit") << limit;
    QTest::newRow("one over") << limit + 1;
    QTest::newRow("twenty thousand") << 20000;
}

void TestReportTemplate::deepNestingIsRefusedNotACrash()
{
    QFETCH(int, calls);
    const QString prefix = u"band title height=6\n  text x=0 w=20 \"["_s;
    const QString text =
        prefix + u"upper("_s.repeated(calls) + u"ad"_s + u")"_s.repeated(calls) + u"]\""_s;
    const auto parsed = Template::parse(text, u"derin.frf"_s);
    if (calls > Template::kMaxCallNesting) {
        QVERIFY(!parsed);
        // At the first call beyond the limit.
        const int firstCall = int(prefix.size() - prefix.lastIndexOf(u'\n'));
        QCOMPARE(parsed.error().line, 2);
        QCOMPARE(parsed.error().column, firstCall + Template::kMaxCallNesting * 6);
        QVERIFY2(parsed.error().message.contains(QString::number(Template::kMaxCallNesting)),
                 qPrintable(parsed.error().message));
        return;
    }
    QVERIFY2(parsed, qPrintable(parsed ? QString() : parsed.error().toString()));
    report::ReportData data;
    data.setVariable(u"ad"_s, u"Işık"_s);
    const auto prepared = report::render(*parsed, data);
    QVERIFY2(prepared, qPrintable(prepared ? QString() : prepared.error().toString()));
    QCOMPARE(prepared->pageTexts(0), QStringList{u"IŞIK"_s});
}

void TestReportTemplate::fileIsReadAsUtf8OrWindows1254_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("title"); // the title read; empty when the file is refused
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("messagePart");

    const QString turkish = u"Işık ĞİŞ ğış ÖÜÇ öüç"_s;
    const QByteArray cp1254("I\xFE\xFDk \xD0\xDD\xDE \xF0\xFD\xFE \xD6\xDC\xC7 \xF6\xFC\xE7");
    const QByteArray head("# ba\xFEl\xFDk\nband title height=10\n  text x=0 w=90 \"");
    const auto file = [](const QByteArray& start, const QByteArray& title) {
        return start + title + QByteArray("\"\r\n");
    };
    QTest::newRow("utf-8") << file(head.left(2) + "\n" + head.mid(9), turkish.toUtf8()) << turkish
                           << 0 << 0 << QString();
    QTest::newRow("utf-8 with byte order mark")
        << file("\xEF\xBB\xBF" + head.mid(9), turkish.toUtf8()) << turkish << 0 << 0 << QString();
    QTest::newRow("windows-1254") << file(head, cp1254) << turkish << 0 << 0 << QString();
    QTest::newRow("windows-1254, one letter")
        << file(head, "Ba\xFEl\xFDk") << u"Başlık"_s << 0 << 0 << QString();
    // 0x81 has no character in Windows-1254.
    QTest::newRow("neither") << file(head, "ab\x81") << QString() << 3 << 20 << u"0x81"_s;
    QTest::newRow("marked utf-8 that is not")
        << file("\xEF\xBB\xBF" + head.mid(9), "ab" + cp1254) << QString() << 2 << 21 << u"UTF-8"_s;
}

void TestReportTemplate::fileIsReadAsUtf8OrWindows1254()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, title);
    QFETCH(int, line);
    QFETCH(int, column);
    QFETCH(QString, messagePart);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"liste1.frf"_s);
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    out.close();

    const auto loaded = Template::load(path);
    if (title.isEmpty()) {
        QVERIFY(!loaded);
        QCOMPARE(loaded.error().line, line);
        QCOMPARE(loaded.error().column, column);
        QVERIFY2(loaded.error().message.contains(messagePart), qPrintable(loaded.error().message));
        QVERIFY(loaded.error().toString().startsWith(u"liste1.frf, satır %1"_s.arg(line)));
        return;
    }
    QVERIFY2(loaded, qPrintable(loaded ? QString() : loaded.error().toString()));
    const auto& band = loaded->model().band(BandType::Title);
    QVERIFY(band);
    QCOMPARE(band->items.first().segments.first().literal, title);
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
