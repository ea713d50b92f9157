#pragma once

#include "files/expected.h"

#include <QString>
#include <QStringList>

#include <functional>

// The first sheet of an XLSX workbook as any spreadsheet program saves it, read row by row: the
// package's relationships followed to the sheet and its shared strings, each part inflated in
// pieces and checked against its size and CRC, phonetic hints left out. A workbook's parts are
// untrusted: a part inflating to more than any table, a token longer than any cell, a row twice,
// and an archive that is not one are refused.

namespace shenbao::office {

// Each row's first columns cells (at most columns, each at most longest characters) handed to
// take with the row's number as the spreadsheet shows it (1: the heading). Rows whose cells are
// all written in the sheet come as they are read; rows with shared strings after the strings
// are read, in row order among themselves; memory keeps only the latter's places. false from
// take stops. Why not, when the workbook cannot be read.
Expected<void, QString>
readWorkbookRows(const QString& path, int columns, qsizetype longest,
                 const std::function<bool(qsizetype row, const QStringList& cells)>& take);

} // namespace shenbao::office
