#pragma once

#include "register/studentimport.h"

#include <QAbstractTableModel>

namespace zelvo::studentregister {

// The checked rows of an import, one line each: line number, outcome, the student's main
// values and the reason. The outcome of a student already registered is checkable: checked
// means "güncelle".
class ImportPreviewModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ImportPreviewModel(ImportCheck& check, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

Q_SIGNALS:
    void outcomesChanged();

private:
    ImportCheck& m_check;
};

} // namespace zelvo::studentregister
