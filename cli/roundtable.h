#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// The round's table that xdxtool table writes, as pdf --number-by reads it back: perhaps sorted,
// trimmed or saved again by a spreadsheet program, and read from any folder.

namespace shenbao::cli {

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

// A cell of the CSV: quoted where needed. A cell that a spreadsheet program would take for a
// formula (= + - @, a tab or CR) is written after an apostrophe, unless it is a number; so is a
// cell that starts with an apostrophe, so that reading takes exactly one away.
QString csvCell(const QString& cell);

struct TableRows
{
    std::vector<qsizetype> rows; // for each file asked about, its row (1: the first under the heading), or 0
    qsizetype lastRow = 0;       // the table's last row
};

// The rows of files in the table (.csv or .xlsx, as it stands now): a name relative to the
// table's folder, the formula guard undone; a CSV in UTF-8, UTF-16 (with its byte-order mark) or
// GBK, separated by commas, semicolons or tabs, lines ended by CR LF, LF or CR. Read in pieces:
// memory does not grow with the table. nullopt and *error when the table cannot be read, holds
// one row twice, or names one of the files in two rows.
std::optional<TableRows> roundTableRows(const QString& table, const QStringList& files, QString* error);

} // namespace shenbao::cli
