#include "declaration/tfrmxml.h"

#include "controls/dbnavigator.h"
#include "core/money.h"
#include "core/period.h"
#include "declaration/checkreport.h"
#include "declaration/datasetrows.h"
#include "declaration/declarationpreparation.h"
#include "declaration/declarationtext.h"
#include "declaration/declarationxml.h"
#include "declaration/infocsv.h"
#include "monthly/periodselector.h"
#include "report/previewdialog.h"
#include "report/report.h"
#include "ui/busycursor.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>
#include <optional>

namespace zelvo::declaration {

namespace {

const QString noRowsText =
    QStringLiteral("Seçtiğiniz aya ait kayıt bulunamadı.Lütfen öncelikle PUANTAJ ve TAHAKKUK "
                   "işlemlerini tamamlayınız.");
const QString saveTitle = QStringLiteral("Banka Dosyasını Kaydet");
const QString saveFilter = QStringLiteral("Text Dosya (*.txt)");
const QString saveSuffix = QStringLiteral("txt");

// The columns the XML file takes from the workplace row and the parameter row.
const QStringList workplaceColumns = {
    QStringLiteral("birimadi"),    QStringLiteral("isyerisicil"),
    QStringLiteral("kontrolno"),   QStringLiteral("isyeriaracino"),
    QStringLiteral("isyeriadres"), QStringLiteral("isyerivergino")};

QStringList parameterColumns(Edition edition)
{
    return {QStringLiteral("belgemahiyet"),
            edition == Edition::Gss ? QStringLiteral("belgeturuyab") : QStringLiteral("belgeturu"),
            QStringLiteral("kanunno")};
}

// The grid's thirteen columns, each titled with its column name. The student number gets the 10
// characters the register holds (an older result declared it with 9).
QVector<controls::GridColumn> gridColumns()
{
    const std::pair<const char*, int> fields[] = {{"yil", 4},
                                                  {"ay", 3},
                                                  {"ogrencino", 10},
                                                  {"adi", 13},
                                                  {"soyadi", 20},
                                                  {"tckimlikno", 11},
                                                  {"baslangictarihi", 13},
                                                  {"bitistarihi", 11},
                                                  {"pek", 9},
                                                  {"gun_1", 4},
                                                  {"girisgun", 5},
                                                  {"cikisgun", 6},
                                                  {"istencikisnedeni", 10}};
    QVector<controls::GridColumn> columns;
    for (const auto& [field, width] : fields) {
        const QString name = QString::fromLatin1(field);
        controls::GridColumn column(name, name, width, {}, Qt::AlignLeft | Qt::AlignVCenter, false,
                                    true);
        // every column but the two names holds digits
        column.measuredInCharacters =
            name == QLatin1String("adi") || name == QLatin1String("soyadi");
        columns.append(column);
    }
    return columns;
}

} // namespace

TFrmxml::TFrmxml(ui::AppContext& context, QWidget* owner, const DeclarationEdition& edition)
    : monthly::MonthlyWindow(context, edition.instanceName, QSize(1084, 740), owner),
      m_edition(edition)
{
    setMonthChain(edition.files == Edition::Gss, monthly::ChainStep::Declaration);
    m_parameters = addDataset(QStringLiteral("SpParametre"));
    m_workplace = addDataset(QStringLiteral("SpGetir"));
    m_target = addDataset(QStringLiteral("SpXml"));
    m_shown = addDataset(QStringLiteral("SpXmlListe2"));
    // the GSS edition calls procedures where the standard one runs its two statements
    m_removal =
        addDataset(edition.directStatements ? QStringLiteral("QSil") : QStringLiteral("SpSil"));
    m_source = addDataset(edition.directStatements ? QStringLiteral("QGenel1")
                                                   : QStringLiteral("SpXmlListe1"));

    QFrame* panel = buildTopPanel();
    QLabel* title = addHeading(edition.title);
    addGrid(QSize(1065, 506), gridColumns(), m_shown, true);
    QSizePolicy keepPlace = grid()->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    grid()->setSizePolicy(keepPlace);
    layOutPage(panel, title, grid(), 9);
}

QFrame* TFrmxml::buildTopPanel()
{
    constexpr int gap = 16;
    return monthly::MonthlyWindow::buildTopPanel(
        m_edition.initialYear, gap,
        [this](QFrame& panel, QHBoxLayout& row) {
            auto* steps = new QVBoxLayout;
            m_prepareButton =
                panelButton(&panel, QStringLiteral("SpeedButton1"), QStringLiteral("(1) Hesapla"),
                            QStringLiteral("hesapla"), 13);
            m_xmlButton = panelButton(&panel, QStringLiteral("SpeedButton2"),
                                      QStringLiteral("(2) SGK'ya Gidecek XML dosyasını oluştur."),
                                      QStringLiteral("xml"), 11);
            // beside step (2) and offered with it: it reads what step (2) would write
            m_checkButton = panelButton(&panel, QStringLiteral("SpeedButton12"),
                                        QStringLiteral("Denetle"), QStringLiteral("goster"), 11);
            auto* fileStep = new QHBoxLayout;
            fileStep->addWidget(m_xmlButton);
            fileStep->addSpacing(8);
            fileStep->addWidget(m_checkButton);
            steps->addWidget(m_prepareButton, 0, Qt::AlignLeft);
            steps->addLayout(fileStep);
            row.addLayout(steps);
            row.addSpacing(gap);

            auto* browse = new QVBoxLayout;
            controls::DbNavigator* navigator = addNavigator(&panel, m_shown);
            m_csvButton = panelButton(&panel, QStringLiteral("SpeedButton11"),
                                      QStringLiteral("(3) Bilgi amaçlı EXCEL dosyasını oluştur."),
                                      QStringLiteral("dosya"), 11);
            browse->addWidget(navigator, 0, Qt::AlignLeft);
            browse->addWidget(m_csvButton, 0, Qt::AlignLeft);
            row.addLayout(browse);

            m_xmlButton->hide();
            m_checkButton->hide();
            m_csvButton->hide();
            connect(m_prepareButton, &QToolButton::clicked, this, &TFrmxml::prepareRows);
            connect(m_xmlButton, &QToolButton::clicked, this, &TFrmxml::writeXmlFile);
            connect(m_csvButton, &QToolButton::clicked, this, &TFrmxml::writeCsvFile);
            connect(m_checkButton, &QToolButton::clicked, this, &TFrmxml::checkRows);
        },
        Qt::AlignTop);
}

void TFrmxml::activate()
{
    m_workplace->prepareCall(QStringLiteral("isyerigetir"),
                             {{QStringLiteral("@key1"), context().unitCode()}});
    m_workplace->open();
    for (const QString& column : m_edition.workplaceColumnsAtActivation)
        m_workplace->requireColumn(column);
    periodSelector()->loadYear(*m_parameters);
    refreshMonthState();
}

void TFrmxml::monthChosen(int)
{
    offerRows(false);
}

void TFrmxml::showStoredRows()
{
    openShownRows(m_edition, *m_shown, periodSelector()->period(), context().unitCode());
    offerRows(!m_shown->isEmpty());
}

void TFrmxml::offerRows(bool offered)
{
    grid()->setVisible(offered);
    m_xmlButton->setVisible(offered);
    m_checkButton->setVisible(offered);
    m_csvButton->setVisible(offered);
}

void TFrmxml::reportNoRows()
{
    offerRows(false);
    message(noRowsText);
}

// Step (1) reports no rows as it goes: the wait cursor alone shows that it works.
void TFrmxml::prepareRows()
{
    m_xmlButton->hide();
    m_checkButton->hide();
    m_csvButton->hide();
    const std::optional<int> rows = runReplacingStep(QString(), [this](monthly::RunProgress&) {
        return prepareDeclaration(
            m_edition, {*m_parameters, *m_removal, *m_source, *m_target, *m_shown},
            periodSelector()->period(), context().unitCode(), context().userName());
    });
    if (!rows)
        return;
    if (*rows == 0) {
        reportNoRows();
        return;
    }
    offerRows(true);
}

QString TFrmxml::chooseFile(const QString& proposedName)
{
    if (!proposedName.isEmpty())
        m_saveName = proposedName;
    const QString path =
        context().dialogs.saveFileName(this, saveTitle, saveFilter, saveSuffix, m_saveName);
    if (!path.isEmpty())
        m_saveName = path;
    return path;
}

DeclarationInput TFrmxml::fileInput() const
{
    DeclarationInput input;
    input.month = periodSelector()->month();
    input.yearText = periodSelector()->yearText();
    input.edition = m_edition.files;
    input.rows = allRows(*m_shown);
    return input;
}

DeclarationInput TFrmxml::xmlInput() const
{
    DeclarationInput input = fileInput();
    input.workplace = WorkplaceRecord::fromHash(currentRowValues(*m_workplace, workplaceColumns));
    input.parameters = ParameterRecord::fromHash(
        currentRowValues(*m_parameters, parameterColumns(m_edition.files)));
    return input;
}

// The month's minimum wage as the accrual reads it (column au + MM of the parameter row); for
// December also January's.
MinimumWage TFrmxml::minimumWage() const
{
    const auto wageOf = [this](int month) -> std::optional<qint64> {
        const QString column = QStringLiteral("au") + core::Period::twoDigits(month);
        if (!m_parameters->isOpen() || m_parameters->isEmpty() || !m_parameters->hasColumn(column))
            return std::nullopt;
        return core::money::kurusFromVariant(m_parameters->value(column));
    };
    const int month = periodSelector()->month();
    return {wageOf(month), month == 12 ? wageOf(1) : std::nullopt};
}

bool TFrmxml::writeFile(const std::function<QString()>& writer)
{
    QString failure;
    const bool read = guarded([&] {
        ui::BusyCursor busy;
        failure = writer();
    });
    if (read && !failure.isEmpty())
        showError(failure);
    return read && failure.isEmpty();
}

bool TFrmxml::readRowsToWrite(const std::function<void()>& withRows)
{
    const bool read = guarded([&] {
        openShownRows(m_edition, *m_shown, periodSelector()->period(), context().unitCode());
        if (!m_shown->isEmpty())
            withRows();
    });
    if (!read)
        return false;
    if (m_shown->isEmpty()) {
        reportNoRows();
        return false;
    }
    offerRows(true);
    return true;
}

void TFrmxml::writeXmlFile()
{
    QString monthText;
    if (!readRowsToWrite([&] { monthText = shownValueText(m_shown->value(QStringLiteral("ay"))); }))
        return;
    if (!confirmBeforeXml())
        return;
    const QString path =
        chooseFile(proposedXmlFileName(context().unitCode(), monthText, m_edition.files));
    const bool written =
        path.isEmpty() || writeFile([&] { return writeDeclarationXml(path, xmlInput()); });
    if (!written)
        return;
    m_shown->first();
    m_csvButton->show();
}

void TFrmxml::writeCsvFile()
{
    // the rows held since step (1) or (2); they are not read again
    if (!m_shown->isOpen() || m_shown->isEmpty()) {
        reportNoRows();
        return;
    }
    if (!confirmChain(monthly::ChainStep::Declaration))
        return;
    QString monthText;
    if (!guarded([&] {
            m_shown->first();
            monthText = shownValueText(m_shown->value(QStringLiteral("ay")));
        }))
        return;
    const QString path = chooseFile(proposedCsvFileName(monthText, m_edition.files));
    if (!path.isEmpty())
        writeFile([&] { return writeInfoCsv(path, fileInput()); });
    m_shown->first();
}

void TFrmxml::setTemplateFolder(const QString& folder)
{
    m_templateFolder = folder;
}

// Reads the rows afresh as step (2) does, so that what is checked is what the file would carry;
// stores nothing and writes no file.
void TFrmxml::checkRows()
{
    DeclarationInput input;
    MinimumWage wage;
    CheckResult result;
    const bool read = readRowsToWrite([&] {
        input = xmlInput();
        wage = minimumWage();
        m_shown->first();
        result = checkedRows(input, wage, true);
    });
    if (!read)
        return;
    if (result.passed()) {
        message(checkPassedText(result.rowsChecked));
        return;
    }
    showCheckReport(result, input.workplace);
}

CheckResult TFrmxml::checkedRows(const DeclarationInput& input, const MinimumWage& wage,
                                 bool withChain)
{
    ui::BusyCursor busy;
    CheckResult result = checkDeclaration(input, wage);
    if (!withChain)
        return result;
    // a file made from a stale step carries wrong values, whatever the rows look like
    const QStringList problems = monthly::MonthChain::read(context().connection, monthKey())
                                     .problems(monthly::ChainStep::Declaration);
    QList<Finding> chain;
    for (const QString& problem : problems)
        chain.append({Severity::Error,
                      0,
                      {},
                      QStringLiteral("Ayın hesapları"),
                      QStringLiteral("Ay durumu"),
                      {},
                      problem});
    result.findings = chain + result.findings;
    return result;
}

bool TFrmxml::confirmBeforeXml()
{
    if (!confirmChain(monthly::ChainStep::Declaration))
        return false;
    int errors = 0;
    if (!guarded([&] {
            const DeclarationInput input = xmlInput();
            const MinimumWage wage = minimumWage();
            m_shown->first();
            errors = checkedRows(input, wage, false).errorCount();
        }))
        return false;
    return errors == 0 ||
           context().dialogs.cautiousQuestion(
               this, QStringLiteral("Denetim %1 hata buldu; SGK bu değerleri içeren bildirgeyi "
                                    "reddeder (ayrıntılar için \"Denetle\"). Yine de XML "
                                    "dosyası oluşturulsun mu?")
                         .arg(errors));
}

// The template is read anew every time; a missing file is first put back from the bundle.
void TFrmxml::showCheckReport(const CheckResult& result, const WorkplaceRecord& workplace)
{
    report::PreparedReport prepared;
    {
        ui::BusyCursor busy;
        const QString path = checkTemplatePath(m_templateFolder.isEmpty() ? report::templateFolder()
                                                                          : m_templateFolder);
        prepared = report::prepareReport(
            path, checkReportData(result, workplace, periodSelector()->yearText(),
                                  periodSelector()->month(), m_edition.files));
    }
    report::PreviewDialog preview(prepared, this);
    askThroughDialogService(preview, context().dialogs,
                            proposedCheckReportName(periodSelector()->yearText(),
                                                    periodSelector()->month(), m_edition.files));
    runModal(preview);
}

} // namespace zelvo::declaration
