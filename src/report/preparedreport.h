#pragma once

#include "report/reporterror.h"

#include <QList>
#include <QPageLayout>
#include <QRectF>
#include <QRgb>
#include <QSizeF>
#include <QString>
#include <QStringList>

class QPainter;
class QPrinter;

namespace zelvo::report {

// A font of the prepared pages.
struct PreparedFont {
    QString family;
    double pointSize = 9;
    bool bold = false;
    bool italic = false;

    friend bool operator==(const PreparedFont&, const PreparedFont&) = default;
};

// One thing drawn on a page, placed in millimetres from the page's top-left corner.
struct PreparedItem {
    enum class Kind : quint8 { Text, Line, Rect };
    Kind kind = Kind::Text;
    bool wrap = false;
    bool frame = false;      // Text: outline around the text's box
    quint16 alignment = 0;   // Qt::Alignment of a text
    int font = 0;            // index into PreparedReport::fonts()
    QRectF rect;             // Text, Rect: the box; Line: from topLeft to bottomRight
    float lineWidth = 0;     // mm; 0 draws no outline
    float padding = 0;       // mm between a text's box and its letters
    QRgb color = 0xff000000; // text, line and outline colour
    QRgb fill = 0;           // background; alpha 0 = none
    QString text;

    friend bool operator==(const PreparedItem&, const PreparedItem&) = default;
};

struct PreparedPage {
    QList<PreparedItem> items;

    friend bool operator==(const PreparedPage&, const PreparedPage&) = default;
};

// Where a searched text was found.
struct TextHit {
    int page = -1;
    int item = -1;
    int offset = -1; // position in the item's text
    int length = 0;

    bool isValid() const { return page >= 0; }
    friend bool operator==(const TextHit&, const TextHit&) = default;
};

// A laid-out report: pages of positioned texts, lines and frames, ready to paint. Cheap to
// copy (the pages are shared). It is only ever read; nothing edits a prepared report.
class PreparedReport {
public:
    PreparedReport() = default;

    QString title() const { return m_title; }
    int pageCount() const { return int(m_pages.size()); }
    // Page size in millimetres, orientation applied.
    QSizeF pageSizeMm() const { return m_pageSize; }
    // The page as a printer or PDF writer should be set up for it (no margins: the margins
    // are part of the laid-out page).
    QPageLayout pageLayout() const;
    const QList<PreparedFont>& fonts() const { return m_fonts; }
    const QList<PreparedPage>& pages() const { return m_pages; }
    // The texts of one page in the order they are drawn.
    QStringList pageTexts(int pageIndex) const;

    // Paints one page with its top-left corner at the painter's origin, at the true size of the
    // painter's device (its logical resolution), under whatever transform the painter has.
    // The one routine behind the preview, the printer and the PDF file.
    void paintPage(int pageIndex, QPainter& painter) const;

    // The next place where `text` occurs after `after` (from the start when `after` is not
    // valid), in page order; letters compared without regard to case (Turkish rules).
    // Returns an invalid hit when there is none.
    TextHit find(const QString& text, const TextHit& after = {}) const;
    // The box of a hit on its page in millimetres: the found letters on a one-line text, the
    // whole item on a wrapped one.
    QRectF hitRect(const TextHit& hit) const;

    // What a prepared report file may hold; a file claiming more is refused before anything is
    // reserved for it. Far beyond any list of a unit's students.
    static constexpr int kMaxFileFonts = 10'000;
    static constexpr int kMaxFilePages = 100'000;
    static constexpr int kMaxFilePageItems = 100'000;

    // Prepared report file (".zrp"), written atomically.
    bool save(const QString& fileName, QString* errorText = nullptr) const;
    static Result<PreparedReport> load(const QString& fileName);
    bool exportPdf(const QString& fileName, QString* errorText = nullptr) const;
    // Prints pages in the printer's range onto its paper, each page scaled to fit the paper
    // chosen for the printer (centred; never distorted).
    bool print(QPrinter& printer) const;

    // One A4 page saying that the template `fileName` could not be used, and why.
    static PreparedReport errorReport(const QString& fileName, const QString& errorText);

    friend bool operator==(const PreparedReport&, const PreparedReport&) = default;

private:
    friend class ReportBuilder;

    QString m_title;
    QSizeF m_pageSize;
    QList<PreparedFont> m_fonts;
    QList<PreparedPage> m_pages;
};

// Builds a PreparedReport; used by the layout and by errorReport().
class ReportBuilder {
public:
    ReportBuilder(const QString& title, QSizeF pageSizeMm);

    int fontIndex(const PreparedFont& font);
    PreparedPage& newPage();
    PreparedPage& page(int index) { return m_report.m_pages[index]; }
    int pageCount() const { return int(m_report.m_pages.size()); }
    PreparedReport take() { return std::move(m_report); }

private:
    PreparedReport m_report;
};

} // namespace zelvo::report
