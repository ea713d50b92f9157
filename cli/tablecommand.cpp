// xdxtool table: the list of a round's applications for the review meeting, one row a file.
#include "cli/inputs.h"
#include "cli/messages.h"
#include "cli/xdxtool.h"
#include "files/files.h"
#include "record/textrules.h"
#include "session/session.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <iterator>
#include <map>
#include <vector>

#ifdef SHENBAO_HAVE_XLSX
#include <xlsxwriter.h>
#endif

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
    QString file;
    bool readable = false; // read as this system's document: the fields below are its
    QString status;
    qsizetype gaps = 0;
    bool official = false;
    QStringList values;  // kColumns, then participants, then kAfterParticipants
    QString idCard;      // for the duplicate marks
    QString duplicateOf; // the mark
    QString reason;      // why a file was rejected or not read
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
    return h;
}

// Where the funds and the gaps stand: numbers in the XLSX, summed on the counts sheet.
constexpr qsizetype kOutlayValue =
    std::find(std::begin(kColumns), std::end(kColumns), Field::ApplyOutlay) - std::begin(kColumns);
constexpr qsizetype kLeadingColumns = 4; // file, status, gaps, official
constexpr qsizetype kGapsColumn = 2;
constexpr qsizetype kOutlayColumn = kLeadingColumns + kOutlayValue;

Row rowOf(const QString& file)
{
    const OpenedDocument v = openDocument(file);
    Row row;
    row.file = file;
    row.official = v.official;
    row.gaps = v.errorList.size();
    row.reason = v.message.split(u"\r\n"_qs, Qt::SkipEmptyParts).join(u' ');
    switch (v.status) {
    case OpenResult::Status::Rejected:
        row.status = msg::statusRejected();
        break;
    case OpenResult::Status::Failed:
        row.status = msg::statusError();
        break;
    default:
        row.status = v.errorList.isEmpty() ? msg::statusComplete() : msg::statusIncomplete();
        break;
    }
    row.readable = v.status == OpenResult::Status::Loaded || v.status == OpenResult::Status::NoChildren;
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
                r.duplicateOf = msg::duplicateOf(it->second + 1, rows[std::size_t(it->second)].file, msg::sameIdCard());
                continue;
            }
        }
        if (!r.values[0].trimmed().isEmpty() && !r.values[1].trimmed().isEmpty()) {
            const auto [it, fresh] = byTitle.emplace(title, i);
            if (!fresh)
                r.duplicateOf =
                    msg::duplicateOf(it->second + 1, rows[std::size_t(it->second)].file, msg::sameTitleAndLeader());
        }
    }
}

QStringList cellsOf(const Row& r)
{
    QStringList cells{visibleControls(r.file), r.status, QString::number(r.gaps), r.official ? msg::yes() : msg::no()};
    for (const QString& v : r.values)
        cells.append(visibleControls(v));
    cells.append(r.duplicateOf);
    cells.append(visibleControls(r.reason));
    return cells;
}

// A spreadsheet program takes a cell that starts with = + - @ for a formula: a mailed file could
// run one. Such a cell is written as text, with a leading apostrophe, unless it is a number.
QString safeCsvCell(const QString& cell)
{
    QString c = cell;
    bool number = false;
    c.toDouble(&number);
    if (!number && !c.isEmpty() && QStringView(u"=+-@\t\r").contains(c[0]))
        c.prepend(u'\'');
    if (c.contains(u',') || c.contains(u'"') || c.contains(u'\n') || c.contains(u'\r'))
        c = u'"' + c.replace(u"\""_qs, u"\"\""_qs) + u'"';
    return c;
}

QByteArray csvOf(const std::vector<Row>& rows)
{
    QString text;
    auto line = [&](const QStringList& cells) {
        QStringList safe;
        for (const QString& c : cells)
            safe.append(safeCsvCell(c));
        text += safe.join(u',') + u"\r\n"_qs;
    };
    line(headings());
    for (const Row& r : rows)
        line(cellsOf(r));
    // UTF-8 with a byte-order mark: a spreadsheet program opens it in Chinese without asking.
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

#ifdef SHENBAO_HAVE_XLSX
bool writeXlsx(const std::vector<Row>& rows, const QString& path, QString* error)
{
    lxw_workbook* book = workbook_new(QFile::encodeName(path).constData());
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
        widths[std::size_t(col)] = std::min(60, std::max(widths[std::size_t(col)], gbkByteLength(text) + 2));
    };
    for (qsizetype c = 0; c < head.size(); ++c) {
        worksheet_write_string(sheet, 0, lxw_col_t(c), head[c].toUtf8().constData(), bold);
        fit(c, head[c]);
    }
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const QStringList cells = cellsOf(rows[r]);
        for (qsizetype c = 0; c < cells.size(); ++c) {
            bool number = false;
            const double value = cells[c].toDouble(&number);
            if (number && (c == kOutlayColumn || c == kGapsColumn))
                worksheet_write_number(sheet, lxw_row_t(r + 1), lxw_col_t(c), value, nullptr);
            else if (!cells[c].isEmpty())
                worksheet_write_string(sheet, lxw_row_t(r + 1), lxw_col_t(c), cells[c].toUtf8().constData(), nullptr);
            fit(c, cells[c]);
        }
    }
    for (std::size_t c = 0; c < widths.size(); ++c)
        worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), widths[c], nullptr);
    worksheet_freeze_panes(sheet, 1, 0);
    worksheet_autofilter(sheet, 0, 0, lxw_row_t(rows.size()), lxw_col_t(head.size() - 1));

    // The counts, and the funds asked for.
    lxw_worksheet* counts = workbook_add_worksheet(book, msg::sheetCounts().toUtf8().constData());
    lxw_row_t at = 0;
    double outlay = 0;
    for (const Row& r : rows) {
        bool number = false;
        const double v = r.values[kOutlayValue].toDouble(&number);
        if (number)
            outlay += v;
    }
    worksheet_write_string(counts, at, 0, msg::applications().toUtf8().constData(), bold);
    worksheet_write_number(counts, at++, 1, double(rows.size()), nullptr);
    worksheet_write_string(counts, at, 0, msg::outlaySum().toUtf8().constData(), bold);
    worksheet_write_number(counts, at++, 1, outlay, nullptr);
    for (Field f : kCounted) {
        ++at;
        worksheet_write_string(counts, at++, 0, heading(f).toUtf8().constData(), bold);
        const qsizetype column = std::find(std::begin(kColumns), std::end(kColumns), f) - std::begin(kColumns);
        std::map<QString, int> n;
        for (const Row& r : rows)
            if (column < r.values.size())
                ++n[r.values[column].isEmpty() ? msg::notGiven() : r.values[column]];
        for (const auto& [value, count] : n) {
            worksheet_write_string(counts, at, 0, value.toUtf8().constData(), nullptr);
            worksheet_write_number(counts, at++, 1, count, nullptr);
        }
    }
    worksheet_set_column(counts, 0, 0, 40, nullptr);
    const lxw_error closed = workbook_close(book);
    if (closed != LXW_NO_ERROR) {
        *error = msg::xlsxFailed(QString::fromUtf8(lxw_strerror(closed)));
        return false;
    }
    return true;
}
#endif

} // namespace

int tableCommand(const QStringList& args, Io& io)
{
    QCommandLineParser parser;
    const QCommandLineOption outOption(u"o"_qs, QString(), u"round.xlsx|round.csv"_qs);
    parser.addOption(outOption);
    ManyFiles many;
    many.addTo(parser);
    int status = Failure;
    if (!parseArguments(parser, args, io, u"table"_qs, &status))
        return status;
    const QString out = parser.value(outOption);
    const QString suffix = QFileInfo(out).suffix().toLower();
    if (out.isEmpty() || (suffix != u"csv" && suffix != u"xlsx"))
        return usageError(io, u"table"_qs, msg::wantTableOutput());
#ifndef SHENBAO_HAVE_XLSX
    if (suffix == u"xlsx")
        return usageError(io, u"table"_qs, msg::noXlsxHere());
#endif
    const std::optional<QStringList> inputs = many.files(parser, io, u"table"_qs, &status);
    if (!inputs)
        return status;
    const QStringList& files = *inputs;

    std::vector<Row> rows;
    rows.reserve(std::size_t(files.size()));
    int worst = Ok;
    Progress progress(io.err, files.size());
    forEachInOrder<Row>(files.size(), many.jobs(parser), [&](qsizetype i) { return rowOf(files[i]); },
                        [&](qsizetype i, Row& row) {
                            if (!row.readable)
                                worst = Failure;
                            else if (row.gaps > 0)
                                worst = std::max<int>(worst, Incomplete);
                            rows.push_back(std::move(row));
                            progress.step(i + 1);
                        });
    markDuplicates(rows);

    QByteArray bytes;
    QString error;
    if (suffix == u"csv") {
        bytes = csvOf(rows);
    } else {
#ifdef SHENBAO_HAVE_XLSX
        // Written beside, read back and put in place like every other output: whole or not at all.
        QTemporaryDir scratch;
        const QString temporary = scratch.filePath(u"round.xlsx"_qs);
        if (!scratch.isValid() || !writeXlsx(rows, temporary, &error)) {
            progress.write(error.isEmpty() ? msg::xlsxFailed(scratch.errorString()) : error);
            return Failure;
        }
        FileRead read = readRegularFile(temporary, qint64(1) << 30);
        bytes = std::move(read.bytes);
#endif
    }
    const FileWrite written = replaceFile(out, bytes);
    if (bytes.isEmpty() || !written.ok) {
        progress.write(out + u": "_qs + msg::cannotWrite(written.reason));
        return Failure;
    }
    qsizetype duplicates = 0;
    for (const Row& r : rows)
        duplicates += r.duplicateOf.isEmpty() ? 0 : 1;
    progress.write(msg::tableWritten(out, qsizetype(rows.size()), duplicates));
    return worst;
}

} // namespace shenbao::cli
