#include "office/tableworkbook.h"

#include "office/messages.h"
#include "office/xlsxout.h"
#include "record/textrules.h"

#include <cmath>
#include <map>

using namespace Qt::StringLiterals;

namespace shenbao::office {
namespace {

// A spreadsheet cell holds at most 32,767 characters.
constexpr qsizetype kCellLimit = 32767;
// Rows are drawn 20 pixels high; a chart is 288 pixels high unless scaled.
constexpr double kRowPixels = 20.0, kChartPixels = 288.0;

class TableWorkbook
{
public:
    TableWorkbook(lxw_workbook* book, const std::vector<TableRow>& rows, QStringList* warnings)
        : m_book(book), m_rows(rows), m_warnings(warnings), m_bold(workbook_add_format(book))
    {
        format_set_bold(m_bold);
    }

    void applications();
    void counts();

private:
    QByteArray cellText(const QString& text, qsizetype row, const QString& column) const;
    void label(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, const QString& text) const
    {
        worksheet_write_string(sheet, row, col, text.toUtf8().constData(), m_bold);
    }
    lxw_row_t totals(lxw_worksheet* sheet) const;
    lxw_row_t countBlock(lxw_worksheet* sheet, lxw_row_t at, Field f);
    void chart(lxw_worksheet* sheet, uint8_t type, const QString& title, lxw_row_t first, lxw_row_t last,
               lxw_col_t values);

    lxw_workbook* m_book;
    const std::vector<TableRow>& m_rows;
    QStringList* m_warnings;
    lxw_format* m_bold;
    lxw_row_t m_chartAt = 0;
};

// The text of a cell as the workbook can hold it: a longer one cut, the cut marked.
QByteArray TableWorkbook::cellText(const QString& text, qsizetype row, const QString& column) const
{
    if (text.size() <= kCellLimit)
        return text.toUtf8();
    const QString mark = msg::cellCut();
    qsizetype keep = kCellLimit - mark.size();
    if (text[keep - 1].isHighSurrogate())
        --keep;
    m_warnings->append(msg::cellTooLong(row, column, text.size(), keep));
    return (text.left(keep) + mark).toUtf8();
}

void TableWorkbook::applications()
{
    lxw_worksheet* sheet = workbook_add_worksheet(m_book, msg::sheetApplications().toUtf8().constData());
    const QStringList head = tableHeadings();
    std::vector<int> widths(std::size_t(head.size()), 6);
    auto fit = [&](qsizetype col, const QString& text) {
        widths[std::size_t(col)] =
            std::min(60, std::max(widths[std::size_t(col)], gbkByteLength(QStringView(text).left(200)) + 2));
    };
    for (qsizetype c = 0; c < head.size(); ++c) {
        label(sheet, 0, lxw_col_t(c), head[c]);
        fit(c, head[c]);
    }
    for (std::size_t r = 0; r < m_rows.size(); ++r) {
        const QStringList cells = cellsOf(m_rows[r]);
        for (qsizetype c = 0; c < cells.size(); ++c) {
            const std::optional<double> number =
                c == kOutlayColumn || c == kGapsColumn ? finiteNumber(cells[c]) : std::nullopt;
            if (number)
                worksheet_write_number(sheet, lxw_row_t(r + 1), lxw_col_t(c), *number, nullptr);
            else if (!cells[c].isEmpty())
                worksheet_write_string(sheet, lxw_row_t(r + 1), lxw_col_t(c),
                                       cellText(cells[c], sheetRow(r), head[c]).constData(), nullptr);
            fit(c, cells[c]);
        }
    }
    for (std::size_t c = 0; c < widths.size(); ++c)
        worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), widths[c], nullptr);
    worksheet_freeze_panes(sheet, 1, 0);
    worksheet_autofilter(sheet, 0, 0, lxw_row_t(m_rows.size()), lxw_col_t(head.size() - 1));
}

// The applications and the funds asked for: finite numbers only, and a sum that stays finite.
// Applications are the files read as this system's; the others are counted apart, never as
// applications with every value not given. The row after the last written.
lxw_row_t TableWorkbook::totals(lxw_worksheet* sheet) const
{
    lxw_row_t at = 0;
    double outlay = 0;
    QList<qsizetype> leftOut;
    qsizetype readable = 0;
    for (std::size_t r = 0; r < m_rows.size(); ++r) {
        readable += m_rows[r].readable ? 1 : 0;
        const QString& value = m_rows[r].values[kOutlayValue];
        if (value.trimmed().isEmpty())
            continue;
        const std::optional<double> v = finiteNumber(value);
        if (v && std::isfinite(outlay + *v))
            outlay += *v;
        else
            leftOut.append(sheetRow(r));
    }
    label(sheet, at, 0, msg::applications());
    worksheet_write_number(sheet, at++, 1, double(readable), nullptr);
    if (readable < qsizetype(m_rows.size())) {
        label(sheet, at, 0, msg::filesNotRead());
        worksheet_write_number(sheet, at++, 1, double(qsizetype(m_rows.size()) - readable), nullptr);
    }
    label(sheet, at, 0, msg::outlaySum());
    worksheet_write_number(sheet, at++, 1, outlay, nullptr);
    if (!leftOut.isEmpty()) {
        label(sheet, at, 0, msg::outlayLeftOutHeading());
        worksheet_write_string(
            sheet, at++, 1, cellText(msg::outlayLeftOut(leftOut), 0, msg::outlaySum()).constData(), nullptr);
    }
    return at;
}

// A chart of a block's values, beside the counts, each bar tall enough for its label.
void TableWorkbook::chart(lxw_worksheet* sheet, uint8_t type, const QString& title, lxw_row_t first,
                          lxw_row_t last, lxw_col_t values)
{
    const QByteArray sheetName = msg::sheetCounts().toUtf8();
    lxw_chart* c = workbook_add_chart(m_book, type);
    lxw_chart_series* series = chart_add_series(c, nullptr, nullptr);
    chart_series_set_categories(series, sheetName.constData(), first, 0, last, 0);
    chart_series_set_values(series, sheetName.constData(), first, values, last, values);
    chart_title_set_name(c, title.toUtf8().constData());
    if (type == LXW_CHART_PIE) {
        chart_series_set_labels(series);
        chart_series_set_labels_percentage(series);
    } else {
        chart_legend_set_position(c, LXW_CHART_LEGEND_NONE);
    }
    const double bars = type == LXW_CHART_PIE ? 0 : double(last - first + 1);
    lxw_chart_options size{};
    size.x_scale = 1.2;
    size.y_scale = std::max(1.0, (kRowPixels * bars + 90.0) / kChartPixels);
    worksheet_insert_chart_opt(sheet, m_chartAt, 4, c, &size);
    m_chartAt += lxw_row_t(std::ceil(kChartPixels * size.y_scale / kRowPixels)) + 1;
}

// A count as a block of (value, applications), the cities' also with their funds, drawn as a
// chart. The row after the block.
lxw_row_t TableWorkbook::countBlock(lxw_worksheet* sheet, lxw_row_t at, Field f)
{
    const bool funds = f == Field::BelongCity;
    const QString title = fieldHeading(f);
    label(sheet, at, 0, title);
    label(sheet, at, 1, msg::applications());
    if (funds)
        label(sheet, at, 2, msg::outlayHeading());
    ++at;
    const qsizetype column =
        std::find(std::begin(kTableColumns), std::end(kTableColumns), f) - std::begin(kTableColumns);
    std::map<QString, std::pair<int, double>> n;
    for (const TableRow& r : m_rows)
        if (r.readable && column < r.values.size()) {
            auto& [count, sum] = n[r.values[column].isEmpty() ? msg::notGiven() : r.values[column]];
            ++count;
            if (const std::optional<double> v = finiteNumber(r.values[kOutlayValue]);
                v && std::isfinite(sum + *v))
                sum += *v;
        }
    const lxw_row_t first = at;
    for (const auto& [value, counted] : n) {
        worksheet_write_string(sheet, at, 0, cellText(value, 0, title).constData(), nullptr);
        worksheet_write_number(sheet, at, 1, counted.first, nullptr);
        if (funds)
            worksheet_write_number(sheet, at, 2, counted.second, nullptr);
        ++at;
    }
    if (n.empty())
        return at;
    if (f == Field::ProjectClass) {
        chart(sheet, LXW_CHART_PIE, msg::chartTitle(title), first, at - 1, 1);
    } else if (f != Field::BelongSystem) {
        chart(sheet, LXW_CHART_BAR, msg::chartTitle(title), first, at - 1, 1);
        if (funds)
            chart(sheet, LXW_CHART_BAR, msg::fundsChartTitle(title), first, at - 1, 2);
    }
    return at;
}

void TableWorkbook::counts()
{
    lxw_worksheet* sheet = workbook_add_worksheet(m_book, msg::sheetCounts().toUtf8().constData());
    lxw_row_t at = totals(sheet);
    for (Field f : kTableCounted)
        at = countBlock(sheet, at + 1, f);
    worksheet_set_column(sheet, 0, 0, 40, nullptr);
    worksheet_set_column(sheet, 1, 2, 14, nullptr);
    // Printed, the counts and their charts side by side on pages as wide as the paper.
    worksheet_set_landscape(sheet);
    worksheet_fit_to_pages(sheet, 1, 0);
}

} // namespace

FileResult<void> writeTableWorkbook(const std::vector<TableRow>& rows, const QString& out,
                                    QStringList* warnings)
{
    return writeXlsx(out, [&](lxw_workbook* book) -> Expected<void, QString> {
        TableWorkbook table(book, rows, warnings);
        table.applications();
        table.counts();
        return {};
    });
}

} // namespace shenbao::office
