#pragma once

#include "files/expected.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <map>

// A table the office keeps in a spreadsheet (a round's table, a roster of experts, returned
// score sheets), read as any spreadsheet program may have saved it: .xlsx, or .csv in UTF-8,
// UTF-16 or GBK.

namespace shenbao::office {

// Whether path names a kind of table this program reads (by its suffix).
bool isSpreadsheet(const QString& path);

// The first sheet's rows, each's first columns cells (at most longest characters each), handed
// to take with the row's number as the spreadsheet shows it (1: the heading); not always in row
// order (see readWorkbookRows). false from take stops. Why not, in words.
Expected<void, QString>
readSpreadsheetRows(const QString& path, int columns, qsizetype longest,
                    const std::function<bool(qsizetype row, const QStringList& cells)>& take);

// A small table (a roster, a score sheet, a list of votes) whole: each row's first columns cells
// by the row's number, rows in order; rows without a cell left out. Why not, in words.
using SpreadsheetRows = std::map<qsizetype, QStringList>;
Expected<SpreadsheetRows, QString> readSpreadsheet(const QString& path, int columns, qsizetype longest);

} // namespace shenbao::office
