#include "report/render.h"

#include "core/turkishtext.h"
#include "report/templatemodel.h"
#include "report/valueformat.h"

#include <QSet>

using namespace Qt::StringLiterals;

namespace zelvo::report {

using namespace detail;

namespace {

// Stands for the page count in texts until the last page is known.
constexpr QChar kPagesMarker(0xE000);
constexpr double kSlack = 0.001; // mm

struct RenderFailure {
    int line;
    int column;
    QString message;
};

struct Bound {
    enum class Op { Const, Column, Page, Pages, RowNo, PageSum, MonthName, Upper };
    Op op = Op::Const;
    Value constant;
    int column = -1;
    QList<int> columns;
    QList<Bound> args;
    int scale = 0; // PageSum: fraction digits of the result
};

struct BoundSegment {
    QString literal;
    std::optional<Bound> expr;
    const DisplayFormat* format = nullptr;
};

struct BoundItem {
    const Item* item = nullptr;
    QList<BoundSegment> segments;
    bool constant = true; // same text wherever it is printed
    QString constText;
    bool usesPages = false;
    int font = 0;
};

struct BoundBand {
    const Band* band = nullptr;
    QList<BoundItem> items;
};

struct Context {
    int row = -1;
    int page = 0;
    int pageFirstRow = 0;
    int pageLastRow = -1;
};

class Renderer {
public:
    Renderer(const TemplateModel& model, const ReportData& data, const RenderOptions& options)
        : m_model(model), m_data(data), m_builder(model.name, model.pageSizeMm())
    {
        m_printTime =
            options.printTime.isValid() ? options.printTime : QDateTime::currentDateTime();
        if (model.locale)
            m_locale = *model.locale;
        else if (options.locale)
            m_locale = *options.locale;
        else
            m_locale = QLocale().language() == QLocale::C ? core::turkishLocale() : QLocale();
    }

    PreparedReport run()
    {
        for (int t = 0; t < kBandTypeCount; ++t) {
            if (const auto& band = m_model.bands[t])
                m_bands[t] = bind(*band);
        }
        layout();
        return m_builder.take();
    }

private:
    [[noreturn]] static void fail(const Expr& e, const QString& message)
    {
        throw RenderFailure{e.line, e.column, message};
    }

    // --- binding: names to columns, constants computed once -----------------------------

    BoundBand bind(const Band& band)
    {
        BoundBand out;
        out.band = &band;
        for (const Item& item : band.items) {
            BoundItem bi;
            bi.item = &item;
            bi.font = m_builder.fontIndex(item.font);
            for (const Segment& seg : item.segments) {
                BoundSegment bs;
                bs.literal = seg.literal;
                bs.format =
                    seg.format.kind() != DisplayFormat::Kind::None ? &seg.format : &item.format;
                if (seg.expr) {
                    bs.expr = bindExpr(*seg.expr);
                    if (!isConstant(*bs.expr))
                        bi.constant = false;
                    if (usesPages(*bs.expr))
                        bi.usesPages = true;
                }
                bi.segments.append(bs);
            }
            if (bi.constant)
                bi.constText = evaluate(bi, Context{});
            out.items.append(bi);
        }
        return out;
    }

    static bool isConstant(const Bound& b)
    {
        if (b.op == Bound::Op::Const || b.op == Bound::Op::Pages)
            return std::all_of(b.args.begin(), b.args.end(), isConstant);
        if (b.op == Bound::Op::MonthName || b.op == Bound::Op::Upper)
            return isConstant(b.args.first());
        return false;
    }

    static bool usesPages(const Bound& b)
    {
        return b.op == Bound::Op::Pages || std::any_of(b.args.begin(), b.args.end(), usesPages);
    }

    Bound bindExpr(const Expr& e)
    {
        Bound b;
        if (e.kind == Expr::Kind::RecordField) {
            const auto rec = m_data.records().constFind(e.record);
            if (rec == m_data.records().constEnd())
                fail(e, u"'%1' kaydı verilmedi"_s.arg(e.record));
            const auto field = rec->constFind(e.name);
            if (field == rec->constEnd())
                fail(e, u"'%1' kaydında '%2' alanı yok"_s.arg(e.record, e.name));
            b.constant = valueFromVariant(*field);
            return b;
        }
        if (e.kind == Expr::Kind::Call)
            return bindCall(e);
        const int column = m_data.columnIndex(e.name);
        if (column >= 0) {
            b.op = Bound::Op::Column;
            b.column = column;
            return b;
        }
        const auto var = m_data.variables().constFind(e.name);
        if (var != m_data.variables().constEnd()) {
            b.constant = valueFromVariant(*var);
            return b;
        }
        if (e.name == u"page"_s)
            b.op = Bound::Op::Page;
        else if (e.name == u"pages"_s)
            b.op = Bound::Op::Pages;
        else if (e.name == u"rowno"_s)
            b.op = Bound::Op::RowNo;
        else if (e.name == u"date"_s)
            b.constant = m_printTime.date();
        else if (e.name == u"time"_s)
            b.constant = m_printTime.time().toString(u"HH:mm"_s);
        else if (e.name == u"now"_s)
            b.constant = m_printTime;
        else if (!m_data.columns().isEmpty())
            fail(e, u"bilinmeyen alan '%1'"_s.arg(e.name));
        // With no rows at all there are no columns to check against: the field prints empty.
        return b;
    }

    QList<int> columnsOf(const Expr& call)
    {
        QList<int> cols;
        for (const Expr& a : call.args) {
            const int c = m_data.columnIndex(a.name);
            if (c < 0 && !m_data.columns().isEmpty())
                fail(a, u"'%1' sütunu yok"_s.arg(a.name));
            if (c >= 0)
                cols.append(c);
        }
        return cols;
    }

    // Sum of the columns over rows [from, to] in kuruş, with the result's number of fraction
    // digits: 0 when every value is whole, otherwise 2.
    Decimal sumRows(const QList<int>& cols, int from, int to, const Expr* origin) const
    {
        qint64 total = 0;
        int scale = 0;
        const auto& rows = m_data.rows();
        for (int r = from; r <= to; ++r) {
            for (int c : cols) {
                const QVariant& v = rows[r][c];
                const Value value = valueFromVariant(v);
                if (std::holds_alternative<std::monostate>(value))
                    continue;
                if (const auto* s = std::get_if<QString>(&value); s && s->trimmed().isEmpty())
                    continue;
                const auto d = decimalOf(value);
                const auto kurus = d ? core::money::kurusFromDecimal(*d) : std::nullopt;
                if (!kurus) {
                    if (origin)
                        fail(*origin, u"'%1' sütununun %2. satırındaki değer sayı değil: %3"_s
                                          .arg(m_data.columns()[c])
                                          .arg(r + 1)
                                          .arg(v.toString()));
                    continue;
                }
                if (d->scale > 0)
                    scale = 2;
                if (__builtin_add_overflow(total, *kurus, &total)) {
                    if (origin)
                        fail(*origin, u"toplam çok büyük"_s);
                    return {};
                }
            }
        }
        return *Decimal{total, 2}.rescaled(scale);
    }

    Bound bindCall(const Expr& e)
    {
        Bound b;
        const int last = int(m_data.rowCount()) - 1;
        if (e.name == u"sum"_s) {
            b.constant = sumRows(columnsOf(e), 0, last, &e);
        } else if (e.name == u"pagesum"_s) {
            b.op = Bound::Op::PageSum;
            b.columns = columnsOf(e);
            // Checks every value once, so that page sums can no longer fail.
            b.scale = sumRows(b.columns, 0, last, &e).scale;
        } else if (e.name == u"count"_s) {
            if (e.args.isEmpty()) {
                b.constant = qint64(m_data.rowCount());
            } else {
                qint64 n = 0;
                for (int c : columnsOf(e)) {
                    for (const QVariantList& row : m_data.rows()) {
                        const Value v = valueFromVariant(row[c]);
                        const auto* s = std::get_if<QString>(&v);
                        if (!std::holds_alternative<std::monostate>(v) &&
                            !(s && s->trimmed().isEmpty()))
                            ++n;
                    }
                }
                b.constant = n;
            }
        } else {
            b.op = e.name == u"monthname"_s ? Bound::Op::MonthName : Bound::Op::Upper;
            b.args.append(bindExpr(e.args.first()));
        }
        return b;
    }

    // --- evaluation -----------------------------------------------------------------------

    Value eval(const Bound& b, const Context& ctx) const
    {
        switch (b.op) {
        case Bound::Op::Const:
            return b.constant;
        case Bound::Op::Column:
            if (ctx.row < 0)
                return std::monostate{};
            return valueFromVariant(m_data.rows()[ctx.row][b.column]);
        case Bound::Op::Page:
            return qint64(ctx.page);
        case Bound::Op::Pages:
            return QString(kPagesMarker);
        case Bound::Op::RowNo:
            return ctx.row < 0 ? Value{} : Value{qint64(ctx.row + 1)};
        case Bound::Op::PageSum: {
            const Decimal d = sumRows(b.columns, ctx.pageFirstRow, ctx.pageLastRow, nullptr);
            return *d.rescaled(b.scale);
        }
        case Bound::Op::MonthName: {
            // A month number (3, "3") or anything holding a date.
            const Value arg = eval(b.args.first(), ctx);
            const bool isDate =
                std::holds_alternative<QDate>(arg) || std::holds_alternative<QDateTime>(arg);
            if (const auto d = isDate ? std::nullopt : decimalOf(arg); d && d->scale == 0)
                return core::turkishMonthName(int(d->units));
            if (const auto dt = dateTimeOf(arg))
                return core::turkishMonthName(dt->date().month());
            return std::monostate{};
        }
        case Bound::Op::Upper:
            return core::turkishUpper(displayText(eval(b.args.first(), ctx), m_locale));
        }
        return std::monostate{};
    }

    QString evaluate(const BoundItem& item, const Context& ctx) const
    {
        if (item.segments.size() == 1 && !item.segments.first().expr)
            return item.segments.first().literal;
        QString out;
        for (const BoundSegment& seg : item.segments) {
            if (seg.expr)
                out += seg.format->apply(eval(*seg.expr, ctx), m_locale);
            else
                out += seg.literal;
        }
        return out;
    }

    // --- layout -----------------------------------------------------------------------------

    void place(const std::optional<BoundBand>& bound, const Context& ctx, bool stripe = false)
    {
        if (!bound)
            return;
        const Band& band = *bound->band;
        PreparedPage& page = m_builder.page(m_builder.pageCount() - 1);
        const double left = m_model.margins.left();
        if (stripe && band.alternateFill.isValid()) {
            PreparedItem fill;
            fill.kind = PreparedItem::Kind::Rect;
            fill.rect = QRectF(left, m_y, m_model.printableSizeMm().width(), band.height);
            fill.fill = band.alternateFill.rgba();
            page.items.append(fill);
        }
        for (const BoundItem& bi : bound->items) {
            const Item& item = *bi.item;
            PreparedItem out;
            out.rect = item.rect.translated(left, m_y);
            out.lineWidth = float(item.lineWidth);
            out.color = item.color.rgba();
            out.fill = item.fill.isValid() ? item.fill.rgba() : 0;
            switch (item.kind) {
            case Item::Kind::Line:
                out.kind = PreparedItem::Kind::Line;
                out.rect = QRectF(item.line.p1() + QPointF(left, m_y),
                                  item.line.p2() + QPointF(left, m_y));
                break;
            case Item::Kind::Rect:
                out.kind = PreparedItem::Kind::Rect;
                break;
            case Item::Kind::Text:
                out.kind = PreparedItem::Kind::Text;
                out.font = bi.font;
                out.wrap = item.wrap;
                out.frame = item.frame;
                out.alignment = quint16(item.alignment.toInt());
                out.padding = float(item.padding);
                out.text = bi.constant ? bi.constText : evaluate(bi, ctx);
                if (bi.usesPages)
                    m_pagesFixups.append({m_builder.pageCount() - 1, int(page.items.size())});
                break;
            }
            page.items.append(std::move(out));
        }
        m_y += band.height;
    }

    const std::optional<BoundBand>& bound(BandType t) const { return m_bands[std::size_t(t)]; }
    double height(BandType t) const { return m_model.bandHeight(t); }

    void startPage(int nextRow)
    {
        m_builder.newPage();
        const bool first = m_builder.pageCount() == 1;
        m_y = m_model.margins.top();
        const int rows = int(m_data.rowCount());
        m_ctx.page = m_builder.pageCount();
        m_ctx.pageFirstRow = nextRow;
        m_ctx.pageLastRow = nextRow - 1;
        Context header = m_ctx;
        header.row = rows == 0 ? -1 : std::min(nextRow, rows - 1);
        if (first)
            place(bound(BandType::Title), header);
        const auto& pageHeader = bound(BandType::PageHeader);
        if (!(first && pageHeader && pageHeader->band->skipFirstPage))
            place(pageHeader, header);
        place(bound(BandType::ColumnHeader), header);
    }

    void finishPage()
    {
        Context footer = m_ctx;
        footer.row = m_ctx.pageLastRow >= m_ctx.pageFirstRow ? m_ctx.pageLastRow
                                                             : int(m_data.rowCount()) - 1;
        m_y = m_footerTop;
        place(bound(BandType::PageFooter), footer);
    }

    void layout()
    {
        const QSizeF printable = m_model.printableSizeMm();
        m_footerTop = m_model.margins.top() + printable.height() - height(BandType::PageFooter);
        const int rows = int(m_data.rowCount());
        startPage(0);
        const auto& summaryBand = bound(BandType::Summary);
        if (const auto& detail = bound(BandType::Detail)) {
            const double h = detail->band->height;
            // The summary takes its last rows along when it has to go to a new page, so that
            // a totals line never stands alone.
            const int keep = summaryBand ? std::min(summaryBand->band->keepRows, rows) : 0;
            const double keepHeight = keep * h + (summaryBand ? summaryBand->band->height : 0);
            const double laterPageRoom = m_footerTop - m_model.margins.top() -
                                         height(BandType::PageHeader) -
                                         height(BandType::ColumnHeader);
            for (int r = 0; r < rows; ++r) {
                const bool keepTogether = keep > 0 && r == rows - keep && r > m_ctx.pageFirstRow &&
                                          m_y + keepHeight > m_footerTop + kSlack &&
                                          keepHeight <= laterPageRoom + kSlack;
                if (keepTogether || m_y + h > m_footerTop + kSlack) {
                    finishPage();
                    startPage(r);
                }
                Context ctx = m_ctx;
                ctx.row = r;
                place(detail, ctx, r % 2 == 1);
                m_ctx.pageLastRow = r;
            }
        }
        if (const auto& summary = summaryBand) {
            if (m_y + summary->band->height > m_footerTop + kSlack) {
                finishPage();
                startPage(rows);
            }
            Context ctx = m_ctx;
            ctx.row = rows - 1;
            place(summary, ctx);
        }
        finishPage();

        const QString pages = QString::number(m_builder.pageCount());
        for (const auto& [page, item] : m_pagesFixups)
            m_builder.page(page).items[item].text.replace(kPagesMarker, pages);
    }

    const TemplateModel& m_model;
    const ReportData& m_data;
    ReportBuilder m_builder;
    QDateTime m_printTime;
    QLocale m_locale;
    std::array<std::optional<BoundBand>, kBandTypeCount> m_bands;
    QList<std::pair<int, int>> m_pagesFixups;
    Context m_ctx;
    double m_y = 0;
    double m_footerTop = 0;
};

} // namespace

Result<PreparedReport> render(const Template& tmpl, const ReportData& data,
                              const RenderOptions& options)
{
    try {
        Renderer renderer(tmpl.model(), data, options);
        return renderer.run();
    } catch (const RenderFailure& f) {
        return ReportError{tmpl.fileName(), f.line, f.column, f.message};
    }
}

} // namespace zelvo::report
