// xdxtool pdf: the options, the outputs' names, and what was printed, said; the printing itself
// is the office's.
#include "cli/commands.h"
#include "cli/inputs.h"
#include "cli/messages.h"
#include "files/files.h"
#include "office/numbering.h"
#include "office/printing.h"
#include "office/reviewgroup.h"
#include "report/fonts.h"

#include <QDir>
#include <QGuiApplication>
#include <map>

using namespace Qt::StringLiterals;

namespace shenbao::cli {
namespace {

std::optional<QPageSize> paperOf(Invocation& invocation)
{
    const QString name = invocation.isSet(u"paper") ? invocation.value(u"paper") : u"a4"_s;
    if (name.compare(u"letter", Qt::CaseInsensitive) == 0)
        return QPageSize(QPageSize::Letter);
    if (name.compare(u"a4", Qt::CaseInsensitive) == 0)
        return QPageSize(QPageSize::A4);
    return std::nullopt;
}

// Where each file's PDF goes: -o, beside the one file, or in -d's folder (made if need be),
// named as the files are or by their rows in the round's table. Why not, as a usage error.
Expected<QStringList, QString> outputsOf(Invocation& invocation, const QStringList& files)
{
    if (!invocation.isSet(u"d")) {
        QString out = invocation.value(u"o");
        if (out.isEmpty()) {
            const QString& in = files[0];
            out = QDir::cleanPath(in.left(std::max<qsizetype>(0, in.lastIndexOf(u'/') + 1)) +
                                  office::completeBaseName(in) + u".pdf"_s);
        }
        return QStringList{out};
    }
    const QString folder = QDir::cleanPath(invocation.value(u"d"));
    if (pathKind(folder) != PathKind::Folder)
        if (const FileResult<void> made = makeFolders(folder); !made)
            return unexpected(msg::cannotMakeFolder(shownPath(folder), made.error().why()));
    // Named by their rows, a reviewer learns nothing from the name.
    if (invocation.isSet(u"number-by"))
        return office::namesByTable(files, invocation.value(u"number-by"), folder);
    return office::namesInFolder(files, folder);
}

// The output that would replace an input (the application, the list of names or the table),
// if any.
std::optional<QString> outputOverInput(Invocation& invocation, const QStringList& files,
                                       const QStringList& outs)
{
    std::map<FileIdentity, QString> read;
    for (const QString& f : files)
        if (const std::optional<FileIdentity> id = fileIdentity(f))
            read.emplace(*id, f);
    for (const QString& f : {invocation.value(u"number-by"), invocation.value(u"files-from")})
        if (!f.isEmpty())
            if (const std::optional<FileIdentity> id = fileIdentity(f))
                read.emplace(*id, f);
    for (const QString& out : outs)
        if (const std::optional<FileIdentity> id = fileIdentity(out); id && read.contains(*id))
            return out;
    return std::nullopt;
}

} // namespace

int pdfCommand(Invocation& invocation)
{
    const std::optional<QPageSize> paper = paperOf(invocation);
    if (!paper)
        return invocation.usageError(msg::unknownPaper(invocation.value(u"paper")));
    const bool toFolder = invocation.isSet(u"d");
    if (toFolder && invocation.isSet(u"o"))
        return invocation.usageError(msg::outOrFolder());
    if (invocation.isSet(u"number-by") && !toFolder)
        return invocation.usageError(msg::numberNeedsFolder());
    const std::optional<QStringList> inputs = invocation.files();
    if (!inputs)
        return invocation.status();
    const QStringList& files = *inputs;
    // Several files without -d go into one PDF, which needs its name.
    if (!toFolder && files.size() > 1 && !invocation.isSet(u"o"))
        return invocation.usageError(msg::severalNeedOut());
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        invocation.err() << msg::needsGui() << '\n';
        return Failure;
    }
    const Expected<QStringList, QString> outs = outputsOf(invocation, files);
    if (!outs)
        return invocation.usageError(outs.error());
    if (const std::optional<QString> over = outputOverInput(invocation, files, *outs))
        return invocation.usageError(msg::outputIsInput(shownPath(*over)));

    installFontSubstitutions();
    office::PrintSelection pages{invocation.isSet(u"loose-leaf")};
    std::map<QString, GroupDecision> decisions;
    if (invocation.isSet(u"review")) {
        if (pages.looseLeaf)
            return invocation.usageError(msg::reviewOrLooseLeaf());
        Expected<std::map<QString, GroupDecision>, QString> recorded =
            office::readDecisions(invocation.value(u"review"));
        if (!recorded)
            return invocation.usageError(recorded.error());
        decisions = std::move(*recorded);
        pages.decisions = &decisions;
    }
    Progress progress(invocation.err(), files.size());
    if (!toFolder && files.size() > 1) {
        ToolReport report(invocation, progress);
        return office::printRound(files, invocation.jobs(), invocation.problems(), *paper, pages,
                                  outs->front(), report);
    }
    // The files a run makes in its folder are its own: a link found there is replaced, never
    // followed (a shared folder may hold one that another user planted).
    const ReplaceOptions options{.followLinks = !toFolder};
    qsizetype written = 0;
    const Tally tally = forEachDocument<office::Printed>(
        invocation, files,
        [&](const QString& file, qsizetype i) {
            return office::printFile(file, (*outs)[i], *paper, pages, options);
        },
        [&](qsizetype, const QString&, const office::Printed& p) {
            if (!p.printable())
                return;
            ++written;
            progress.write(p.note);
        },
        progress);
    if (toFolder)
        progress.write(msg::printedToFolder(shownPath(invocation.value(u"d")), written, files.size()));
    return tally.exitStatus(false);
}

} // namespace shenbao::cli
