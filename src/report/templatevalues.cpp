#include "report/templatevalues.h"

#include "report/template.h"

#include <QHash>
#include <QSizeF>
#include <QStringList>

#include <cmath>

using namespace Qt::StringLiterals;

namespace zelvo::report::detail {

std::optional<double> finiteNumber(const QString& text)
{
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

double numberValue(const Token& t, int line, double min)
{
    const std::optional<double> parsed = finiteNumber(t.value);
    if (!parsed)
        failAt(line, t.valueColumn, u"'%1' sayı değil"_s.arg(t.value));
    const double v = *parsed;
    if (v < min)
        failAt(line, t.valueColumn, u"'%1' en az %2 olmalı"_s.arg(t.key).arg(min));
    return v;
}

double fontSizeValue(const Token& t, int line)
{
    const double size = numberValue(t, line, 1);
    if (size > Template::kMaxFontPoints)
        failAt(line, t.valueColumn,
               u"yazı boyutu en çok %1 punto olabilir"_s.arg(Template::kMaxFontPoints));
    return size;
}

bool booleanValue(const Token& t, int line)
{
    if (t.type == Token::Type::Word)
        return true;
    const QString v = t.value.toLower();
    if (v == u"yes"_s || v == u"true"_s || v == u"1"_s || v == u"evet"_s)
        return true;
    if (v == u"no"_s || v == u"false"_s || v == u"0"_s || v == u"hayir"_s || v == u"hayır"_s)
        return false;
    failAt(line, t.valueColumn, u"'%1' evet/hayır değeri değil"_s.arg(t.value));
}

QColor colorValue(const Token& t, int line)
{
    QColor c(t.value);
    if (!c.isValid())
        failAt(line, t.valueColumn, u"'%1' renk değil"_s.arg(t.value));
    return c;
}

QPageSize pageSizeValue(const Token& t, int line)
{
    static const QHash<QString, QPageSize::PageSizeId> named = {
        {u"a3"_s, QPageSize::A3}, {u"a4"_s, QPageSize::A4},         {u"a5"_s, QPageSize::A5},
        {u"b5"_s, QPageSize::B5}, {u"letter"_s, QPageSize::Letter}, {u"legal"_s, QPageSize::Legal}};
    const QString v = t.value.toLower();
    if (const auto it = named.constFind(v); it != named.constEnd())
        return QPageSize(*it);
    const QStringList parts = v.split(u'x');
    if (parts.size() == 2) {
        const auto w = finiteNumber(parts[0]);
        const auto h = finiteNumber(parts[1]);
        const auto fits = [](double mm) {
            return mm >= Template::kMinPageMm && mm <= Template::kMaxPageMm;
        };
        if (w && h && fits(*w) && fits(*h))
            return QPageSize(QSizeF(*w, *h), QPageSize::Millimeter);
    }
    failAt(line, t.valueColumn,
           u"bilinmeyen sayfa boyutu '%1' (A4, A3, A5, B5, Letter, Legal ya da 210x297; "
           u"kenarlar %2 ile %3 mm arası)"_s.arg(t.value)
               .arg(Template::kMinPageMm)
               .arg(Template::kMaxPageMm));
}

QMarginsF marginsValue(const Token& t, int line)
{
    const QStringList parts = t.value.split(u',');
    QList<double> v;
    for (const QString& p : parts) {
        const auto d = finiteNumber(p.trimmed());
        if (!d || *d < 0)
            failAt(line, t.valueColumn, u"kenar boşlukları 'sol,üst,sağ,alt' mm olmalı"_s);
        v.append(*d);
    }
    if (v.size() == 1)
        return {v[0], v[0], v[0], v[0]};
    if (v.size() == 4)
        return {v[0], v[1], v[2], v[3]};
    failAt(line, t.valueColumn, u"kenar boşlukları için bir ya da dört değer gerekli"_s);
}

void unknownProperty(const Token& t, int line, const QString& where)
{
    if (t.type == Token::Type::String)
        failAt(line, t.column, u"%1 için beklenmeyen metin"_s.arg(where));
    failAt(line, t.column, u"%1 için bilinmeyen özellik '%2'"_s.arg(where, t.key));
}

} // namespace zelvo::report::detail
