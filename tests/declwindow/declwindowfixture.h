#pragma once

// A declaration window on a fresh database whose active year is 2012 and whose reason code for
// leaving work is "04", with the moves the declaration tests make: students and accrual rows put
// straight into the tables, months chosen and step buttons pressed through the widgets, and the
// stored declaration rows read back.

#include "controls/dbgrid.h"
#include "core/period.h"
#include "declaration/tfrmxmlgss.h"
#include "monthly/monthchain.h"
#include "testsession.h"

#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <memory>

using zelvo::declaration::TFrmxml;
using zelvo::declaration::TFrmxmlgss;

const QString noRowsText = QStringLiteral("Seçtiğiniz aya ait kayıt bulunamadı.Lütfen öncelikle "
                                          "PUANTAJ ve TAHAKKUK işlemlerini tamamlayınız.");

struct StudentData {
    StudentData(QString number) : number(std::move(number)) {}

    QString number;
    QString name = QStringLiteral("Ayşe");
    QString surname = QStringLiteral("Yılmaz");
    QDate start = QDate(2012, 1, 1);
    QDate end = QDate(2012, 12, 31);
    bool gss = false;
    QString unit = QStringLiteral("01");
    QString formerSurname;
};

struct DeclFixture {
    TestSession session;
    std::unique_ptr<TFrmxml> window;

    DeclFixture()
    {
        QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
        session.setup().execute(
            QStringLiteral("update Parametre set aktifyil='2012', istencikisnedeni='04'"));
    }

    void open(bool gss = false)
    {
        if (window)
            window->close();
        window.reset(gss ? new TFrmxmlgss(*session.context) : new TFrmxml(*session.context));
        window->show();
        window->activateWindow();
    }

    int addStudent(const StudentData& s)
    {
        const int id = session.addStudent(s.number, s.name, s.surname, s.start, s.end, s.gss,
                                          QStringLiteral("1"), s.unit);
        session.setup().execute(
            QStringLiteral("update ogrenci set ilksoyadi=@ilk, tckimlikno=@tc, ssksicilno=@ssk, "
                           "stajili='ANKARA', stajyeri='Ostim A.Ş.' where idogrenci=@id"),
            {{QStringLiteral("@ilk"), s.formerSurname.isEmpty() ? QVariant() : s.formerSurname},
             {QStringLiteral("@tc"), QStringLiteral("1%1").arg(id, 10, 10, QLatin1Char('0'))},
             {QStringLiteral("@ssk"), QStringLiteral("9%1").arg(id, 9, 10, QLatin1Char('0'))},
             {QStringLiteral("@id"), id}});
        return id;
    }

    // The student's accrual row (and timesheet row) of a month, as the accrual window stores it.
    void addAccrual(int student, int month, const QVariant& earnings = QStringLiteral("1000.00"),
                    int days = 30, const QString& unit = QStringLiteral("01"),
                    const QString& year = QStringLiteral("2012"))
    {
        session.setup().execute(
            QStringLiteral("insert into Tahakkuk (idogrenci, yil, ay, gun, kazanc, matrah, "
                           "isveren, isci, birimkodu) values (@id, @yil, @ay, @gun, @kazanc, "
                           "@kazanc, 20.5, 1.25, @birim)"),
            {{QStringLiteral("@id"), student},
             {QStringLiteral("@yil"), year},
             {QStringLiteral("@ay"), month},
             {QStringLiteral("@gun"), days},
             {QStringLiteral("@kazanc"), earnings},
             {QStringLiteral("@birim"), unit}});
        session.setup().execute(
            QStringLiteral("insert into Puantaj (idogrenci, yil, ay, gun, gun1, gun2, birimkodu) "
                           "values (@id, @yil, @ay, @gun, @gun, 0, @birim)"),
            {{QStringLiteral("@id"), student},
             {QStringLiteral("@yil"), year},
             {QStringLiteral("@ay"), month},
             {QStringLiteral("@gun"), days},
             {QStringLiteral("@birim"), unit}});
        recordComputed(month, unit, year);
    }

    // The month's timesheet and accrual recorded as run, in both editions, as the monthly
    // windows record them: the month's chain is current up to the declaration rows.
    void recordComputed(int month, const QString& unit = QStringLiteral("01"),
                        const QString& year = QStringLiteral("2012"))
    {
        const zelvo::core::Period period(year, month);
        for (bool gss : {false, true}) {
            const zelvo::monthly::MonthKey key{year, month, unit, gss};
            zelvo::monthly::recordRun(session.setup(), key, zelvo::monthly::ChainStep::Timesheet,
                                      QStringLiteral("admin"), 1, &period);
            zelvo::monthly::recordRun(session.setup(), key, zelvo::monthly::ChainStep::Accrual,
                                      QStringLiteral("admin"), 1);
        }
    }

    template <typename T> T* find(const QString& name) const
    {
        T* widget = window->findChild<T*>(name);
        if (!widget)
            QTest::qFail(qPrintable(QStringLiteral("no %1 in the window").arg(name)), __FILE__,
                         __LINE__);
        return widget;
    }
    QToolButton* button(const char* name) const
    {
        return find<QToolButton>(QString::fromLatin1(name));
    }
    zelvo::controls::DbGrid* grid() const
    {
        return find<zelvo::controls::DbGrid>(QStringLiteral("wwDBGrid1"));
    }

    void chooseMonth(int month)
    {
        QTest::mouseClick(find<QRadioButton>(QStringLiteral("Month%1").arg(month)), Qt::LeftButton);
    }
    void press(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    // Step (1) for a month.
    void prepare(int month)
    {
        chooseMonth(month);
        press("SpeedButton1");
    }

    bool offered() const
    {
        return !grid()->isHidden() && !button("SpeedButton2")->isHidden() &&
               !button("SpeedButton11")->isHidden();
    }
    bool nothingOffered() const
    {
        return grid()->isHidden() && button("SpeedButton2")->isHidden() &&
               button("SpeedButton11")->isHidden();
    }

    // A column of the student's stored declaration row of a month.
    QVariant stored(int student, int month, const QString& column)
    {
        return session.scalar(
            QStringLiteral("select %1 from Xml where idogrenci=@id and ay=@ay").arg(column),
            {{QStringLiteral("@id"), student}, {QStringLiteral("@ay"), month}});
    }
    int count(const QString& sql, const zelvo::db::Params& params = {})
    {
        return session.scalar(sql, params).toInt();
    }
    // The stored declaration rows of a month as "student number:pek", in the order stored.
    QStringList storedRows(int month)
    {
        QStringList rows;
        const zelvo::db::ResultRows result = session.setup().query(
            QStringLiteral("select ogrencino, pek, idxml from Xml where ay=@ay order by idxml"),
            {{QStringLiteral("@ay"), month}});
        for (const auto& row : result.rows)
            rows << row.at(0).toString() + QLatin1Char(':') + row.at(1).toString() +
                        QLatin1Char('#') + row.at(2).toString();
        return rows;
    }
    QStringList errors() const { return session.dialogs.texts(ScriptedDialogs::Kind::Error); }
    QStringList messages() const { return session.dialogs.texts(ScriptedDialogs::Kind::Message); }
};
