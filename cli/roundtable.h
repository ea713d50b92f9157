#pragma once

#include <QString>

#include <map>
#include <optional>

namespace shenbao::cli {

// The row of each file in a table that xdxtool table wrote (.csv or .xlsx, as it stands now,
// perhaps sorted or trimmed in a spreadsheet): file (absolute) -> row number, 1 for the first row
// under the heading. nullopt and *error when the table cannot be read.
std::optional<std::map<QString, qsizetype>> roundTableRows(const QString& table, QString* error);

} // namespace shenbao::cli
