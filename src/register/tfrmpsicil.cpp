#include "register/tfrmpsicil.h"

#include "controls/boundcontrols.h"
#include "controls/dbgrid.h"
#include "controls/dbnavigator.h"
#include "db/dataset.h"
#include "register/changestamp.h"
#include "register/datasetstudents.h"
#include "register/studentimport.h"
#include "register/studentrules.h"
#include "ui/look.h"

#include <QButtonGroup>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace zelvo::studentregister {

namespace {

const QColor maroon(128, 0, 0);
const QColor navy(0, 0, 128);
const QColor blue(0, 0, 255);
const QColor red(255, 0, 0);

void setTextColour(QWidget* widget, const QColor& colour)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::WindowText, colour);
    p.setColor(QPalette::ButtonText, colour);
    p.setColor(QPalette::Text, colour);
    widget->setPalette(p);
}

QLabel* fieldLabel(QWidget* parent, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setFont(ui::look::verdana(11, true));
    return label;
}

controls::DbEdit* fieldEdit(QWidget* parent, const QString& name, db::Dataset* students,
                            const QString& field)
{
    auto* edit = new controls::DbEdit(parent);
    edit->setObjectName(name);
    edit->setFont(ui::look::verdana(13, true));
    setTextColour(edit, blue);
    edit->bind(students, field);
    return edit;
}

const QVector<controls::GridColumn> studentColumns = {
    {QStringLiteral("ogrencino"), QStringLiteral("Numarası"), 10},
    {QStringLiteral("adi"), QStringLiteral("Adı"), 15},
    {QStringLiteral("soyadi"), QStringLiteral("Soyadı"), 17},
    {QStringLiteral("tckimlikno"), QStringLiteral("T.C. Kimlik No"), 14},
    {QStringLiteral("ssksicilno"), QStringLiteral("SSK Sicil no"), 14},
    {QStringLiteral("statu"), QStringLiteral("Statü"), 3},
    {QStringLiteral("baslangictarihi"), QStringLiteral("Başlangıç Tarihi"), 10,
     QStringLiteral("DD-MM-YYYY")},
    {QStringLiteral("bitistarihi"), QStringLiteral("Bitiş tarihi"), 12,
     QStringLiteral("DD-MM-YYYY")},
    {QStringLiteral("gss"), QStringLiteral("GSS Ödenecek"), 5, {}, Qt::AlignCenter, true},
    {QStringLiteral("ilksoyadi"), QStringLiteral("İlk / Eski soyadı"), 18},
    {QStringLiteral("stajili"), QStringLiteral("Staj Yaptığı İl"), 20},
    {QStringLiteral("stajyeri"), QStringLiteral("Staj Yaptığı Kurum"), 50},
};

const QString searchProcedures[] = {QStringLiteral("OgrenciGetirAdi"),
                                    QStringLiteral("OgrenciGetirSoyAdi"),
                                    QStringLiteral("OgrenciGetirOgrenciNo")};

} // namespace

TFrmPSicil::TFrmPSicil(ui::AppContext& context, QWidget* owner)
    : ChildWindow(context, QStringLiteral("FrmPSicil"), QSize(1084, 705), owner)
{
    m_students = new db::Dataset(context.connection, this);
    m_students->setObjectName(QStringLiteral("SpOgrenci"));
    m_students->beforePost = [this](db::Dataset& students) {
        stampRow(students);
        checkRow(students);
    };
    m_statuses = new db::Dataset(context.connection, this);
    m_statuses->setObjectName(QStringLiteral("QrStatu"));
    m_deletion = new db::Dataset(context.connection, this);
    m_deletion->setObjectName(QStringLiteral("QrSil"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(6);
    layout->addWidget(buildTopPanel());
    layout->addWidget(buildEditPanel());
    buildGrid();
    layout->addWidget(m_grid, 1);
    layout->addStretch(0);

    // Nothing to show until the first search.
    m_editPanel->hide();
    m_grid->hide();
    openStatusList();
}

QFrame* TFrmPSicil::buildTopPanel()
{
    QFrame* panel = ui::look::raisedPanel(this, QStringLiteral("Panel1"));
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(8, 4, 8, 4);
    row->setSpacing(10);

    auto* criteria = new QGroupBox(QStringLiteral("Arama Kriteri"), panel);
    criteria->setObjectName(QStringLiteral("RadioGroup1"));
    auto* criteriaRow = new QHBoxLayout(criteria);
    m_criteria = new QButtonGroup(criteria);
    const QStringList items = {QStringLiteral("Adı"), QStringLiteral("Soyadı"),
                               QStringLiteral("Numarası")};
    for (int i = 0; i < items.size(); ++i) {
        auto* item = new QRadioButton(items.at(i), criteria);
        item->setObjectName(QStringLiteral("Item%1").arg(i));
        m_criteria->addButton(item, i);
        criteriaRow->addWidget(item);
    }
    row->addWidget(criteria);

    m_searchEdit = new QLineEdit(panel);
    m_searchEdit->setObjectName(QStringLiteral("Edit1"));
    m_searchEdit->setFixedWidth(185);
    m_searchEdit->setFont(ui::look::verdana(13, true));
    setTextColour(m_searchEdit, maroon);
    connect(m_searchEdit, &QLineEdit::returnPressed, this, &TFrmPSicil::search);
    row->addWidget(m_searchEdit);

    QToolButton* show = ui::look::speedButton(panel, QStringLiteral("SpeedButton5"),
                                              QStringLiteral("Göster"), QStringLiteral("goster"));
    show->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    show->setFont(ui::look::verdana(11, true));
    connect(show, &QToolButton::clicked, this, &TFrmPSicil::search);
    row->addWidget(show);

    using Button = controls::DbNavigator::Button;
    m_navigator = new controls::DbNavigator(
        {Button::First, Button::Prior, Button::Next, Button::Last, Button::Insert, Button::Post},
        panel);
    m_navigator->setObjectName(QStringLiteral("DBNavigator1"));
    m_navigator->setDataset(m_students);
    connect(m_navigator, &controls::DbNavigator::databaseError, this, &TFrmPSicil::showError);
    row->addWidget(m_navigator);

    const auto addButton = [&](const QString& name, const QString& caption,
                               void (TFrmPSicil::*action)()) {
        auto* button = new QPushButton(caption, panel);
        button->setObjectName(name);
        button->setFont(ui::look::verdana(11, true));
        connect(button, &QPushButton::clicked, this, action);
        row->addWidget(button);
        return button;
    };
    setTextColour(addButton(QStringLiteral("Button1"), QStringLiteral("ÖĞRENCİYİ SİL"),
                            &TFrmPSicil::deleteStudent),
                  red);
    addButton(QStringLiteral("ButtonGecmis"), QStringLiteral("Geçmiş"), &TFrmPSicil::showHistory);
    addButton(QStringLiteral("ExcelAktar"), QStringLiteral("Excel'den Aktar"),
              &TFrmPSicil::importStudents);
    addButton(QStringLiteral("ExcelYaz"), QStringLiteral("Excel'e Aktar"),
              &TFrmPSicil::exportStudents);

    row->addStretch();
    row->addWidget(createCloseButton(panel));
    return panel;
}

QFrame* TFrmPSicil::buildEditPanel()
{
    m_editPanel = ui::look::raisedPanel(this, QStringLiteral("Panel2"));
    auto* row = new QHBoxLayout(m_editPanel);
    row->setContentsMargins(8, 6, 8, 6);
    row->setSpacing(14);

    auto* status = new controls::DbRadioGroup(
        QStringLiteral("Statüsü"),
        {QStringLiteral("( 1 ) Staj - AKTİF"), QStringLiteral("( 2 ) Staj - PASİF"),
         QStringLiteral("( 3 ) Staj- TAMAMLADI")},
        {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}, m_editPanel);
    status->setObjectName(QStringLiteral("DBRadioGroup1"));
    status->setFont(ui::look::verdana(11, true));
    setTextColour(status, navy);
    status->bind(m_students, QStringLiteral("statu"));
    connect(status->link(), &controls::FieldLink::failed, this, &TFrmPSicil::showError);
    row->addWidget(status);

    // The six boxes in two columns of three.
    struct Box {
        const char* name;
        QString caption;
        const char* field;
    };
    const Box boxes[] = {
        {"DBEdit1", QStringLiteral("No :"), "ogrencino"},
        {"DBEdit2", QStringLiteral("Adı :"), "adi"},
        {"DBEdit3", QStringLiteral("Soyadı :"), "soyadi"},
        {"DBEdit4", QStringLiteral("T.C. Kimlik No :"), "tckimlikno"},
        {"DBEdit5", QStringLiteral("SSK Numarası :"), "ssksicilno"},
        {"DBEdit6", QStringLiteral("İlk-Eski Soyadı :"), "ilksoyadi"},
    };
    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(6);
    for (int i = 0; i < 6; ++i) {
        const Box& box = boxes[i];
        controls::DbEdit* edit = fieldEdit(m_editPanel, QString::fromLatin1(box.name), m_students,
                                           QString::fromLatin1(box.field));
        edit->setFixedWidth(190);
        connect(edit->link(), &controls::FieldLink::failed, this, &TFrmPSicil::showError);
        const int column = (i / 3) * 2;
        fields->addWidget(fieldLabel(m_editPanel, box.caption), i % 3, column, Qt::AlignRight);
        fields->addWidget(edit, i % 3, column + 1);
        if (i == 0)
            edit->setToolTip(QStringLiteral("Aynı Kurum Numarası sadece 1 kişiye verilebilir.\n"
                                            "Kurum No boş geçilemez."));
    }
    row->addLayout(fields);

    auto* right = new QGridLayout;
    auto* lookup = new controls::DbLookupCombo(m_editPanel);
    lookup->setObjectName(QStringLiteral("DBLookupComboBox1"));
    lookup->setLookup(m_statuses, QStringLiteral("kodu"), QStringLiteral("adi"));
    lookup->bind(m_students, QStringLiteral("statu"));
    connect(lookup->link(), &controls::FieldLink::failed, this, &TFrmPSicil::showError);
    right->addWidget(lookup, 0, 0, 1, 2);

    const QString dateCaptions[] = {QStringLiteral("Staj Başlangıç Tarihi :"),
                                    QStringLiteral("Staj Bitiş Tarihi :")};
    const QString dateFields[] = {QStringLiteral("baslangictarihi"), QStringLiteral("bitistarihi")};
    for (int i = 0; i < 2; ++i) {
        auto* date = new controls::DbDateEdit(m_editPanel);
        date->setObjectName(QStringLiteral("DBDateEdit%1").arg(i + 1));
        date->setFieldName(dateCaptions[i].chopped(2)); // refusals name it by its caption
        date->setFixedWidth(130);
        date->bind(m_students, dateFields[i]);
        connect(date->link(), &controls::FieldLink::failed, this, &TFrmPSicil::showError);
        right->addWidget(fieldLabel(m_editPanel, dateCaptions[i]), i + 1, 0, Qt::AlignRight);
        right->addWidget(date, i + 1, 1);
    }

    auto* gss = new controls::DbCheckBox(QStringLiteral("Genel Sağlık Sigortası Primi ÖDENECEK"),
                                         m_editPanel);
    gss->setObjectName(QStringLiteral("DBCheckBox1"));
    gss->setFont(ui::look::verdana(11, true));
    setTextColour(gss, red);
    gss->bind(m_students, QStringLiteral("gss"));
    connect(gss->link(), &controls::FieldLink::failed, this, &TFrmPSicil::showError);
    right->addWidget(gss, 3, 0, 1, 2);
    row->addLayout(right);
    row->addStretch();
    return m_editPanel;
}

void TFrmPSicil::buildGrid()
{
    m_grid = new controls::DbGrid(this);
    m_grid->setObjectName(QStringLiteral("wwDBGrid1"));
    m_grid->datasetModel()->setObjectName(QStringLiteral("DsOgrenciGetir"));
    m_grid->setDataset(m_students);
    m_grid->setColumns(studentColumns);
    connect(m_grid, &controls::DbGrid::databaseError, this, &TFrmPSicil::showError);
    // What is being typed in a cell belongs to the row before the navigator acts on it.
    m_navigator->setBeforeAction([this] { m_grid->commitEditor(); });
}

void TFrmPSicil::openStatusList()
{
    guarded([this] {
        m_statuses->setSql(QStringLiteral("select * from statu "));
        m_statuses->open();
    });
}

void TFrmPSicil::activate()
{
    m_criteria->button(ByName)->setChecked(true);
    m_searchEdit->setFocus();
}

void TFrmPSicil::search()
{
    m_grid->commitEditor();
    m_grid->show();
    m_editPanel->show();
    // read before any question: its closing runs the activation, which resets the criterion
    const int criterion = qMax(0, m_criteria->checkedId());
    const QString searchText = m_searchEdit->text();
    if (!settlePendingChange())
        return;

    bool found = false;
    const bool ran = guarded([&] {
        m_students->prepareCall(searchProcedures[criterion],
                                {{QStringLiteral("@key1"), context().unitCode()},
                                 {QStringLiteral("@key2"), searchText}});
        m_students->open();
        found = !m_students->isEmpty();
    });
    if (!ran)
        return;
    if (!found) {
        message(QStringLiteral("Kayıt bulunamadı"));
        m_searchEdit->setFocus();
        return;
    }
    m_students->first();
    m_grid->setFocus();
    m_grid->setCurrentIndex(m_grid->model()->index(0, 0));
}

// A change not yet stored is neither stored nor dropped behind the user's back: text typed into
// the grid after a search (meant as the next search) would otherwise overwrite a student's
// number. An untouched new row or an edit that changed nothing simply goes. Returns false when
// the search must not run: the change was to be stored and the server refused it.
bool TFrmPSicil::settlePendingChange()
{
    if (!m_students->isOpen() || m_students->state() == db::Dataset::State::Browse)
        return true;
    if (!m_students->isModified()) {
        m_students->cancel();
        return true;
    }
    if (!ask(pendingChangeQuestion())) {
        m_students->cancel();
        return true;
    }
    return guarded([this] { m_students->post(); });
}

QString TFrmPSicil::pendingChangeQuestion() const
{
    const QString student = (m_students->text(QStringLiteral("ogrencino")) + QLatin1Char(' ') +
                             m_students->text(QStringLiteral("adi")) + QLatin1Char(' ') +
                             m_students->text(QStringLiteral("soyadi")))
                                .simplified();
    const QString question =
        m_students->state() == db::Dataset::State::Insert
            ? QStringLiteral("Yeni öğrenci henüz kaydedilmedi. Kaydedilsin mi?")
            : QStringLiteral("Öğrenci bilgilerindeki değişiklik henüz kaydedilmedi. "
                             "Kaydedilsin mi?");
    return student.isEmpty() ? question : student + QLatin1Char('\r') + question;
}

void TFrmPSicil::stampRow(db::Dataset& students)
{
    const bool isNew = students.state() == db::Dataset::State::Insert;
    if (isNew) {
        students.setValue(QStringLiteral("birimkodu"), context().unitCode());
        students.setValue(QStringLiteral("statu"), QStringLiteral("1"));
    }
    students.setValue(QStringLiteral("degistiren"),
                      changeStamp(QDate::currentDate(), QTime::currentTime(),
                                  isNew ? ChangeKind::FirstEntry : ChangeKind::Change,
                                  context().userName(), context().fullName()));
}

QStringList TFrmPSicil::statusCodes() const
{
    QStringList codes;
    if (!m_statuses->isOpen())
        return codes;
    const int kodu = m_statuses->requireColumn(QStringLiteral("kodu"));
    for (int row = 0; row < m_statuses->recordCount(); ++row)
        codes << m_statuses->valueAt(row, kodu).toString().trimmed();
    return codes;
}

// A row the rules refuse is not stored and stays as typed; the error box names the field. An
// identity number that fails only its own rule may be the person's real one mistyped in
// another register, so the user decides, No being the default.
void TFrmPSicil::checkRow(db::Dataset& students)
{
    const StudentValues row = studentValuesAt(students, students.currentIndex());
    QStringList refusals;
    QStringList identity;
    for (const RuleViolation& violation : checkStudent(row, statusCodes(), false))
        (violation.identityOnly ? identity : refusals) << violation.text;
    if (!refusals.isEmpty())
        throw db::DbError(QStringLiteral("Öğrenci kaydedilmedi: ") + refusals.join(u'\n'));
    if (!identity.isEmpty() &&
        !askCautiously(identity.join(u'\n') + QStringLiteral("\rYine de kaydedilsin mi?")))
        throw db::DbError(QStringLiteral("Öğrenci kaydedilmedi: ") + identity.join(u'\n'));
}

bool TFrmPSicil::hasStoredCurrentStudent() const
{
    return m_students->isOpen() && m_students->currentIndex() >= 0 &&
           m_students->state() != db::Dataset::State::Insert &&
           !m_students->value(QStringLiteral("idogrenci")).isNull();
}

QString TFrmPSicil::deleteQuestion() const
{
    return m_students->text(QStringLiteral("ogrencino")) + QLatin1Char(' ') +
           m_students->text(QStringLiteral("adi")) + QLatin1Char(' ') +
           m_students->text(QStringLiteral("soyadi")) + QLatin1Char('\r') +
           QStringLiteral("İsimli öğrenciye ait daha önceki tüm kayıtlar "
                          "(Puantaj-Tahakkuk-XML bilgileri) silinecek emin misiniz?");
}

void TFrmPSicil::reopenStudents()
{
    // Same procedure, same arguments: the list shows what the server now holds.
    m_students->close();
    m_students->open();
}

void TFrmPSicil::deleteStudent()
{
    m_grid->commitEditor();
    if (!hasStoredCurrentStudent()) {
        message(QStringLiteral("Silinecek öğrenci seçilmedi."));
        return;
    }
    const QVariant id = m_students->value(QStringLiteral("idogrenci"));
    if (!ask(deleteQuestion(), false)) {
        message(QStringLiteral("Silmekten VAZGEÇTİNİZ."));
        return;
    }

    bool deleted = false;
    const bool ran = guarded([&] {
        m_deletion->close();
        m_deletion->clearParams();
        m_deletion->setSql(QStringLiteral("select * from ogrenci where idogrenci=@id"),
                           {QStringLiteral("ogrenci"), QStringLiteral("idogrenci")});
        m_deletion->addParam(QStringLiteral("@id"), id);
        m_deletion->open();
        if (m_deletion->isEmpty())
            return;
        // The server removes the student's timesheet, accrual and declaration rows with it.
        m_deletion->deleteCurrent();
        deleted = true;
    });
    m_deletion->close();
    if (!ran)
        return; // the error box has said what went wrong; nothing is reported as deleted
    guarded([this] { reopenStudents(); });
    message(deleted ? QStringLiteral("Öğrenciye ait bilgiler SİLİNDİ")
                    : QStringLiteral("Öğrenci bulunamadı; silinmedi."));
}

void TFrmPSicil::closing()
{
    m_grid->commitEditor();
    if (m_students->state() == db::Dataset::State::Insert)
        m_students->cancel(); // a new student never stored is dropped
    else
        m_students->postIfChanged(); // a refusal keeps the window open with the change
    m_students->close();
    m_statuses->close();
    m_deletion->close();
}

} // namespace zelvo::studentregister
