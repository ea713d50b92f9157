#pragma once

#include "files/expected.h"

#include <QString>
#include <QStringList>

#include <functional>

// A CSV as spreadsheet programs save it, read record by record: UTF-8 (with or without its
// byte-order mark), UTF-16 with its mark, or GBK (a table saved again on Chinese Windows);
// separated by commas, or by what another locale writes instead (semicolons, tabs: the
// first separator decides); lines ended by CR LF, LF or CR; quoted fields with
// doubled quotes. The formula guard this program writes (an apostrophe before = + - @) is undone.

namespace shenbao::office {

// Each record's first columns cells (at most columns, each at most longest characters: what is
// longer is no cell of a table this program reads) handed to take with the record's number
// (1: the heading); false from take stops. Read in pieces: memory does not grow with the file.
// Why not, when the file cannot be read or its bytes are no text.
Expected<void, QString> readCsvRows(const QString& path, int columns, qsizetype longest,
                                    const std::function<bool(qsizetype row, const QStringList& cells)>& take);

// A cell of a CSV this program writes: quoted where needed. A cell that a spreadsheet program
// would take for a formula (= + - @, a tab or CR) is written after an apostrophe, unless it is a
// number; so is a cell that starts with an apostrophe, so that reading takes exactly one away.
QString csvCell(const QString& cell);

} // namespace shenbao::office
