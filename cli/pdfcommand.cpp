#include "cli/inputs.h"
#include "cli/messages.h"
#include "cli/roundtable.h"
#include "cli/xdxtool.h"
#include "files/files.h"
#include "record/textrules.h"
#include "report/fillreport.h"
#include "report/fonts.h"
#include "report/pdf.h"
#include "report/sheetlayout.h"
#include "session/session.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

#include <map>

using namespace Qt::StringLiterals;

namespace shenbao::cli {
namespace {

// The loose leaves for the blind review: the sheets of these pages, repeats included, with the
// page numbers they carry in the whole form.
bool isLooseLeaf(const Sheet& s)
{
    return s.page == u"Page14" || s.page == u"Page15";
}

struct Printed
{
    QString note;  // standard error, on success
    QString error; // standard error, on failure
};

Printed printFile(const QString& file, const QString& out, const QPageSize& paper, bool looseLeaf)
{
    // What the window would hold after starting with this file, and print.
    const OpenedDocument view = openDocument(file);
    const QString name = visibleControls(file); // names come from mail too
    if (!view.message.isEmpty())
        return {{}, name + u": "_s + QString(view.message).replace(u"\r\n"_s, u"\n    "_s)};
    QString note;
    if (view.status == OpenResult::Status::NoChildren)
        note = name + u": "_s + msg::emptyDocument() + u'\n';
    ReportLayout layout = layoutForm(view.record, view.official);
    if (layout.tooLong)
        return {{}, name + u": "_s + tooManySheetsMessage()};
    if (looseLeaf)
        std::erase_if(layout.sheets, [](const Sheet& s) { return !isLooseLeaf(s); });
    QString error;
    if (!writeReportPdf(layout.sheets, out, paper, &error))
        return {{}, name + u": "_s + error};
    return {note + msg::printed(out, qsizetype(layout.sheets.size()), view.official), {}};
}

} // namespace

int pdfCommand(const QStringList& args, Io& io)
{
    const QString command = u"pdf"_s;
    QCommandLineParser parser;
    const QCommandLineOption outOption(u"o"_s, QString(), u"OUT.pdf"_s);
    const QCommandLineOption dirOption(u"d"_s, QString(), u"OUTDIR"_s);
    const QCommandLineOption paperOption(u"paper"_s, QString(), u"a4|letter"_s, u"a4"_s);
    const QCommandLineOption looseOption(u"loose-leaf"_s);
    const QCommandLineOption numberOption(u"number-by"_s, QString(), u"round.xlsx|round.csv"_s);
    parser.addOptions({outOption, dirOption, paperOption, looseOption, numberOption});
    ManyFiles many;
    many.addTo(parser);
    int status = Failure;
    if (!parseArguments(parser, args, io, command, &status))
        return status;
    QPageSize paper(QPageSize::A4);
    const QString paperName = parser.value(paperOption);
    if (paperName.compare(u"letter", Qt::CaseInsensitive) == 0)
        paper = QPageSize(QPageSize::Letter);
    else if (paperName.compare(u"a4", Qt::CaseInsensitive) != 0)
        return usageError(io, command, msg::unknownPaper(paperName));
    const bool toFolder = parser.isSet(dirOption);
    if (toFolder && parser.isSet(outOption))
        return usageError(io, command, msg::outOrFolder());
    if (parser.isSet(numberOption) && !toFolder)
        return usageError(io, command, msg::numberNeedsFolder());
    QStringList files;
    if (toFolder) {
        const std::optional<QStringList> inputs = many.files(parser, io, command, &status);
        if (!inputs)
            return status;
        files = *inputs;
    } else {
        files = parser.positionalArguments();
        if (files.size() > 1)
            return usageError(io, command, msg::wantOnlyOneFile());
        if (files.isEmpty())
            return usageError(io, command, msg::wantOneFile());
    }
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        io.err << msg::needsGui() << '\n';
        return Failure;
    }

    // Where each file's PDF goes.
    QStringList outs;
    if (!toFolder) {
        QString out = parser.value(outOption);
        if (out.isEmpty()) {
            const QFileInfo in(files[0]);
            out = in.dir().filePath(in.completeBaseName() + u".pdf"_s);
        }
        // "-o" naming the document itself would replace the application with its printout.
        const QFileInfo inInfo(files[0]), outInfo(out);
        if (outInfo.exists() && inInfo.exists() && outInfo.canonicalFilePath() == inInfo.canonicalFilePath())
            return usageError(io, command, msg::outputIsInput(out));
        outs.append(out);
    } else {
        const QDir dir(parser.value(dirOption));
        if (!dir.exists() && !QDir().mkpath(dir.path()))
            return usageError(io, command, msg::cannotMakeFolder(dir.path()));
        if (parser.isSet(numberOption)) {
            // Named by their rows in the round's table: a reviewer learns nothing from the name.
            QString error;
            const auto rows = roundTableRows(parser.value(numberOption), &error);
            if (!rows)
                return usageError(io, command, error);
            const int width = std::max(4, int(QString::number(qsizetype(rows->size())).size()));
            for (const QString& f : files) {
                const auto it = rows->find(QFileInfo(f).absoluteFilePath());
                if (it == rows->end())
                    return usageError(io, command, msg::notInTable(f, parser.value(numberOption)));
                outs.append(dir.filePath(u"%1.pdf"_s.arg(it->second, width, 10, QChar(u'0'))));
            }
        } else {
            std::map<QString, int> taken;
            for (const QString& f : files) {
                // Two inbox folders may both hold a "申请书.xdx".
                QString base = QFileInfo(f).completeBaseName();
                if (const int n = taken[base]++)
                    base += u"-%1"_s.arg(n + 1);
                outs.append(dir.filePath(base + u".pdf"_s));
            }
        }
    }

    installFontSubstitutions();
    const bool looseLeaf = parser.isSet(looseOption);
    int worst = Ok;
    Progress progress(io.err, files.size());
    forEachInOrder<Printed>(
        files.size(), toFolder ? many.jobs(parser) : 1,
        [&](qsizetype i) { return printFile(files[i], outs[i], paper, looseLeaf); },
        [&](qsizetype i, const Printed& p) {
            if (!p.error.isEmpty()) {
                progress.write(p.error);
                worst = Failure;
            } else {
                progress.write(p.note);
            }
            progress.step(i + 1);
        });
    return worst;
}

} // namespace shenbao::cli
