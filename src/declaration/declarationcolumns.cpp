#include "declaration/declarationcolumns.h"

using namespace Qt::StringLiterals;

namespace zelvo::declaration {

std::span<const XmlRowAttribute> xmlRowAttributes()
{
    // From SOYAD on every attribute has a blank on both sides.
    static const XmlRowAttribute attributes[] = {
        {"SIGORTALISICIL", u"ssksicilno"_s, XmlWritten::Always, false},
        {"TCKNO", u"tckimlikno"_s, XmlWritten::Always, false},
        {"AD", u"adi"_s, XmlWritten::Always, false},
        {"SOYAD", u"soyadi"_s, XmlWritten::Always, true},
        {"ILKSOYAD", u"ilksoyadi"_s, XmlWritten::WithText, true}, // written untrimmed
        {"PEK", u"sil1"_s, XmlWritten::Always, true},
        {"GUN", u"gun"_s, XmlWritten::Always, true},
        {"GIRISGUN", u"girisgun"_s, XmlWritten::NotEmpty, true},
        {"CIKISGUN", u"cikisgun"_s, XmlWritten::NotEmpty, true},
        {"ISTENCIKISNEDENI", u"istencikisnedeni"_s, XmlWritten::WithPrevious, true},
    };
    return attributes;
}

std::span<const CsvColumn> csvColumns()
{
    // The titles hold none of the characters that need quotes, and all of them fit.
    static const CsvColumn columns[] = {
        {u"Sıra No"_s, {}, CsvValue::LineNumber, false},
        {u"Yıl"_s, u"yil"_s, CsvValue::Text, false},
        {u"Ay"_s, u"ay"_s, CsvValue::Text, false},
        {u"Öğrenci No"_s, u"ogrencino"_s, CsvValue::Text, false},
        {u"Adı"_s, u"adi"_s, CsvValue::Text, false},
        {u"Soyadı"_s, u"soyadi"_s, CsvValue::Text, false},
        {u"Sosyal Güvenlik No"_s, u"ssksicilno"_s, CsvValue::Text, false},
        {u"T.C. Kimlik No"_s, u"tckimlikno"_s, CsvValue::Text, false},
        {u"Staj Başlangıcı"_s, u"baslangictarihi"_s, CsvValue::Date, false},
        {u"Staj Bitişi"_s, u"bitistarihi"_s, CsvValue::Date, false},
        {u"Aya Ait Gün"_s, u"gun"_s, CsvValue::Text, false},
        {u"Varsa GİRİŞ GÜNÜ"_s, u"girisgun"_s, CsvValue::DayWithYear, false},
        {u"Varsa ÇIKIŞ GÜNÜ"_s, u"cikisgun"_s, CsvValue::DayWithYear, false},
        {u"Staj İli"_s, u"stajili"_s, CsvValue::Text, true},
        {u"Staj Yeri"_s, u"stajyeri"_s, CsvValue::Text, true},
    };
    return columns;
}

} // namespace zelvo::declaration
