// xdxtool table: the list of a round's applications for the review meeting, one row a file.
#include "cli/commands.h"
#include "cli/inputs.h"
#include "cli/messages.h"
#include "cli/roundtable.h"
#include "cli/similar.h"
#include "files/files.h"
#include "record/textrules.h"
#include "session/session.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <iterator>
#include <map>
#include <vector>

#ifdef SHENBAO_HAVE_XLSX
#include <xlsxwriter.h>
#endif

using namespace Qt::StringLiterals;

namespace shenbao::cli {
namespace {

// The fields the meeting sorts by, in the table's order after file, status, gaps and official.
constexpr Field kColumns[] = {
    Field::ProjectName, Field::Presider,      Field::Sex,           Field::Birthday,     Field::DutySpecial,
    Field::Department,  Field::BelongCity,    Field::BelongSystem,  Field::ProjectClass, Field::SubjectClass,
    Field::ResearchClass, Field::ApplyOutlay, Field::ExpectCompleteDate,
};
constexpr Field kAfterParticipants[] = {Field::ContactMobile, Field::ContactMail};
// The counts of the second sheet.
constexpr Field kCounted[] = {Field::BelongCity, Field::SubjectClass, Field::ProjectClass, Field::BelongSystem};

struct Row
{
    DocumentResult document;
    QString file;        // as the table names it: relative to the table's folder
    bool readable = false; // read as this system's document: the fields below are its
    qsizetype gaps = 0;
    bool official = false;
    QStringList values;  // kColumns, then participants, then kAfterParticipants
    QString idCard;      // for the duplicate marks
    QString duplicateOf; // the mark
    SimilarityEntry texts;   // empty unless read whole

    QString mostSimilar;
};

QString heading(Field f)
{
    QString caption = QString::fromUtf16(fieldSpec(f).caption).trimmed();
    while (caption.endsWith(u'：') || caption.endsWith(u':'))
        caption.chop(1);
    return caption.trimmed();
}

QStringList headings()
{
    QStringList h = msg::tableLeadingHeadings();
    for (Field f : kColumns)
        h.append(heading(f));
    h.append(msg::participantsHeading());
    for (Field f : kAfterParticipants)
        h.append(heading(f));
    h.append(msg::duplicateHeading());
    h.append(msg::reasonHeading());
    h.append(msg::mostSimilarHeading());
    return h;
}

// Where the funds and the gaps stand: numbers in the XLSX, summed on the counts sheet.
constexpr qsizetype kOutlayValue =
    std::find(std::begin(kColumns), std::end(kColumns), Field::ApplyOutlay) - std::begin(kColumns);
constexpr qsizetype kLeadingColumns = 4; // file, status, gaps, official
constexpr qsizetype kGapsColumn = 2;
constexpr qsizetype kOutlayColumn = kLeadingColumns + kOutlayValue;

// The spreadsheet's own number of the row of rows[index]: the heading is row 1.
qsizetype sheetRow(std::size_t index)
{
    return qsizetype(index) + 2;
}

Row rowOf(const QString& file)
{
    const OpenedDocument v = openDocument(file);
    Row row;
    row.document = documentResult(v);
    row.official = v.official();
    row.gaps = v.errorList ? v.errorList->size() : 0;
    row.readable = v.status() == OpenStatus::Loaded || v.status() == OpenStatus::Hollow;
    if (!row.readable) {
        row.values = QStringList(std::size(kColumns) + 1 + std::size(kAfterParticipants), QString());
        return row;
    }
    for (Field f : kColumns)
        row.values.append(v.record.value(f));
    const TableGrid& actors = v.record.table(Field::MainActor);
    int participants = 0;
    for (int r = 1; r <= actors.rows(); ++r)
        if (!actors.cell(r, 0).trimmed().isEmpty())
            ++participants;
    row.values.append(QString::number(participants));
    for (Field f : kAfterParticipants)
        row.values.append(v.record.value(f));
    row.idCard = v.record.value(Field::IDcard).trimmed().toUpper();
    if (v.status() == OpenStatus::Loaded)
        row.texts = similarityEntryOf(v.record);
    return row;
}

// Likely the same application twice: the same leader's ID card, or the same title and leader.
void markDuplicates(std::vector<Row>& rows)
{
    std::map<QString, qsizetype> byId, byTitle;
    for (qsizetype i = 0; i < qsizetype(rows.size()); ++i) {
        Row& r = rows[std::size_t(i)];
        if (!r.readable)
            continue;
        const QString title = r.values[0].simplified() + u'\n' + r.values[1].simplified();
        if (!r.idCard.isEmpty()) {
            const auto [it, fresh] = byId.emplace(r.idCard, i);
            if (!fresh) {
                r.duplicateOf = msg::duplicateOf(sheetRow(std::size_t(it->second)), rows[std::size_t(it->second)].file,
                                                 msg::sameIdCard());
                continue;
            }
        }
        if (!r.values[0].trimmed().isEmpty() && !r.values[1].trimmed().isEmpty()) {
            const auto [it, fresh] = byTitle.emplace(title, i);
            if (!fresh)
                r.duplicateOf =
                    msg::duplicateOf(sheetRow(std::size_t(it->second)), rows[std::size_t(it->second)].file,
                                     msg::sameTitleAndLeader());
        }
    }
}

// Each row's most similar other row, of those that copy each other (xdxtool similar): in a
// family of alike applications, the first other member; else the row of the pair with the
// highest score (a family's pairs through its first member, for each of its members).
void markMostSimilar(std::vector<Row>& rows, int jobs)
{
    std::vector<SimilarityEntry> entries;
    for (Row& r : rows)
        entries.push_back(std::move(r.texts));
    const SimilarityIndex index(std::move(entries));
    std::vector<std::vector<int>> familyOf(rows.size());
    for (const std::vector<int>& f : index.families())
        for (const int m : f)
            familyOf[std::size_t(m)] = f;
    std::vector<double> best(rows.size(), 0.0);
    std::vector<int> bestRow(rows.size(), -1);
    const auto offer = [&](int row, int other, double score) {
        if (score > best[std::size_t(row)] || (score == best[std::size_t(row)] && other < bestRow[std::size_t(row)])) {
            best[std::size_t(row)] = score;
            bestRow[std::size_t(row)] = other;
        }
    };
    similarFindings(index, jobs, false, [&](const SimilarFinding& f) {
        if (f.isFamily()) {
            for (const int m : f.members)
                offer(m, m == f.members[0] ? f.members[1] : f.members[0], 1.0);
            return true;
        }
        const auto membersOf = [&](int r) { return familyOf[std::size_t(r)].empty() ? std::vector<int>{r} : familyOf[std::size_t(r)]; };
        for (const int x : membersOf(f.a))
            offer(x, f.b, f.similarity.score);
        for (const int y : membersOf(f.b))
            offer(y, f.a, f.similarity.score);
        return true;
    });
    for (std::size_t r = 0; r < rows.size(); ++r)
        if (const int other = bestRow[r]; other >= 0)
            rows[r].mostSimilar = msg::mostSimilar(sheetRow(std::size_t(other)), rows[std::size_t(other)].file, best[r]);
}

QStringList cellsOf(const Row& r)
{
    QStringList cells{r.file, outcomeWord(r.document.outcome), QString::number(r.gaps),
                      r.official ? msg::yes() : msg::no()};
    for (const QString& v : r.values)
        cells.append(visibleControls(v));
    cells.append(r.duplicateOf);
    cells.append(visibleControls(r.document.message.split(u"\r\n"_s, Qt::SkipEmptyParts).join(u' ')));
    cells.append(r.mostSimilar);
    return cells;
}

QByteArray csvOf(const std::vector<Row>& rows)
{
    QString text;
    auto line = [&](const QStringList& cells) {
        QStringList safe;
        for (const QString& c : cells)
            safe.append(csvCell(c));
        text += safe.join(u',') + u"\r\n"_s;
    };
    line(headings());
    for (const Row& r : rows)
        line(cellsOf(r));
    // UTF-8 with a byte-order mark: a spreadsheet program opens it in Chinese without asking.
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

// A funds value the XLSX may hold as a number: finite (inf and nan would spoil the workbook).
std::optional<double> finiteNumber(const QString& text)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

#ifdef SHENBAO_HAVE_XLSX

// A spreadsheet cell holds at most 32,767 characters.
constexpr qsizetype kCellLimit = 32767;

struct Workbook
{
    const std::vector<Row>& rows;
    QStringList* warnings;

    // The text of a cell as the workbook can hold it: a longer one cut, the cut marked.
    QByteArray cellText(const QString& text, qsizetype row, const QString& column) const
    {
        if (text.size() <= kCellLimit)
            return text.toUtf8();
        const QString mark = msg::cellCut();
        qsizetype keep = kCellLimit - mark.size();
        if (text[keep - 1].isHighSurrogate())
            --keep;
        warnings->append(msg::cellTooLong(row, column, text.size(), keep));
        return (text.left(keep) + mark).toUtf8();
    }

    bool write(const QString& path, QString* error) const;
};

bool Workbook::write(const QString& path, QString* error) const
{
    lxw_workbook* book = workbook_new(pathToSystem(path).constData());
    if (!book) {
        *error = msg::xlsxFailed(QString::fromUtf8(lxw_strerror(LXW_ERROR_CREATING_XLSX_FILE)));
        return false;
    }
    lxw_worksheet* sheet = workbook_add_worksheet(book, msg::sheetApplications().toUtf8().constData());
    lxw_format* bold = workbook_add_format(book);
    format_set_bold(bold);
    const QStringList head = headings();
    std::vector<int> widths(std::size_t(head.size()), 6);
    auto fit = [&](qsizetype col, const QString& text) {
        widths[std::size_t(col)] =
            std::min(60, std::max(widths[std::size_t(col)], gbkByteLength(QStringView(text).left(200)) + 2));
    };
    for (qsizetype c = 0; c < head.size(); ++c) {
        worksheet_write_string(sheet, 0, lxw_col_t(c), head[c].toUtf8().constData(), bold);
        fit(c, head[c]);
    }
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const QStringList cells = cellsOf(rows[r]);
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
    worksheet_autofilter(sheet, 0, 0, lxw_row_t(rows.size()), lxw_col_t(head.size() - 1));

    // The counts, and the funds asked for: finite numbers only, and a sum that stays finite.
    lxw_worksheet* counts = workbook_add_worksheet(book, msg::sheetCounts().toUtf8().constData());
    lxw_row_t at = 0;
    double outlay = 0;
    QList<qsizetype> leftOut;
    qsizetype readable = 0;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        readable += rows[r].readable ? 1 : 0;
        const QString& value = rows[r].values[kOutlayValue];
        if (value.trimmed().isEmpty())
            continue;
        const std::optional<double> v = finiteNumber(value);
        if (v && std::isfinite(outlay + *v))
            outlay += *v;
        else
            leftOut.append(sheetRow(r));
    }
    // Applications are the files read as this system's; the others are counted apart, never
    // as applications with every value not given.
    worksheet_write_string(counts, at, 0, msg::applications().toUtf8().constData(), bold);
    worksheet_write_number(counts, at++, 1, double(readable), nullptr);
    if (readable < qsizetype(rows.size())) {
        worksheet_write_string(counts, at, 0, msg::filesNotRead().toUtf8().constData(), bold);
        worksheet_write_number(counts, at++, 1, double(qsizetype(rows.size()) - readable), nullptr);
    }
    worksheet_write_string(counts, at, 0, msg::outlaySum().toUtf8().constData(), bold);
    worksheet_write_number(counts, at++, 1, outlay, nullptr);
    if (!leftOut.isEmpty()) {
        worksheet_write_string(counts, at, 0, msg::outlayLeftOutHeading().toUtf8().constData(), bold);
        worksheet_write_string(counts, at++, 1, cellText(msg::outlayLeftOut(leftOut), 0, msg::outlaySum()).constData(),
                               nullptr);
    }
    // Each count a block of (value, applications), the cities' also with their funds; each block
    // drawn as a chart beside the counts, where a spreadsheet program shows them.
    const QByteArray sheetName = msg::sheetCounts().toUtf8();
    lxw_row_t chartAt = 0;
    auto chart = [&](uint8_t type, const QString& title, lxw_row_t first, lxw_row_t last, lxw_col_t values) {
        lxw_chart* c = workbook_add_chart(book, type);
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
        // A bar a value, each tall enough for its label (the default 288 pixels hold about ten).
        const double bars = type == LXW_CHART_PIE ? 0 : double(last - first + 1);
        lxw_chart_options size{};
        size.x_scale = 1.2;
        size.y_scale = std::max(1.0, (20.0 * bars + 90.0) / 288.0);
        worksheet_insert_chart_opt(counts, chartAt, 4, c, &size);
        chartAt += lxw_row_t(std::ceil(288.0 * size.y_scale / 20.0)) + 1; // rows are 20 pixels high
    };
    for (Field f : kCounted) {
        ++at;
        const bool funds = f == Field::BelongCity;
        worksheet_write_string(counts, at, 0, heading(f).toUtf8().constData(), bold);
        worksheet_write_string(counts, at, 1, msg::applications().toUtf8().constData(), bold);
        if (funds)
            worksheet_write_string(counts, at, 2, msg::outlayHeading().toUtf8().constData(), bold);
        ++at;
        const qsizetype column = std::find(std::begin(kColumns), std::end(kColumns), f) - std::begin(kColumns);
        std::map<QString, std::pair<int, double>> n;
        for (const Row& r : rows)
            if (r.readable && column < r.values.size()) {
                auto& [count, sum] = n[r.values[column].isEmpty() ? msg::notGiven() : r.values[column]];
                ++count;
                if (const std::optional<double> v = finiteNumber(r.values[kOutlayValue]);
                    v && std::isfinite(sum + *v))
                    sum += *v;
            }
        const lxw_row_t first = at;
        for (const auto& [value, counted] : n) {
            worksheet_write_string(counts, at, 0, cellText(value, 0, heading(f)).constData(), nullptr);
            worksheet_write_number(counts, at, 1, counted.first, nullptr);
            if (funds)
                worksheet_write_number(counts, at, 2, counted.second, nullptr);
            ++at;
        }
        if (n.empty())
            continue;
        const QString title = heading(f);
        if (f == Field::ProjectClass) {
            chart(LXW_CHART_PIE, msg::chartTitle(title), first, at - 1, 1);
        } else if (f != Field::BelongSystem) {
            chart(LXW_CHART_BAR, msg::chartTitle(title), first, at - 1, 1);
            if (funds)
                chart(LXW_CHART_BAR, msg::fundsChartTitle(title), first, at - 1, 2);
        }
    }
    worksheet_set_column(counts, 0, 0, 40, nullptr);
    worksheet_set_column(counts, 1, 2, 14, nullptr);
    // Printed, the counts and their charts side by side on pages as wide as the paper.
    worksheet_set_landscape(counts);
    worksheet_fit_to_pages(counts, 1, 0);
    const lxw_error closed = workbook_close(book);
    if (closed != LXW_NO_ERROR) {
        *error = msg::xlsxFailed(QString::fromUtf8(lxw_strerror(closed)));
        return false;
    }
    return true;
}

#endif

// The output, put in place whole: CSV from memory, XLSX copied in pieces from where
// libxlsxwriter (which wants a path of its own) wrote it.
FileResult<void> writeTable(const std::vector<Row>& rows, const QString& out, bool csv, QStringList* warnings)
{
    if (csv)
        return replaceFile(out, csvOf(rows));
#ifdef SHENBAO_HAVE_XLSX
    const RunFolder scratch(u"xdxtool"_s);
    if (!scratch.path())
        return fileFailure(FileError::system(msg::xlsxFailed(scratch.path().error().why())));
    const QString temporary = *scratch.path() + u"/round.xlsx"_s;
    QString error;
    if (!Workbook{rows, warnings}.write(temporary, &error))
        return fileFailure(FileError::system(error));
    return replaceFileWith(out, [&](QIODevice& device, QString* why) {
        bool wrote = true;
        const FileResult<void> copied =
            readRegularFileInPieces(temporary, qint64(1) << 32, 1 << 20, [&](QByteArrayView piece) {
                wrote = device.write(piece.data(), piece.size()) == piece.size();
                return wrote;
            });
        if (!copied) {
            *why = msg::xlsxFailed(copied.error().why());
            return false;
        }
        return wrote; // else the device's failure is the reason
    });
#else
    Q_UNUSED(warnings);
    return fileFailure(FileError::system(msg::noXlsxHere()));
#endif
}

} // namespace

int tableCommand(Invocation& invocation)
{
    const QString out = invocation.value(u"o");
    const QString suffix = QFileInfo(out).suffix().toLower();
    if (out.isEmpty() || (suffix != u"csv" && suffix != u"xlsx"))
        return invocation.usageError(msg::wantTableOutput());
#ifndef SHENBAO_HAVE_XLSX
    if (suffix == u"xlsx")
        return invocation.usageError(msg::noXlsxHere());
#endif
    const std::optional<QStringList> inputs = invocation.files();
    if (!inputs)
        return invocation.status();
    const QStringList& files = *inputs;
    // "-o" naming one of the documents would replace the application with the table.
    if (const std::optional<FileIdentity> output = fileIdentity(out))
        for (const QString& f : files)
            if (fileIdentity(f) == output)
                return invocation.usageError(msg::outputIsInput(shownPath(out)));

    const TableNames names(out);
    std::vector<Row> rows;
    rows.reserve(std::size_t(files.size()));
    Progress progress(invocation.err(), files.size());
    const Tally tally = forEachDocument<Row>(
        invocation, files, [](const QString& file, qsizetype) { return rowOf(file); },
        [&](qsizetype i, const QString&, Row& row) {
            row.file = names.nameOf(files[i]);
            rows.push_back(std::move(row));
        },
        progress);
    if (tally.outputFailed)
        return Failure;
    markDuplicates(rows);
    markMostSimilar(rows, invocation.jobs());

    QStringList warnings;
    const FileResult<void> written = writeTable(rows, out, suffix == u"csv", &warnings);
    for (const QString& w : std::as_const(warnings))
        progress.write(shownPath(out) + u": "_s + w);
    if (!written) {
        progress.write(shownPath(out) + u": "_s + msg::cannotWrite(written.error().why()));
        return Failure;
    }
    qsizetype duplicates = 0;
    for (const Row& r : rows)
        duplicates += r.duplicateOf.isEmpty() ? 0 : 1;
    progress.write(msg::tableWritten(shownPath(out), qsizetype(rows.size()), duplicates));
    return tally.exitStatus(true);
}

} // namespace shenbao::cli
