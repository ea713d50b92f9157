#include "cli/inputs.h"
#include "cli/messages.h"
#include "cli/roundtable.h"
#include "cli/xdxtool.h"
#include "files/files.h"
#include "report/messages.h"
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
    std::vector<Sheet> sheets; // for one PDF of many files: what goes into it
    bool official = false;
};

// What the window would hold after starting with this file, laid out for printing.
Printed prepare(const QString& file, bool looseLeaf)
{
    const OpenedDocument view = openDocument(file);
    const QString name = visibleControls(file); // names come from mail too
    if (!view.message.isEmpty())
        return {{}, name + u": "_s + QString(view.message).replace(u"\r\n"_s, u"\n    "_s), {}, false};
    Printed p;
    if (view.status == OpenResult::Status::NoChildren)
        p.note = name + u": "_s + msg::emptyDocument() + u'\n';
    ReportLayout layout = layoutForm(view.record, view.official);
    if (layout.tooLong)
        return {{}, name + u": "_s + tooManySheetsMessage(), {}, false};
    if (looseLeaf)
        std::erase_if(layout.sheets, [](const Sheet& s) { return !isLooseLeaf(s); });
    p.sheets = std::move(layout.sheets);
    p.official = view.official;
    return p;
}

// The file printed to a PDF of its own.
Printed printFile(const QString& file, const QString& out, const QPageSize& paper, bool looseLeaf)
{
    Printed p = prepare(file, looseLeaf);
    if (!p.error.isEmpty())
        return p;
    QString error;
    if (!writeReportPdf(p.sheets, out, paper, &error))
        return {{}, visibleControls(file) + u": "_s + error, {}, false};
    p.note += msg::printed(out, qsizetype(p.sheets.size()), p.official);
    p.sheets.clear();
    return p;
}

// Many files in one PDF, in input order, its fonts embedded once: laid out on every core, written
// here one after another. A file that cannot be printed is reported and left out.
int printInOne(const QStringList& files, const QString& out, const QPageSize& paper, bool looseLeaf, int jobs,
               Io& io)
{
    int worst = Ok;
    qsizetype added = 0;
    Progress progress(io.err, files.size());
    const FileWrite written = replaceFileWith(out, [&](QIODevice& device, QString* why) {
        ReportPdfWriter pdf(&device, paper);
        forEachInOrder<Printed>(
            files.size(), jobs, [&](qsizetype i) { return prepare(files[i], looseLeaf); },
            [&](qsizetype i, const Printed& p) {
                if (!p.error.isEmpty()) {
                    progress.write(p.error);
                    worst = Failure;
                } else {
                    const qsizetype first = pdf.pages() + 1;
                    pdf.add(p.sheets);
                    ++added;
                    progress.write(p.note + msg::addedToPdf(visibleControls(files[i]), first, pdf.pages(), p.official));
                }
                progress.step(i + 1);
            });
        if (added == 0) {
            *why = msg::nothingToPrint();
            return false;
        }
        return pdf.finish(why);
    });
    if (!written.ok) {
        io.err << reportmsg::cannotWritePdf(QDir::toNativeSeparators(out), written.reason) << '\n';
        return Failure;
    }
    io.err << msg::printedInOne(out, added, files.size()) << '\n';
    return worst;
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
    const std::optional<QStringList> inputs = many.files(parser, io, command, &status);
    if (!inputs)
        return status;
    const QStringList& files = *inputs;
    // Several files without -d go into one PDF, which needs its name.
    if (!toFolder && files.size() > 1 && !parser.isSet(outOption))
        return usageError(io, command, msg::severalNeedOut());
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
        // "-o" naming a document itself would replace the application with its printout.
        const QFileInfo outInfo(out);
        for (const QString& f : files)
            if (outInfo.exists() && QFileInfo::exists(f) && outInfo.canonicalFilePath() == QFileInfo(f).canonicalFilePath())
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
    if (!toFolder && files.size() > 1)
        return printInOne(files, outs[0], paper, looseLeaf, many.jobs(parser), io);
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
