#include "register/importpreviewmodel.h"

#include <QBrush>
#include <QColor>

using namespace Qt::StringLiterals;

namespace zelvo::studentregister {

namespace {

enum Column { Line, Outcome, Number, Name, Surname, Identity, Reason, ColumnCount };

const char16_t* const studentColumns[] = {u"", u"", u"ogrencino", u"adi", u"soyadi", u"tckimlikno"};

} // namespace

ImportPreviewModel::ImportPreviewModel(ImportCheck& check, QObject* parent)
    : QAbstractTableModel(parent), m_check(check)
{
}

int ImportPreviewModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_check.rows.size());
}

int ImportPreviewModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ImportPreviewModel::data(const QModelIndex& index, int role) const
{
    const ImportRow& row = m_check.rows.at(index.row());
    const bool registered =
        row.outcome == ImportOutcome::Skip || row.outcome == ImportOutcome::Update;
    if (role == Qt::CheckStateRole && index.column() == Outcome && registered)
        return row.outcome == ImportOutcome::Update ? Qt::Checked : Qt::Unchecked;
    if (role == Qt::ForegroundRole && row.outcome == ImportOutcome::Error)
        return QBrush(QColor(192, 0, 0));
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case Line:
        return row.line;
    case Outcome:
        return outcomeText(row.outcome);
    case Reason:
        return row.problems.join(u"; "_s);
    default:
        return row.values.value(QString::fromUtf16(studentColumns[index.column()]));
    }
}

bool ImportPreviewModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole || index.column() != Outcome)
        return false;
    ImportRow& row = m_check.rows[index.row()];
    chooseUpdate(row, value.toInt() == Qt::Checked);
    Q_EMIT dataChanged(index, index);
    Q_EMIT outcomesChanged();
    return true;
}

Qt::ItemFlags ImportPreviewModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    const ImportOutcome outcome = m_check.rows.at(index.row()).outcome;
    if (index.column() == Outcome &&
        (outcome == ImportOutcome::Skip || outcome == ImportOutcome::Update))
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant ImportPreviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const QString titles[] = {u"Satır"_s,  u"Sonuç"_s,          u"Numarası"_s, u"Adı"_s,
                                     u"Soyadı"_s, u"T.C. Kimlik No"_s, u"Açıklama"_s};
    return titles[section];
}

} // namespace zelvo::studentregister
