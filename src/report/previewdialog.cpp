#include "report/previewdialog.h"

#include "report/pageview.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QShortcut>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace zelvo::report {

const QString PreviewDialog::kReportFilter = u"Hazır rapor (*.zrp)"_s;
const QString PreviewDialog::kPdfFilter = u"PDF belgesi (*.pdf)"_s;

namespace {

// Characters a file name cannot hold on one of the systems the program runs on.
QString fileNameFrom(const QString& title)
{
    static const QRegularExpression unfit(uR"([\\/:*?"<>|\x00-\x1f]+)"_s);
    return title.trimmed().replace(unfit, u"-"_s);
}

QFrame* separator(QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

PreviewDialog::PreviewDialog(const PreparedReport& report, QWidget* parent)
    : QDialog(parent), m_report(report)
{
    setObjectName(u"previewDialog"_s);
    setWindowTitle(m_report.title().isEmpty() ? u"Rapor önizleme"_s
                                              : u"Rapor önizleme - %1"_s.arg(m_report.title()));
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    m_proposedFileName = fileNameFrom(m_report.title());
    setDefaultHooks();

    auto* bar = new QHBoxLayout;
    bar->setSpacing(4);
    addZoomButtons(bar);
    bar->addWidget(separator(this));
    addPageButtons(bar);
    bar->addWidget(separator(this));
    addFindAndFileButtons(bar);

    m_view = new PageView(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 4);
    layout->setSpacing(4);
    layout->addLayout(bar);
    layout->addWidget(m_view, 1);
    layout->addLayout(makeStatusRow());
    connectControls();

    m_view->setReport(&m_report);
    m_view->setFocus();
    updatePageControls();
    resize(std::max(1100, sizeHint().width()), 760);
    updateZoomReadout();
}

// The file dialogs, the print dialog and the error box; tests replace them.
void PreviewDialog::setDefaultHooks()
{
    chooseOpenFile = [](QWidget* p) {
        return QFileDialog::getOpenFileName(p, u"Hazır rapor aç"_s, QString(), kReportFilter);
    };
    chooseSaveFile = [this](QWidget* p, QString* filter) {
        return QFileDialog::getSaveFileName(p, u"Raporu kaydet"_s, m_proposedFileName,
                                            kReportFilter + u";;"_s + kPdfFilter, filter);
    };
    setupPrinter = [](QWidget* p, QPrinter& printer) {
        QPrintDialog dialog(&printer, p);
        dialog.setWindowTitle(u"Yazdır"_s);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
        return dialog.exec() == QDialog::Accepted;
    };
    showError = [](QWidget* p, const QString& message) {
        QMessageBox::critical(p, u"Rapor"_s, message);
    };
}

void PreviewDialog::addButtons(QHBoxLayout* bar, std::initializer_list<ButtonSpec> buttons)
{
    for (const ButtonSpec& b : buttons)
        bar->addWidget(makeButton(b.name, b.text, b.tip, b.action));
}

void PreviewDialog::addZoomButtons(QHBoxLayout* bar)
{
    const std::initializer_list<ButtonSpec> zoom = {
        {u"zoomInButton"_s, u"Yakınlaştır"_s, u"Sayfayı büyüt (Ctrl++)"_s, [this] { zoomIn(); }},
        {u"zoomOutButton"_s, u"Uzaklaştır"_s, u"Sayfayı küçült (Ctrl+-)"_s, [this] { zoomOut(); }},
        {u"actualSizeButton"_s, u"100 %"_s, u"Kağıdın gerçek boyutu (Ctrl+0)"_s,
         [this] { actualSize(); }},
        {u"fitWidthButton"_s, u"Sayfa genişliği"_s, u"Sayfayı pencerenin genişliğine sığdır"_s,
         [this] { fitWidth(); }},
        {u"fitPageButton"_s, u"Tam sayfa"_s, u"Bütün sayfayı göster"_s, [this] { fitPage(); }},
    };
    addButtons(bar, zoom);
}

void PreviewDialog::addPageButtons(QHBoxLayout* bar)
{
    const auto add = [bar](QWidget* w) { bar->addWidget(w); };
    QToolButton* first =
        makeButton(u"firstPageButton"_s, QString(), u"İlk sayfa"_s, [this] { goToPage(0); });
    first->setIcon(style()->standardIcon(QStyle::SP_MediaSkipBackward));
    QToolButton* previous = makeButton(u"previousPageButton"_s, QString(), u"Önceki sayfa"_s,
                                       [this] { goToPage(currentPage() - 1); });
    previous->setIcon(style()->standardIcon(QStyle::SP_MediaSeekBackward));
    add(first);
    add(previous);
    auto* pageLabel = new QLabel(u"Sayfa"_s, this);
    add(pageLabel);
    m_pageSpin = new QSpinBox(this);
    m_pageSpin->setObjectName(u"pageSpinBox"_s);
    m_pageSpin->setKeyboardTracking(false);
    m_pageSpin->setButtonSymbols(QAbstractSpinBox::NoButtons);
    m_pageSpin->setAlignment(Qt::AlignRight);
    m_pageSpin->setMinimumWidth(56);
    pageLabel->setBuddy(m_pageSpin);
    add(m_pageSpin);
    m_pageCount = new QLabel(this);
    m_pageCount->setObjectName(u"pageCountLabel"_s);
    add(m_pageCount);
    QToolButton* next = makeButton(u"nextPageButton"_s, QString(), u"Sonraki sayfa"_s,
                                   [this] { goToPage(currentPage() + 1); });
    next->setIcon(style()->standardIcon(QStyle::SP_MediaSeekForward));
    QToolButton* last = makeButton(u"lastPageButton"_s, QString(), u"Son sayfa"_s,
                                   [this] { goToPage(m_report.pageCount() - 1); });
    last->setIcon(style()->standardIcon(QStyle::SP_MediaSkipForward));
    add(next);
    add(last);
}

void PreviewDialog::addFindAndFileButtons(QHBoxLayout* bar)
{
    m_findEdit = new QLineEdit(this);
    m_findEdit->setObjectName(u"findEdit"_s);
    m_findEdit->setPlaceholderText(u"Aranacak metin"_s);
    m_findEdit->setClearButtonEnabled(true);
    m_findEdit->setMinimumWidth(140);
    bar->addWidget(m_findEdit);
    const std::initializer_list<ButtonSpec> find = {
        {u"findButton"_s, u"Bul"_s, u"Metni ilk sayfadan başlayarak ara (Ctrl+F)"_s,
         [this] { findFirst(); }},
        {u"findNextButton"_s, u"Sonrakini bul"_s, u"Bir sonraki yeri bul (F3)"_s,
         [this] { findNext(); }},
    };
    addButtons(bar, find);
    bar->addWidget(separator(this));
    const std::initializer_list<ButtonSpec> file = {
        {u"openButton"_s, u"Aç"_s, u"Kaydedilmiş bir hazır raporu aç"_s, [this] { openReport(); }},
        {u"saveButton"_s, u"Kaydet"_s, u"Hazır rapor ya da PDF olarak kaydet"_s,
         [this] { saveReport(); }},
        {u"printButton"_s, u"Yazdır"_s, u"Yazıcıya gönder (Ctrl+P)"_s, [this] { printReport(); }},
    };
    addButtons(bar, file);
    bar->addStretch(1);
    bar->addWidget(makeButton(u"closeButton"_s, u"Kapat"_s, u"Önizlemeyi kapat (Esc)"_s,
                              [this] { reject(); }));
}

QHBoxLayout* PreviewDialog::makeStatusRow()
{
    m_status = new QLabel(this);
    m_status->setObjectName(u"statusLabel"_s);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_pagePosition = new QLabel(this);
    m_pagePosition->setObjectName(u"pagePositionLabel"_s);
    m_zoomReadout = new QLabel(this);
    m_zoomReadout->setObjectName(u"zoomLabel"_s);
    m_zoomReadout->setToolTip(u"Büyütme: kağıdın gerçek boyutuna göre (Ctrl + tekerlek)"_s);
    m_zoomReadout->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_zoomReadout->setMinimumWidth(m_zoomReadout->fontMetrics().horizontalAdvance(u"800 %"_s));

    auto* statusRow = new QHBoxLayout;
    statusRow->setSpacing(12);
    statusRow->addWidget(m_status, 1);
    statusRow->addWidget(m_pagePosition);
    statusRow->addWidget(m_zoomReadout);

    return statusRow;
}

void PreviewDialog::connectControls()
{
    connect(m_pageSpin, &QSpinBox::valueChanged, this, [this](int value) {
        if (value - 1 != m_view->currentPage())
            m_view->showPage(value - 1);
    });
    connect(m_view, &PageView::currentPageChanged, this, [this] { updatePageControls(); });
    connect(m_view, &PageView::zoomChanged, this, [this] { updateZoomReadout(); });
    connect(m_findEdit, &QLineEdit::returnPressed, this, [this] { findNext(); });
    const auto shortcut = [this](const QKeySequence& key, const std::function<void()>& f) {
        connect(new QShortcut(key, this), &QShortcut::activated, this, f);
    };
    shortcut(QKeySequence::ZoomIn, [this] { zoomIn(); });
    shortcut(QKeySequence::ZoomOut, [this] { zoomOut(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_0), [this] { actualSize(); });
    shortcut(QKeySequence::Find, [this] {
        m_findEdit->setFocus();
        m_findEdit->selectAll();
    });
    shortcut(QKeySequence::FindNext, [this] { findNext(); });
    shortcut(QKeySequence::Print, [this] { printReport(); });
}

PreviewDialog::~PreviewDialog() = default;

QToolButton* PreviewDialog::makeButton(const QString& objectName, const QString& text,
                                       const QString& toolTip, const std::function<void()>& action)
{
    auto* button = new QToolButton(this);
    button->setObjectName(objectName);
    button->setText(text);
    button->setToolTip(toolTip);
    button->setAutoRaise(true);
    button->setToolButtonStyle(text.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextOnly);
    if (text.isEmpty())
        button->setAccessibleName(toolTip);
    connect(button, &QToolButton::clicked, this, action);
    return button;
}

void PreviewDialog::setReport(const PreparedReport& report)
{
    m_report = report;
    m_hit = {};
    m_view->setReport(&m_report);
    setWindowTitle(m_report.title().isEmpty() ? u"Rapor önizleme"_s
                                              : u"Rapor önizleme - %1"_s.arg(m_report.title()));
    updatePageControls();
}

int PreviewDialog::currentPage() const
{
    return m_view->currentPage();
}

void PreviewDialog::updatePageControls()
{
    const int pages = m_report.pageCount();
    const QSignalBlocker block(m_pageSpin);
    m_pageSpin->setRange(pages > 0 ? 1 : 0, pages);
    m_pageSpin->setValue(pages > 0 ? m_view->currentPage() + 1 : 0);
    m_pageCount->setText(u"/ %1"_s.arg(pages));
    m_pagePosition->setText(pages > 0 ? u"Sayfa %1 / %2"_s.arg(m_view->currentPage() + 1).arg(pages)
                                      : QString());
    const int page = m_view->currentPage();
    for (const auto& [name, enabled] :
         {std::pair{u"firstPageButton"_s, page > 0}, std::pair{u"previousPageButton"_s, page > 0},
          std::pair{u"nextPageButton"_s, page < pages - 1},
          std::pair{u"lastPageButton"_s, page < pages - 1}}) {
        if (auto* b = findChild<QToolButton*>(name))
            b->setEnabled(enabled);
    }
}

void PreviewDialog::zoomIn()
{
    m_view->setZoom(m_view->zoom() * 1.25);
}

void PreviewDialog::zoomOut()
{
    m_view->setZoom(m_view->zoom() / 1.25);
}

void PreviewDialog::actualSize()
{
    m_view->setZoom(1.0);
}

void PreviewDialog::updateZoomReadout()
{
    m_zoomReadout->setText(u"%1 %"_s.arg(qRound(m_view->zoom() * 100)));
}

void PreviewDialog::fitWidth()
{
    m_view->setFitMode(PageView::FitMode::Width);
}

void PreviewDialog::fitPage()
{
    m_view->setFitMode(PageView::FitMode::Page);
}

void PreviewDialog::goToPage(int pageIndex)
{
    if (m_report.pageCount() == 0)
        return;
    m_view->showPage(std::clamp(pageIndex, 0, m_report.pageCount() - 1));
    updatePageControls();
}

void PreviewDialog::setStatus(const QString& text)
{
    m_status->setText(text);
}

bool PreviewDialog::openReport()
{
    const QString fileName = chooseOpenFile ? chooseOpenFile(this) : QString();
    if (fileName.isEmpty())
        return false;
    auto loaded = PreparedReport::load(fileName);
    if (!loaded) {
        if (showError)
            showError(this, loaded.error().toString());
        return false;
    }
    setReport(std::move(loaded).value());
    setStatus(u"Açıldı: %1"_s.arg(QDir::toNativeSeparators(fileName)));
    return true;
}

bool PreviewDialog::saveReport()
{
    QString filter = kReportFilter;
    QString fileName = chooseSaveFile ? chooseSaveFile(this, &filter) : QString();
    if (fileName.isEmpty())
        return false;
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    const bool pdf = suffix == u"pdf"_s || (suffix != u"zrp"_s && filter == kPdfFilter);
    if (suffix.isEmpty())
        fileName += pdf ? u".pdf"_s : u".zrp"_s;
    QString error;
    const bool ok = pdf ? m_report.exportPdf(fileName, &error) : m_report.save(fileName, &error);
    if (!ok) {
        if (showError)
            showError(this, u"%1 yazılamadı: %2"_s.arg(QDir::toNativeSeparators(fileName), error));
        return false;
    }
    setStatus(u"Kaydedildi: %1"_s.arg(QDir::toNativeSeparators(fileName)));
    return true;
}

bool PreviewDialog::printReport()
{
    if (m_report.pageCount() == 0)
        return false;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(m_report.pageLayout());
    printer.setDocName(m_report.title());
    printer.setFromTo(1, m_report.pageCount());
    printer.setPrintRange(QPrinter::AllPages);
    if (!setupPrinter || !setupPrinter(this, printer))
        return false;
    if (!m_report.print(printer)) {
        if (showError)
            showError(this, u"Rapor yazdırılamadı."_s);
        return false;
    }
    setStatus(u"Yazdırıldı."_s);
    return true;
}

void PreviewDialog::showHit(const TextHit& hit)
{
    m_hit = hit;
    if (!hit.isValid()) {
        m_view->setHighlight(-1, {});
        return;
    }
    m_view->setHighlight(hit.page, m_report.hitRect(hit));
    updatePageControls();
}

bool PreviewDialog::findFirst()
{
    const QString text = m_findEdit->text();
    if (text.isEmpty()) {
        setStatus(u"Aranacak metni yazın."_s);
        m_findEdit->setFocus();
        return false;
    }
    m_hitText = text;
    const TextHit hit = m_report.find(text);
    showHit(hit);
    setStatus(hit.isValid() ? u"\"%1\" bulundu: sayfa %2."_s.arg(text).arg(hit.page + 1)
                            : u"\"%1\" bulunamadı."_s.arg(text));
    return hit.isValid();
}

bool PreviewDialog::findNext()
{
    const QString text = m_findEdit->text();
    if (text.isEmpty() || text != m_hitText || !m_hit.isValid())
        return findFirst();
    TextHit hit = m_report.find(text, m_hit);
    bool wrapped = false;
    if (!hit.isValid()) {
        hit = m_report.find(text);
        wrapped = true;
    }
    showHit(hit);
    if (!hit.isValid())
        setStatus(u"\"%1\" bulunamadı."_s.arg(text));
    else if (wrapped)
        setStatus(u"Son yere gelindi, baştan arandı: sayfa %1."_s.arg(hit.page + 1));
    else
        setStatus(u"\"%1\" bulundu: sayfa %2."_s.arg(text).arg(hit.page + 1));
    return hit.isValid();
}

void showPreview(const PreparedReport& report, QWidget* parent)
{
    PreviewDialog dialog(report, parent);
    dialog.exec();
}

} // namespace zelvo::report
