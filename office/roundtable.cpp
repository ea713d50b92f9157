#include "office/roundtable.h"

#include "office/csvreader.h"
#include "office/messages.h"
#include "office/similar.h"
#include "office/tableworkbook.h"
#include "record/textrules.h"
#include "session/session.h"

#include <QDir>
#include <QFileInfo>

#include <cmath>
#include <map>

using namespace Qt::StringLiterals;

namespace shenbao::office {

TableNames::TableNames(const QString& table) : m_folder(QFileInfo(table).absolutePath()) {}

QString TableNames::nameOf(const QString& file) const
{
    if (QDir::isAbsolutePath(file))
        return shownPath(file);
    return shownPath(QDir(m_folder).relativeFilePath(QDir::cleanPath(QDir::currentPath() + u'/' + file)));
}

QString fieldHeading(Field f)
{
    QString caption = QString::fromUtf16(fieldSpec(f).caption).trimmed();
    while (caption.endsWith(u'：') || caption.endsWith(u':'))
        caption.chop(1);
    return caption.trimmed();
}

QStringList tableHeadings()
{
    QStringList h = msg::tableLeadingHeadings();
    for (Field f : kTableColumns)
        h.append(fieldHeading(f));
    h.append(msg::participantsHeading());
    for (Field f : kTableAfterParticipants)
        h.append(fieldHeading(f));
    h.append(msg::duplicateHeading());
    h.append(msg::reasonHeading());
    h.append(msg::mostSimilarHeading());
    return h;
}

TableRow tableRowOf(const QString& file)
{
    const OpenedDocument v = openDocument(file);
    TableRow row;
    row.document = documentResult(v);
    row.official = v.official();
    row.gaps = v.errorList ? v.errorList->size() : 0;
    row.readable = v.status() == OpenStatus::Loaded || v.status() == OpenStatus::Hollow;
    if (!row.readable) {
        row.values =
            QStringList(std::size(kTableColumns) + 1 + std::size(kTableAfterParticipants), QString());
        return row;
    }
    for (Field f : kTableColumns)
        row.values.append(v.record.value(f));
    const TableGrid& actors = v.record.table(Field::MainActor);
    int participants = 0;
    for (int r = 1; r <= actors.rows(); ++r)
        if (!actors.cell(r, 0).trimmed().isEmpty())
            ++participants;
    row.values.append(QString::number(participants));
    for (Field f : kTableAfterParticipants)
        row.values.append(v.record.value(f));
    row.idCard = v.record.value(Field::IDcard).trimmed().toUpper();
    if (v.status() == OpenStatus::Loaded)
        row.texts = similarityEntryOf(v.record);
    return row;
}

void markDuplicates(std::vector<TableRow>& rows)
{
    std::map<QString, qsizetype> byId, byTitle;
    for (qsizetype i = 0; i < qsizetype(rows.size()); ++i) {
        TableRow& r = rows[std::size_t(i)];
        if (!r.readable)
            continue;
        const QString title = r.values[0].simplified() + u'\n' + r.values[1].simplified();
        if (!r.idCard.isEmpty()) {
            const auto [it, fresh] = byId.emplace(r.idCard, i);
            if (!fresh) {
                r.duplicateOf = msg::duplicateOf(sheetRow(std::size_t(it->second)),
                                                 rows[std::size_t(it->second)].file, msg::sameIdCard());
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

void markMostSimilar(std::vector<TableRow>& rows, int jobs)
{
    std::vector<SimilarityEntry> entries;
    for (TableRow& r : rows)
        entries.push_back(std::move(r.texts));
    const SimilarityIndex index(std::move(entries));
    std::vector<std::vector<int>> familyOf(rows.size());
    for (const std::vector<int>& f : index.families())
        for (const int m : f)
            familyOf[std::size_t(m)] = f;
    std::vector<double> best(rows.size(), 0.0);
    std::vector<int> bestRow(rows.size(), -1);
    const auto offer = [&](int row, int other, double score) {
        if (score > best[std::size_t(row)] ||
            (score == best[std::size_t(row)] && other < bestRow[std::size_t(row)])) {
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
        const auto membersOf = [&](int r) {
            return familyOf[std::size_t(r)].empty() ? std::vector<int>{r} : familyOf[std::size_t(r)];
        };
        for (const int x : membersOf(f.a))
            offer(x, f.b, f.similarity.score);
        for (const int y : membersOf(f.b))
            offer(y, f.a, f.similarity.score);
        return true;
    });
    for (std::size_t r = 0; r < rows.size(); ++r)
        if (const int other = bestRow[r]; other >= 0)
            rows[r].mostSimilar =
                msg::mostSimilar(sheetRow(std::size_t(other)), rows[std::size_t(other)].file, best[r]);
}

QStringList cellsOf(const TableRow& r)
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

std::optional<double> finiteNumber(const QString& text)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

namespace {

QByteArray csvOf(const std::vector<TableRow>& rows)
{
    QString text;
    auto line = [&](const QStringList& cells) {
        QStringList safe;
        for (const QString& c : cells)
            safe.append(csvCell(c));
        text += safe.join(u',') + u"\r\n"_s;
    };
    line(tableHeadings());
    for (const TableRow& r : rows)
        line(cellsOf(r));
    // UTF-8 with a byte-order mark: a spreadsheet program opens it in Chinese without asking.
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

} // namespace

FileResult<void> writeRoundTable(const std::vector<TableRow>& rows, const QString& out, bool csv,
                                 QStringList* warnings)
{
    if (csv)
        return replaceFile(out, csvOf(rows));
    return writeTableWorkbook(rows, out, warnings);
}

} // namespace shenbao::office
