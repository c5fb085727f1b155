#include "declaration/writerhelpers_p.h"

#include "declaration/atomicfile.h"
#include "declaration/declarationtext.h"

using namespace Qt::StringLiterals;

namespace zelvo::declaration::detail {

QString writeBuiltFile(const QString& path, const FileBytes& file)
{
    if (!file.ok()) {
        return file.error;
    }
    return writeFileAtomically(path, file.bytes);
}

QString proposedMonthFileName(const QString& prefix, const QString& monthText,
                              const QString& suffix, Edition edition)
{
    QString month;
    if (monthText.size() == 1) {
        month = u'0' + monthText;
    } else if (monthText.size() == 2) {
        month = monthText;
    } else {
        return {};
    }
    const QString name = prefix + month + suffix;
    return edition == Edition::Gss ? u"GSS-"_s + name : name;
}

const QVariant* RowReader::find(const QString& column)
{
    const auto it = m_row.constFind(column);
    if (it == m_row.cend()) {
        if (m_error.isEmpty()) {
            m_error =
                u"Dosya yazılmadı. Gösterilen %1. satırda \"%2\" sütunu yok."_s.arg(m_rowNumber)
                    .arg(column);
        }
        return nullptr;
    }
    return &it.value();
}

QString RowReader::text(const QString& column)
{
    const QVariant* v = find(column);
    return v != nullptr ? shownValueText(*v) : QString();
}

QString RowReader::dateText(const QString& column)
{
    const QVariant* v = find(column);
    return v != nullptr ? shownDateText(*v) : QString();
}

bool RowReader::append(Cp1254Buffer& out, QStringView text, const QString& column)
{
    if (out.appendText(text)) {
        return true;
    }
    if (m_error.isEmpty()) {
        const auto part = [this](const QString& c) {
            const auto it = m_row.constFind(c);
            return it == m_row.cend() ? QString() : shownValueText(it.value()).trimmed();
        };
        QStringList who{part(u"ogrencino"_s), part(u"adi"_s), part(u"soyadi"_s)};
        who.removeAll(QString());
        const QString student = who.isEmpty() ? QString() : u" ("_s + who.join(u' ') + u')';
        m_error = u"Dosya yazılmadı. %1. satırdaki öğrencinin%2 \"%3\" sütunundaki değeri, "_s.arg(
                      QString::number(m_rowNumber), student, column) +
                  unwritableReason(text, out.charset());
    }
    return false;
}

QString monthError(int month)
{
    return u"Dosya yazılmadı. Ay 1 ile 12 arasında olmalı (verilen: %1)."_s.arg(month);
}

QString workplaceValueError(const QString& column, QStringView value, DeclaredCharset charset)
{
    return u"Dosya yazılmadı. İşyeri bilgilerindeki \"%1\" değeri, "_s.arg(column) +
           unwritableReason(value, charset);
}

QString parameterValueError(const QString& column, QStringView value, DeclaredCharset charset)
{
    return u"Dosya yazılmadı. Parametrelerdeki \"%1\" değeri, "_s.arg(column) +
           unwritableReason(value, charset);
}

QString yearBoxValueError(QStringView value, DeclaredCharset charset)
{
    return u"Dosya yazılmadı. Yıl kutusundaki değer, "_s + unwritableReason(value, charset);
}

QString yearBoxNumberError(const QString& value)
{
    return u"Dosya yazılmadı. Yıl kutusundaki \"%1\" bir yıl değil; Aralık döneminin Ocak "
           u"günleri bir sonraki yılla yazılır."_s.arg(value);
}

} // namespace zelvo::declaration::detail
