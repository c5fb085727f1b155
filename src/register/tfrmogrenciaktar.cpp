#include "register/tfrmogrenciaktar.h"

#include "register/importpreviewmodel.h"
#include "ui/look.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace zelvo::studentregister {

TFrmOgrenciAktar::TFrmOgrenciAktar(ui::AppContext& context, ImportCheck check,
                                   const QString& fileName, QWidget* owner)
    : ChildWindow(context, u"FrmOgrenciAktar"_s, QSize(1000, 640), owner), m_check(std::move(check))
{
    setHidesMainWindow(false);
    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel(u"Excel'den Aktar: %1"_s.arg(fileName), this);
    heading->setFont(ui::look::verdana(13, true));
    layout->addWidget(heading);
    if (!m_check.ignoredHeaders.isEmpty()) {
        auto* ignored =
            new QLabel(u"Alınmayan sütunlar: %1"_s.arg(m_check.ignoredHeaders.join(u", "_s)), this);
        ignored->setObjectName(u"IgnoredColumns"_s);
        ignored->setWordWrap(true);
        layout->addWidget(ignored);
    }

    m_model = new ImportPreviewModel(m_check, this);
    auto* table = new QTableView(this);
    table->setObjectName(u"ImportRows"_s);
    table->setModel(m_model);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(20);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setColumnWidth(0, 50);
    table->setColumnWidth(1, 120);
    table->setColumnWidth(5, 110);
    layout->addWidget(table, 1);
    connect(m_model, &ImportPreviewModel::outcomesChanged, this, &TFrmOgrenciAktar::showCounts);

    auto* bottom = new QHBoxLayout;
    m_counts = new QLabel(this);
    m_counts->setObjectName(u"Counts"_s);
    m_counts->setFont(ui::look::verdana(11, true));
    bottom->addWidget(m_counts, 1);
    m_validOnly = new QCheckBox(u"Yalnız hatasız satırları aktar"_s, this);
    m_validOnly->setObjectName(u"ValidOnly"_s);
    bottom->addWidget(m_validOnly);
    auto* store = new QPushButton(u"Aktar"_s, this);
    store->setObjectName(u"Aktar"_s);
    connect(store, &QPushButton::clicked, this, &TFrmOgrenciAktar::store);
    bottom->addWidget(store);
    auto* cancel = new QPushButton(u"Vazgeç"_s, this);
    cancel->setObjectName(u"Vazgec"_s);
    connect(cancel, &QPushButton::clicked, this, &QDialog::close);
    bottom->addWidget(cancel);
    layout->addLayout(bottom);
    showCounts();
}

int TFrmOgrenciAktar::chooseAndPreview(ui::ChildWindow& owner)
{
    ui::AppContext& context = owner.context();
    const QString path = context.dialogs.openFileName(
        &owner, u"Excel'den Aktar"_s, u"Excel ya da metin dosyası (*.xlsx *.csv *.txt)"_s);
    owner.reactivate();
    if (path.isEmpty())
        return 0;
    ImportCheck check;
    if (!owner.guarded(
            [&] { check = StudentImport(context.connection).checkFile(path, context.unitCode()); }))
        return 0;
    TFrmOgrenciAktar preview(context, std::move(check), QFileInfo(path).fileName(), &owner);
    owner.runModal(preview);
    return preview.storedRows();
}

void TFrmOgrenciAktar::showCounts()
{
    m_counts->setText(m_check.summary());
}

void TFrmOgrenciAktar::store()
{
    const bool validOnly = m_validOnly->isChecked();
    if (m_check.count(ImportOutcome::Error) > 0 && !validOnly) {
        message(u"Dosyada %1 hatalı satır var; hiçbir öğrenci aktarılmadı. Hataları düzeltin ya "
                u"da yalnız hatasız satırları aktarmayı seçin."_s.arg(
                    m_check.count(ImportOutcome::Error)));
        return;
    }
    if (m_check.count(ImportOutcome::New) + m_check.count(ImportOutcome::Update) == 0) {
        message(u"Aktarılacak öğrenci yok."_s);
        return;
    }
    const ImportStamp stamp{context().unitCode(), context().userName(), context().fullName(),
                            QDate::currentDate(), QTime::currentTime()};
    if (!guarded([&] {
            m_stored = StudentImport(context().connection).store(m_check, stamp, validOnly);
        }))
        return; // rolled back: nothing was stored
    message(u"%1 öğrenci aktarıldı."_s.arg(m_stored));
    close();
}

} // namespace zelvo::studentregister
