#pragma once

#include "check/similarityindex.h"
#include "files/files.h"
#include "office/run.h"
#include "record/fields.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <iterator>
#include <optional>
#include <vector>

// The round's table for the review meeting, one row a file: its state, the fields the meeting
// sorts by, the likely duplicates and each row's most similar other row.

namespace shenbao::office {

// The fields the meeting sorts by, in the table's order after file, status, gaps and official.
inline constexpr Field kTableColumns[] = {
    Field::ProjectName,        Field::Presider,     Field::Sex,           Field::Birthday,
    Field::DutySpecial,        Field::Department,   Field::BelongCity,    Field::BelongSystem,
    Field::ProjectClass,       Field::SubjectClass, Field::ResearchClass, Field::ApplyOutlay,
    Field::ExpectCompleteDate,
};
inline constexpr Field kTableAfterParticipants[] = {Field::ContactMobile, Field::ContactMail};
// The counts of the second sheet.
inline constexpr Field kTableCounted[] = {Field::BelongCity, Field::SubjectClass, Field::ProjectClass,
                                          Field::BelongSystem};
// Where the funds and the gaps stand: numbers in the XLSX, summed on the counts sheet.
inline constexpr qsizetype kOutlayValue =
    std::find(std::begin(kTableColumns), std::end(kTableColumns), Field::ApplyOutlay) -
    std::begin(kTableColumns);
inline constexpr qsizetype kLeadingColumns = 4; // file, status, gaps, official
inline constexpr qsizetype kGapsColumn = 2;
inline constexpr qsizetype kOutlayColumn = kLeadingColumns + kOutlayValue;

// The names a table gives its files: relative to the table's own folder (a name given absolute
// stays absolute), so that the table names the same files from wherever it is read.
class TableNames
{
public:
    explicit TableNames(const QString& table);
    QString nameOf(const QString& file) const;

private:
    QString m_folder; // absolute
};

struct TableRow
{
    DocumentResult document;
    QString file;          // as the table names it: relative to the table's folder
    bool readable = false; // read as this system's document: the fields below are its
    qsizetype gaps = 0;
    bool official = false;
    QStringList values;    // kTableColumns, then participants, then kTableAfterParticipants
    QString idCard;        // for the duplicate marks
    QString duplicateOf;   // the mark
    SimilarityEntry texts; // empty unless read whole
    QString mostSimilar;
};

// A file's row, its name not yet given.
TableRow tableRowOf(const QString& file);
// Likely the same application twice: the same leader's ID card, or the same title and leader.
void markDuplicates(std::vector<TableRow>& rows);
// Each row's most similar other row, of those that copy each other: in a family of alike
// applications, the first other member; else the row of the pair with the highest score.
void markMostSimilar(std::vector<TableRow>& rows, int jobs);

// A field's caption as a column's heading.
QString fieldHeading(Field f);
QStringList tableHeadings();
QStringList cellsOf(const TableRow& row);
// The spreadsheet's own number of the row of rows[index]: the heading is row 1.
inline qsizetype sheetRow(std::size_t index)
{
    return qsizetype(index) + 2;
}
// A funds value the XLSX may hold as a number: finite (inf and nan would spoil the workbook).
std::optional<double> finiteNumber(const QString& text);

// The table written to out, put in place whole: CSV (UTF-8 with a byte-order mark) or XLSX
// with a second sheet of counts and charts. warnings: the cells cut to what a sheet holds.
FileResult<void> writeRoundTable(const std::vector<TableRow>& rows, const QString& out, bool csv,
                                 QStringList* warnings);

} // namespace shenbao::office
