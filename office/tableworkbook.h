#pragma once

#include "files/files.h"
#include "office/roundtable.h"

// The round's table as an XLSX workbook: the applications, and a sheet of counts with charts.

namespace shenbao::office {

// Written to out and put in place whole. warnings: the cells cut to what a sheet holds.
FileResult<void> writeTableWorkbook(const std::vector<TableRow>& rows, const QString& out,
                                    QStringList* warnings);

} // namespace shenbao::office
