// Inputs of the declaration file tests and the expected files that go with them.
#pragma once

#include "declaration/declarationinput.h"

#include <QDate>
#include <QFile>
#include <QList>
#include <QString>
#include <QTest>

namespace sample {

using namespace zelvo::declaration;
using namespace Qt::StringLiterals;

inline WorkplaceRecord workplace()
{
    WorkplaceRecord w;
    w.birimadi = u"ÇUKUROVA ÜNİVERSİTESİ MÜHENDİSLİK FAKÜLTESİ"_s;
    w.isyerisicil = u"1234567890"_s;
    w.kontrolno = u"7"_s;
    w.isyeriaracino = u"000"_s;
    w.isyeriadres = u"Balcalı Mah. Sarıçam/ADANA"_s;
    w.isyerivergino = u"1234567890"_s;
    return w;
}

inline ParameterRecord parameters()
{
    ParameterRecord p;
    p.belgemahiyet = u"A"_s;
    p.belgeturu = u"7"_s;
    p.belgeturuyab = u"25"_s;
    p.kanunno = u"05510"_s;
    p.aktifyil = u"2012"_s;
    return p;
}

// A shown row with every column the declaration window's result has.
inline ShownRow student(const QString& ogrencino, const QString& adi, const QString& soyadi)
{
    return ShownRow{
        {u"yil"_s, u"2012"_s},
        {u"ay"_s, 3},
        {u"ogrencino"_s, ogrencino},
        {u"adi"_s, adi},
        {u"soyadi"_s, soyadi},
        {u"ilksoyadi"_s, QVariant()},
        {u"ssksicilno"_s, u"0123456789"_s},
        {u"tckimlikno"_s, u"12345678901"_s},
        {u"baslangictarihi"_s, u"2012-02-01"_s},
        {u"bitistarihi"_s, u"2012-06-30"_s},
        {u"pek"_s, u"886,5"_s},
        {u"gun"_s, 30},
        {u"gun_1"_s, 30},
        {u"girisgun"_s, QString()},
        {u"cikisgun"_s, QString()},
        {u"istencikisnedeni"_s, QString()},
        {u"sil1"_s, u"886.50"_s},
        {u"stajili"_s, u"Adana"_s},
        {u"stajyeri"_s, u"Balcalı Hastanesi"_s},
    };
}

// March 2012, two students; the second has a former surname and starts and leaves inside
// the period 15 March to 14 April.
inline DeclarationInput marchInput(Edition edition = Edition::Standard)
{
    DeclarationInput in;
    in.workplace = workplace();
    in.parameters = parameters();
    in.month = 3;
    in.yearText = u"2012"_s;
    in.edition = edition;

    ShownRow first = student(u"20081001"_s, u"Ayşe"_s, u"Yılmaz"_s);
    first[u"ilksoyadi"_s] = u""_s;

    ShownRow second = student(u"20081002"_s, u"Çağrı"_s, u"Öztürk"_s);
    second[u"ilksoyadi"_s] = u"Şahin"_s;
    second[u"ssksicilno"_s] = u"9876543210"_s;
    second[u"tckimlikno"_s] = u"10987654321"_s;
    second[u"baslangictarihi"_s] = QDate(2012, 3, 20);
    second[u"bitistarihi"_s] = QDate(2012, 4, 3);
    second[u"pek"_s] = u"443,25"_s;
    second[u"sil1"_s] = u"443.25"_s;
    second[u"gun"_s] = 15;
    second[u"gun_1"_s] = 15;
    second[u"girisgun"_s] = u"2003"_s;
    second[u"cikisgun"_s] = u"0304"_s;
    second[u"istencikisnedeni"_s] = u"04"_s;
    second[u"stajili"_s] = u"Mersin"_s;
    second[u"stajyeri"_s] = u"Mersin Devlet Hastanesi"_s;

    in.rows = {first, second};
    return in;
}

// December 2012 (period 15 December to 14 January 2013): a student without entry and exit
// day, one who starts in December and leaves on 10 January 2013, and one without social
// security number and end date.
inline DeclarationInput decemberInput(Edition edition = Edition::Standard)
{
    DeclarationInput in;
    in.workplace = workplace();
    in.parameters = parameters();
    in.month = 12;
    in.yearText = u"2012"_s;
    in.edition = edition;

    ShownRow first = student(u"20081001"_s, u"Ayşe"_s, u"Yılmaz"_s);
    first[u"ay"_s] = 12;
    first[u"baslangictarihi"_s] = u"2012-09-01"_s;
    first[u"bitistarihi"_s] = QDate(2013, 6, 30);
    first[u"stajyeri"_s] = u"Seyhan Devlet Hastanesi"_s;

    ShownRow second = student(u"20081002"_s, u"Çağrı"_s, u"Öztürk"_s);
    second[u"ay"_s] = 12;
    second[u"ssksicilno"_s] = u"9876543210"_s;
    second[u"tckimlikno"_s] = u"10987654321"_s;
    second[u"baslangictarihi"_s] = QDate(2012, 12, 17);
    second[u"bitistarihi"_s] = u"2013-01-10"_s;
    second[u"gun"_s] = 25;
    second[u"girisgun"_s] = u"1712"_s;
    second[u"cikisgun"_s] = u"1001"_s;
    second[u"istencikisnedeni"_s] = u"04"_s;
    second[u"stajili"_s] = u"İzmir"_s;
    second[u"stajyeri"_s] = u"Ege Üniversitesi Hastanesi"_s;

    ShownRow third = student(u"20081003"_s, u"İsmail"_s, u"Işık"_s);
    third[u"ay"_s] = 12;
    third[u"ssksicilno"_s] = QVariant();
    third[u"tckimlikno"_s] = u"11122233344"_s;
    third[u"baslangictarihi"_s] = u"2012-12-15"_s;
    third[u"bitistarihi"_s] = QVariant();
    third[u"girisgun"_s] = u"1512"_s;
    third[u"stajili"_s] = u"Iğdır"_s;
    third[u"stajyeri"_s] = u"Iğdır Devlet Hastanesi"_s;

    in.rows = {first, second, third};
    return in;
}

inline QByteArray golden(const char* name)
{
    QFile f(QStringLiteral(ZELVO_SOURCE_DIR "/tests/declaration/golden/") +
            QString::fromLatin1(name));
    if (!f.open(QIODevice::ReadOnly)) {
        qFatal("expected file %s is missing", name);
    }
    return f.readAll();
}

// The file's lines without their CRLF. Empty when any line, the last included, does not end
// in CRLF, so that a comparison with the expected lines fails.
inline QList<QByteArray> lines(const QByteArray& file)
{
    if (!file.endsWith("\r\n")) {
        return {};
    }
    QList<QByteArray> result = file.split('\n');
    result.removeLast(); // what follows the last line end
    for (QByteArray& line : result) {
        if (!line.endsWith('\r')) {
            return {};
        }
        line.chop(1);
    }
    return result;
}

inline QByteArray blanks(int n)
{
    return QByteArray(n, ' ');
}

} // namespace sample
