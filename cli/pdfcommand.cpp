#include "cli/commands.h"
#include "cli/inputs.h"
#include "cli/messages.h"
#include "cli/pdfjoin.h"
#include "cli/roundtable.h"
#include "files/files.h"
#include "record/textrules.h"
#include "report/fillreport.h"
#include "report/fonts.h"
#include "report/messages.h"
#include "report/pdf.h"
#include "report/sheetlayout.h"
#include "session/session.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSet>
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
    DocumentResult document; // rejected or unreadable, with the reason, when nothing was printed
    QString note;            // standard error, on success
    std::vector<Sheet> sheets; // for one PDF of many files: what goes into it
    bool official = false;

    bool printable() const
    {
        return document.outcome == Outcome::Complete || document.outcome == Outcome::Incomplete;
    }
};

Printed failed(const QString& why)
{
    return {{Outcome::Unreadable, why}, {}, {}, false};
}

// What the window would hold after starting with this file, laid out for printing.
Printed prepare(const QString& file, bool looseLeaf)
{
    const OpenedDocument view = openDocument(file);
    Printed p;
    p.document = documentResult(view);
    if (!p.printable())
        return p; // a rejected document is not printed either
    if (view.status() == OpenStatus::Hollow)
        p.note = shownPath(file) + u": "_s + msg::emptyDocument() + u'\n';
    ReportLayout layout = layoutForm(view.record, view.official());
    if (layout.tooLong)
        return failed(tooManySheetsMessage());
    if (looseLeaf)
        std::erase_if(layout.sheets, [](const Sheet& s) { return !isLooseLeaf(s); });
    p.sheets = std::move(layout.sheets);
    p.official = view.official();
    return p;
}

// The file printed to a PDF of its own: made in memory (a few hundred kB; QPdfWriter writes in
// small pieces), then put in place whole.
Printed printFile(const QString& file, const QString& out, const QPageSize& paper, bool looseLeaf,
                  ReplaceOptions options)
{
    Printed p = prepare(file, looseLeaf);
    if (!p.printable())
        return p;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QString error;
    if (!writeReportPdf(p.sheets, &buffer, paper, &error))
        return failed(error);
    const FileResult<void> written = replaceFile(out, bytes, options);
    if (!written)
        return failed(reportmsg::cannotWritePdf(shownPath(out), written.error().why()));
    p.note += msg::printed(shownPath(out), qsizetype(p.sheets.size()), p.official);
    p.sheets.clear();
    return p;
}

// Many files in one PDF, in input order. On one worker it is written as it goes, its fonts
// embedded once. On more, the files are split into as many runs, each laid out and written by
// its worker to a part of its own (with its own fonts) in a folder of the run's, and the parts
// joined; what each file added is reported in input order as its part is done. A file that
// cannot be printed is reported and left out. The output's temporary file is made first, so
// that a folder that cannot be written fails before a page is printed, and nothing is left of
// a run that fails or is interrupted.
class RoundPdf
{
public:
    RoundPdf(Invocation& invocation, const QStringList& files, const QPageSize& paper, bool looseLeaf)
        : m_invocation(invocation), m_files(files), m_paper(paper), m_looseLeaf(looseLeaf),
          m_progress(invocation.err(), files.size())
    {
        m_tally.problems = invocation.problems();
    }

    int write(const QString& out)
    {
        // What a killed run left beside the output (its parts' folder goes with the next one).
        removeLeftoverTemporaries(out.left(std::max<qsizetype>(0, out.lastIndexOf(u'/'))).isEmpty()
                                      ? u"."_s
                                      : out.left(out.lastIndexOf(u'/')));
        const qsizetype runs = std::min<qsizetype>(m_invocation.jobs(), m_files.size());
        const FileResult<void> written = replaceFileWith(out, [&](QIODevice& device, QString* why) {
            return runs <= 1 ? serial(device, why) : inParts(runs, device, why);
        });
        if (m_tally.outputFailed || interrupted())
            return Failure;
        if (!written) {
            m_progress.write(reportmsg::cannotWritePdf(shownPath(out), written.error().why()));
            return Failure;
        }
        m_progress.write(msg::printedInOne(shownPath(out), m_added, m_files.size()));
        return m_tally.exitStatus(false);
    }

private:
    struct Part
    {
        QString path;               // empty when none of its files could be printed
        std::vector<Printed> files; // their sheets already written
        std::vector<qsizetype> pages;
    };

    bool report(qsizetype i, const Printed& p, qsizetype first, qsizetype last)
    {
        const QString shown = shownPath(m_files[i]);
        countDocument(m_tally, m_progress, shown, p.document);
        if (p.printable()) {
            ++m_added;
            m_progress.write(p.note + msg::addedToPdf(shown, first, last, p.official));
        }
        m_progress.step(i + 1);
        return !outputLost(m_invocation, m_tally) && !interrupted();
    }

    bool serial(QIODevice& device, QString* why)
    {
        ReportPdfWriter pdf(&device, m_paper);
        for (qsizetype i = 0; i < m_files.size(); ++i) {
            const Printed p = prepare(m_files[i], m_looseLeaf);
            const qsizetype first = pdf.pages() + 1;
            pdf.add(p.sheets);
            if (!report(i, p, first, pdf.pages()))
                return false; // nothing half done is left as the PDF
        }
        if (m_added == 0) {
            *why = msg::nothingToPrint();
            return false;
        }
        return pdf.finish(why);
    }

    // Run k of runs, written to a part of its own in folder; or why not.
    Expected<Part, QString> writePart(const QString& folder, qsizetype k, qsizetype runs) const
    {
        Part part;
        const QString name = folder + u'/' + QString::number(k) + u".pdf"_s;
        FileResult<std::unique_ptr<OutputFile>> file = createFile(name);
        if (!file)
            return unexpected(file.error().why());
        ReportPdfWriter pdf(file->get(), m_paper);
        for (qsizetype i = m_files.size() * k / runs; i < m_files.size() * (k + 1) / runs && !interrupted(); ++i) {
            Printed& p = part.files.emplace_back(prepare(m_files[i], m_looseLeaf));
            const qsizetype before = pdf.pages();
            pdf.add(p.sheets);
            p.sheets.clear();
            part.pages.push_back(pdf.pages() - before);
        }
        if (pdf.pages() == 0)
            return part;
        if (QString error; !pdf.finish(&error))
            return unexpected(error);
        if (const FileResult<void> done = (*file)->finish(); !done)
            return unexpected(done.error().why());
        part.path = name;
        return part;
    }

    bool inParts(qsizetype runs, QIODevice& device, QString* why)
    {
        const RunFolder folder(u"xdxtool"_s); // gone with its parts however this ends
        if (!folder.path()) {
            *why = folder.path().error().why();
            return false;
        }
        QStringList parts;
        qsizetype pages = 0;
        forEachInOrder<Expected<Part, QString>>(
            runs, int(runs), [&](qsizetype k) { return writePart(*folder.path(), k, runs); },
            [&](qsizetype k, Expected<Part, QString>& written) {
                if (!written) {
                    *why = written.error();
                    return false;
                }
                Part& part = *written;
                for (std::size_t j = 0; j < part.files.size(); ++j) {
                    const qsizetype first = pages + 1;
                    pages += part.pages[j];
                    if (!report(m_files.size() * k / runs + qsizetype(j), part.files[j], first, pages))
                        return false;
                }
                if (!part.path.isEmpty())
                    parts.append(part.path);
                return true;
            });
        if (!why->isEmpty() || m_tally.outputFailed || interrupted())
            return false;
        if (parts.isEmpty()) {
            *why = msg::nothingToPrint();
            return false;
        }
        return joinPdfs(parts, device, why);
    }

    Invocation& m_invocation;
    const QStringList& m_files;
    QPageSize m_paper;
    bool m_looseLeaf;
    Progress m_progress;
    Tally m_tally;
    qsizetype m_added = 0;
};

QString completeBaseName(const QString& path)
{
    const QString name = path.mid(path.lastIndexOf(u'/') + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > 0 ? name.left(dot) : name;
}

// A PDF each in folder, named as the files are. Names are compared without letter case (the
// folder may end up on a Windows machine or a USB stick): of files with the same name the first
// keeps it and the others get -2, -3 ..., each the first number that neither an earlier output
// nor another file's own name takes.
QStringList namesInFolder(const QStringList& files, const QString& folder)
{
    QSet<QString> own, used;
    for (const QString& f : files)
        own.insert(completeBaseName(f).toLower());
    QStringList outs;
    for (const QString& f : files) {
        const QString base = completeBaseName(f);
        QString name = base;
        for (int n = 2; used.contains(name.toLower()); ++n) {
            name = base + u'-' + QString::number(n);
            if (own.contains(name.toLower()))
                name = base; // taken by another file: try the next number
        }
        used.insert(name.toLower());
        outs.append(folder + u'/' + name + u".pdf"_s);
    }
    return outs;
}

} // namespace

int pdfCommand(Invocation& invocation)
{
    QPageSize paper(QPageSize::A4);
    const QString paperName = invocation.isSet(u"paper") ? invocation.value(u"paper") : u"a4"_s;
    if (paperName.compare(u"letter", Qt::CaseInsensitive) == 0)
        paper = QPageSize(QPageSize::Letter);
    else if (paperName.compare(u"a4", Qt::CaseInsensitive) != 0)
        return invocation.usageError(msg::unknownPaper(paperName));
    const bool toFolder = invocation.isSet(u"d");
    if (toFolder && invocation.isSet(u"o"))
        return invocation.usageError(msg::outOrFolder());
    const bool numbered = invocation.isSet(u"number-by");
    if (numbered && !toFolder)
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

    // Where each file's PDF goes.
    QStringList outs;
    if (!toFolder) {
        QString out = invocation.value(u"o");
        if (out.isEmpty()) {
            const QString& in = files[0];
            out = QDir::cleanPath(in.left(std::max<qsizetype>(0, in.lastIndexOf(u'/') + 1)) + completeBaseName(in) +
                                  u".pdf"_s);
        }
        outs.append(out);
    } else {
        const QString folder = QDir::cleanPath(invocation.value(u"d"));
        if (pathKind(folder) != PathKind::Folder)
            if (const FileResult<void> made = makeFolders(folder); !made)
                return invocation.usageError(msg::cannotMakeFolder(shownPath(folder), made.error().why()));
        if (numbered) {
            // Named by their rows in the round's table: a reviewer learns nothing from the name.
            QString error;
            const std::optional<TableRows> rows = roundTableRows(invocation.value(u"number-by"), files, &error);
            if (!rows)
                return invocation.usageError(error);
            const int width = std::max(4, int(QString::number(rows->lastRow).size()));
            std::map<qsizetype, qsizetype> byRow;
            for (qsizetype i = 0; i < files.size(); ++i) {
                const qsizetype row = rows->rows[std::size_t(i)];
                if (row == 0)
                    return invocation.usageError(msg::notInTable(shownPath(files[i]), shownPath(invocation.value(u"number-by"))));
                if (const auto [it, fresh] = byRow.emplace(row, i); !fresh)
                    return invocation.usageError(msg::sameFileTwice(shownPath(files[it->second]), shownPath(files[i])));
                outs.append(folder + u'/' + u"%1.pdf"_s.arg(row, width, 10, QChar(u'0')));
            }
        } else {
            outs = namesInFolder(files, folder);
        }
    }
    // No output may replace an input: the application, the list of names or the table.
    std::map<FileIdentity, QString> read;
    for (const QString& f : files)
        if (const std::optional<FileIdentity> id = fileIdentity(f))
            read.emplace(*id, f);
    for (const QString& f : {invocation.value(u"number-by"), invocation.value(u"files-from")})
        if (!f.isEmpty())
            if (const std::optional<FileIdentity> id = fileIdentity(f))
                read.emplace(*id, f);
    for (const QString& out : std::as_const(outs))
        if (const std::optional<FileIdentity> id = fileIdentity(out); id && read.contains(*id))
            return invocation.usageError(msg::outputIsInput(shownPath(out)));

    installFontSubstitutions();
    const bool looseLeaf = invocation.isSet(u"loose-leaf");
    if (!toFolder && files.size() > 1)
        return RoundPdf(invocation, files, paper, looseLeaf).write(outs[0]);
    // The files a run makes in its folder are its own: a link found there is replaced, never
    // followed (a shared folder may hold one that another user planted).
    const ReplaceOptions options{.followLinks = !toFolder};
    qsizetype written = 0;
    Progress progress(invocation.err(), files.size());
    const Tally tally = forEachDocument<Printed>(
        invocation, files,
        [&](const QString& file, qsizetype i) { return printFile(file, outs[i], paper, looseLeaf, options); },
        [&](qsizetype, const QString&, const Printed& p) {
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
