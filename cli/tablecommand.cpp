// xdxtool table: the list of a round's applications for the review meeting, one row a file.
#include "cli/commands.h"
#include "cli/inputs.h"
#include "cli/messages.h"
#include "files/files.h"
#include "office/messages.h"
#include "office/roundtable.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace shenbao::cli {
using office::TableRow;

int tableCommand(Invocation& invocation)
{
    const QString out = invocation.value(u"o");
    const QString suffix = QFileInfo(out).suffix().toLower();
    if (out.isEmpty() || (suffix != u"csv" && suffix != u"xlsx"))
        return invocation.usageError(msg::wantTableOutput());
    const std::optional<QStringList> inputs = invocation.files();
    if (!inputs)
        return invocation.status();
    const QStringList& files = *inputs;
    // "-o" naming one of the documents would replace the application with the table.
    if (const std::optional<FileIdentity> output = fileIdentity(out))
        for (const QString& f : files)
            if (fileIdentity(f) == output)
                return invocation.usageError(msg::outputIsInput(shownPath(out)));

    const office::TableNames names(out);
    std::vector<TableRow> rows;
    rows.reserve(std::size_t(files.size()));
    Progress progress(invocation.err(), files.size());
    const Tally tally = forEachDocument<TableRow>(
        invocation, files, [](const QString& file, qsizetype) { return office::tableRowOf(file); },
        [&](qsizetype i, const QString&, TableRow& row) {
            row.file = names.nameOf(files[i]);
            rows.push_back(std::move(row));
        },
        progress);
    if (tally.outputFailed)
        return Failure;
    office::markDuplicates(rows);
    office::markMostSimilar(rows, invocation.jobs());

    QStringList warnings;
    const FileResult<void> written = office::writeRoundTable(rows, out, suffix == u"csv", &warnings);
    for (const QString& w : std::as_const(warnings))
        progress.write(shownPath(out) + u": "_s + w);
    if (!written) {
        progress.write(shownPath(out) + u": "_s + msg::cannotWrite(written.error().why()));
        return Failure;
    }
    qsizetype duplicates = 0;
    for (const TableRow& r : rows)
        duplicates += r.duplicateOf.isEmpty() ? 0 : 1;
    progress.write(msg::tableWritten(shownPath(out), qsizetype(rows.size()), duplicates));
    return tally.exitStatus(true);
}

} // namespace shenbao::cli
