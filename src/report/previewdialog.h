#pragma once

#include "report/preparedreport.h"

#include <QDialog>

#include <functional>

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPrinter;
class QSpinBox;
class QToolButton;

namespace zelvo::report {

class PageView;

// The modal preview of a prepared report: zoom, page navigation, find, open and save of
// prepared reports, PDF export and printing. The report itself cannot be changed here.
//
// Every control has an object name (zoomInButton, zoomOutButton, actualSizeButton,
// fitWidthButton, fitPageButton, firstPageButton, previousPageButton, pageSpinBox, pageCountLabel,
// nextPageButton, lastPageButton, findEdit, findButton, findNextButton, openButton,
// saveButton, printButton, closeButton, statusLabel, pagePositionLabel, zoomLabel, pageView).
class PreviewDialog : public QDialog {
    Q_OBJECT
public:
    explicit PreviewDialog(const PreparedReport& report, QWidget* parent = nullptr);
    ~PreviewDialog() override;

    const PreparedReport& report() const { return m_report; }
    void setReport(const PreparedReport& report);

    PageView* pageView() const { return m_view; }
    int currentPage() const; // 0-based
    TextHit currentHit() const { return m_hit; }

    // The questions the dialog asks the user. Each starts as the ordinary Qt dialog and can
    // be replaced, so that a test or a dialog service gives the answers.
    // Returns the prepared report file to open, or an empty text for "cancel".
    std::function<QString(QWidget* parent)> chooseOpenFile;
    // Returns the file to save to and sets *filter to the chosen one of kReportFilter and
    // kPdfFilter; an empty text for "cancel".
    std::function<QString(QWidget* parent, QString* filter)> chooseSaveFile;
    // Lets the user set up the printer (page range, paper, orientation); false for "cancel".
    std::function<bool(QWidget* parent, QPrinter& printer)> setupPrinter;
    // Shows a failure to the user.
    std::function<void(QWidget* parent, const QString& message)> showError;

    static const QString kReportFilter;
    static const QString kPdfFilter;

    // The name the default save question proposes; starts as the report's title made fit for a
    // file name ("Liste-1/GSS" -> "Liste-1-GSS").
    QString proposedFileName() const { return m_proposedFileName; }
    void setProposedFileName(const QString& name) { m_proposedFileName = name; }

    // The actions behind the buttons.
    void zoomIn();
    void zoomOut();
    void actualSize(); // 100 %: the paper's true size
    void fitWidth();
    void fitPage();
    void goToPage(int pageIndex);
    bool openReport();
    bool saveReport();
    bool printReport();
    bool findFirst();
    bool findNext();

private:
    // A captioned tool bar button: object name, caption, tool tip, action.
    struct ButtonSpec {
        QString name;
        QString text;
        QString tip;
        std::function<void()> action;
    };

    void setDefaultHooks();
    void addButtons(QHBoxLayout* bar, std::initializer_list<ButtonSpec> buttons);
    void addZoomButtons(QHBoxLayout* bar);
    void addPageButtons(QHBoxLayout* bar);
    void addFindAndFileButtons(QHBoxLayout* bar);
    QHBoxLayout* makeStatusRow();
    void connectControls();
    QToolButton* makeButton(const QString& objectName, const QString& text, const QString& toolTip,
                            const std::function<void()>& action);
    void updatePageControls();
    void updateZoomReadout();
    void showHit(const TextHit& hit);
    void setStatus(const QString& text);

    PreparedReport m_report;
    PageView* m_view = nullptr;
    QSpinBox* m_pageSpin = nullptr;
    QLabel* m_pageCount = nullptr;
    QLineEdit* m_findEdit = nullptr;
    QLabel* m_status = nullptr;
    QLabel* m_pagePosition = nullptr;
    QLabel* m_zoomReadout = nullptr;
    QString m_proposedFileName;
    TextHit m_hit;
    QString m_hitText;
};

// Shows a prepared report in the modal preview; returns when the user closes it.
void showPreview(const PreparedReport& report, QWidget* parent = nullptr);

} // namespace zelvo::report
