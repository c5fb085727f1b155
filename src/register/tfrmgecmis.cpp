#include "register/tfrmgecmis.h"

#include "db/connection.h"
#include "ui/look.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QSet>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace zelvo::studentregister {

namespace {

QJsonObject objectOf(const QString& json)
{
    return json.isEmpty() ? QJsonObject() : QJsonDocument::fromJson(json.toUtf8()).object();
}

QString shown(const QJsonValue& value)
{
    return value.isNull() || value.isUndefined() ? QString() : value.toVariant().toString();
}

// the key is in the record's row anyway and says nothing to the reader
bool isKey(const QString& field)
{
    return field == QLatin1String("idogrenci");
}

} // namespace

QString changedValues(const QString& before, const QString& after)
{
    const QJsonObject old = objectOf(before);
    const QJsonObject now = objectOf(after);
    QStringList fields = old.keys() + now.keys();
    fields.removeDuplicates();
    fields.sort();
    QStringList lines;
    for (const QString& field : fields) {
        if (isKey(field))
            continue;
        const QString was = shown(old.value(field));
        const QString is = shown(now.value(field));
        if (old.isEmpty() || now.isEmpty()) {
            const QString value = old.isEmpty() ? is : was;
            if (!value.isEmpty())
                lines << QStringLiteral("%1: %2").arg(field, value);
        } else if (was != is) {
            lines << QStringLiteral("%1: %2 → %3").arg(field, was, is);
        }
    }
    return lines.join(QLatin1Char('\n'));
}

TFrmGecmis::TFrmGecmis(ui::AppContext& context, const QVariant& studentId, const QString& caption,
                       QWidget* owner)
    : ChildWindow(context, QStringLiteral("FrmGecmis"), QSize(820, 420), owner),
      m_studentId(studentId)
{
    // the register that opened it already keeps the main window hidden
    setHidesMainWindow(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);

    auto* top = new QHBoxLayout;
    auto* title = new QLabel(QStringLiteral("Geçmiş: ") + caption, this);
    title->setObjectName(QStringLiteral("Label1"));
    title->setFont(ui::look::verdana(13, true));
    top->addWidget(title);
    top->addStretch();
    top->addWidget(createCloseButton(this));
    layout->addLayout(top);

    m_table = new QTableWidget(0, 4, this);
    m_table->setObjectName(QStringLiteral("GridGecmis"));
    m_table->setHorizontalHeaderLabels({QStringLiteral("Zaman"), QStringLiteral("Kullanıcı"),
                                        QStringLiteral("İşlem"),
                                        QStringLiteral("Değişen bilgiler")});
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setWordWrap(true);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_table);
}

void TFrmGecmis::load()
{
    const db::ResultRows rows = context().connection.callProcedure(
        QStringLiteral("DegisiklikGetir"), {{QStringLiteral("@key1"), m_studentId}});
    const auto column = [&rows](const char* name) {
        return rows.columns.indexOf(QString::fromLatin1(name));
    };
    const int when = column("zaman");
    const int who = column("kim");
    const int action = column("islem");
    const int before = column("eski");
    const int after = column("yeni");
    if (qMin(qMin(when, who), qMin(qMin(action, before), after)) < 0)
        throw db::DbError(QStringLiteral("DegisiklikGetir beklenen sütunları vermedi"));
    m_table->setRowCount(int(rows.rows.size()));
    for (int r = 0; r < rows.rows.size(); ++r) {
        const QVector<QVariant>& row = rows.rows.at(r);
        const QStringList texts = {
            row.at(when).toString(), row.at(who).toString(), row.at(action).toString(),
            changedValues(row.at(before).toString(), row.at(after).toString())};
        for (int c = 0; c < texts.size(); ++c)
            m_table->setItem(r, c, new QTableWidgetItem(texts.at(c)));
    }
    m_table->resizeColumnsToContents();
    m_table->resizeRowsToContents();
}

} // namespace zelvo::studentregister
