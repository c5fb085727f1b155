// Reading dates as staff type them into date boxes and grid cells.

#include "controls/dateinput.h"

#include <QTest>

using namespace zelvo;

using controls::DateInput;

class TstDateInput : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsTypedDates_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QDate>("date");
        const int empty = int(DateInput::Kind::Empty);
        const int date = int(DateInput::Kind::Date);
        const int unreadable = int(DateInput::Kind::Unreadable);
        const QDate march1(2026, 3, 1);
        QTest::newRow("points") << "01.03.2026" << date << march1;
        QTest::newRow("dashes") << "01-03-2026" << date << march1;
        QTest::newRow("slashes") << "01/03/2026" << date << march1;
        QTest::newRow("eight digits") << "01032026" << date << march1;
        QTest::newRow("one-digit day and month") << "1.3.2026" << date << march1;
        QTest::newRow("blanks around") << "  31-12-2026 " << date << QDate(2026, 12, 31);
        QTest::newRow("leap day") << "29.02.2024" << date << QDate(2024, 2, 29);
        QTest::newRow("empty") << "" << empty << QDate();
        QTest::newRow("blanks") << "   " << empty << QDate();
        QTest::newRow("30 February") << "30-02-2026" << unreadable << QDate();
        QTest::newRow("29 February, no leap year") << "29022025" << unreadable << QDate();
        QTest::newRow("31 April") << "31.04.2026" << unreadable << QDate();
        QTest::newRow("month 13") << "01.13.2026" << unreadable << QDate();
        QTest::newRow("day 0") << "00.03.2026" << unreadable << QDate();
        QTest::newRow("before 1900") << "01.03.1899" << unreadable << QDate();
        QTest::newRow("two-digit year") << "01.03.26" << unreadable << QDate();
        QTest::newRow("mixed separators") << "01.03-2026" << unreadable << QDate();
        QTest::newRow("ISO") << "2026-03-01" << unreadable << QDate();
        QTest::newRow("seven digits") << "0103202" << unreadable << QDate();
        QTest::newRow("nine digits") << "010320266" << unreadable << QDate();
        QTest::newRow("letters") << "1 Mart 2026" << unreadable << QDate();
        QTest::newRow("digits run together twice") << "103202631032026" << unreadable << QDate();
    }
    void readsTypedDates()
    {
        QFETCH(QString, typed);
        QFETCH(int, kind);
        QFETCH(QDate, date);
        const DateInput input = controls::readDateInput(typed);
        QCOMPARE(int(input.kind), kind);
        QCOMPARE(input.date, date);
    }

    void showsAndRefusesInOneForm()
    {
        QCOMPARE(controls::dateInputText(QDate(2026, 3, 1)), QStringLiteral("01-03-2026"));
        QCOMPARE(controls::dateInputText(QDate()), QString());
        QCOMPARE(controls::dateRefusalText(QStringLiteral("Staj Başlangıç Tarihi"),
                                           QStringLiteral(" 30-02-2026 ")),
                 QStringLiteral("Staj Başlangıç Tarihi: \"30-02-2026\" geçerli bir tarih değil. "
                                "Tarihi GG.AA.YYYY biçiminde girin."));
    }
};

QTEST_APPLESS_MAIN(TstDateInput)
#include "tst_dateinput.moc"
