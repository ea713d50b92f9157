#pragma once

#include "files/expected.h"

#include <QString>
#include <QStringList>

#include <vector>

// The round's table that xdxtool table writes, as pdf --number-by reads it back: perhaps sorted,
// trimmed or saved again by a spreadsheet program, and read from any folder. A file is numbered
// by its row, so that a reviewer learns nothing from a name.

namespace shenbao::office {

struct TableRows
{
    std::vector<qsizetype> rows; // for each file asked about, its row (1: the first under the heading), or 0
    qsizetype lastRow = 0;       // the table's last row
};

// The rows of files in the table (as it stands now): a name relative to the table's folder, the
// formula guard undone. Read in pieces: memory does not grow with the table. Why not, when the
// table cannot be read, holds one row twice, or names one of the files in two rows.
Expected<TableRows, QString> roundTableRows(const QString& table, const QStringList& files);

// The PDFs of files in folder named by their rows in the table ("0001.pdf" ...), or why not
// (a file the table lacks, two files in one row, the table unreadable).
Expected<QStringList, QString> namesByTable(const QStringList& files, const QString& table,
                                            const QString& folder);

} // namespace shenbao::office
