#include "office/printing.h"

#include "office/messages.h"
#include "office/pdfjoin.h"
#include "office/review.h"
#include "report/fillreport.h"
#include "report/messages.h"
#include "report/pdf.h"
#include "session/session.h"

#include <QBuffer>
#include <QSet>

using namespace Qt::StringLiterals;

namespace shenbao::office {
namespace {

// The loose leaves for the blind review: the sheets of these pages, repeats included, with the
// page numbers they carry in the whole form.
bool isLooseLeaf(const Sheet& s)
{
    return s.page == u"Page14" || s.page == u"Page15";
}

Printed failed(const QString& why)
{
    return {{Outcome::Unreadable, why}, {}, {}, false};
}

// The review's pages of a form: 12 and 13.
bool isDecision(const Sheet& s)
{
    return s.page == u"Page12" || s.page == u"Page13";
}

// What the window would hold after starting with this file, laid out for printing: the pages
// selected, for the review filled with the decision on its code.
Printed prepare(const QString& file, const PrintSelection& pages)
{
    const OpenedDocument view = openDocument(file);
    Printed p;
    p.document = documentResult(view);
    if (!p.printable())
        return p; // a rejected document is not printed either
    if (view.status() == OpenStatus::Hollow)
        p.note = shownPath(file) + u": "_s + msg::emptyDocument() + u'\n';
    std::function<void(ReportDesign&)> amend;
    if (pages.decisions) {
        const QString code = applicationCode(view.record);
        const auto decided = pages.decisions->find(code);
        if (decided == pages.decisions->end())
            return failed(msg::noDecision(code));
        amend = [decision = &decided->second](ReportDesign& design) { fillDecision(design, *decision); };
    }
    ReportLayout layout = layoutForm(view.record, view.official(), {}, amend);
    if (layout.tooLong)
        return failed(tooManySheetsMessage());
    if (pages.looseLeaf)
        std::erase_if(layout.sheets, [](const Sheet& s) { return !isLooseLeaf(s); });
    if (pages.decisions)
        std::erase_if(layout.sheets, [](const Sheet& s) { return !isDecision(s); });
    p.sheets = std::move(layout.sheets);
    p.official = view.official();
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
    RoundPdf(const QStringList& files, int jobs, qsizetype problems, const QPageSize& paper,
             const PrintSelection& pages, RunReport& report)
        : m_files(files), m_jobs(jobs), m_paper(paper), m_pages(pages), m_report(report)
    {
        m_tally.problems = problems;
    }

    int write(const QString& out)
    {
        // What a killed run left beside the output (its parts' folder goes with the next one).
        removeLeftoverTemporaries(out.left(std::max<qsizetype>(0, out.lastIndexOf(u'/'))).isEmpty()
                                      ? u"."_s
                                      : out.left(out.lastIndexOf(u'/')));
        const qsizetype runs = std::min<qsizetype>(m_jobs, m_files.size());
        const FileResult<void> written = replaceFileWith(out, [&](QIODevice& device, QString* why) {
            return runs <= 1 ? serial(device, why) : inParts(runs, device, why);
        });
        if (m_tally.outputFailed || interrupted())
            return kFailure;
        if (!written) {
            m_report.say(reportmsg::cannotWritePdf(shownPath(out), written.error().why()));
            return kFailure;
        }
        m_report.say(msg::printedInOne(shownPath(out), m_added, m_files.size()));
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
        countDocument(m_tally, m_report, shown, p.document);
        if (p.printable()) {
            ++m_added;
            m_report.say(p.note + msg::addedToPdf(shown, first, last, p.official));
        }
        m_report.step(i + 1);
        if (m_report.outputLost())
            m_tally.outputFailed = true;
        return !m_tally.outputFailed && !interrupted();
    }

    bool serial(QIODevice& device, QString* why)
    {
        ReportPdfWriter pdf(&device, m_paper);
        for (qsizetype i = 0; i < m_files.size(); ++i) {
            const Printed p = prepare(m_files[i], m_pages);
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
        for (qsizetype i = m_files.size() * k / runs; i < m_files.size() * (k + 1) / runs && !interrupted();
             ++i) {
            Printed& p = part.files.emplace_back(prepare(m_files[i], m_pages));
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

    const QStringList& m_files;
    int m_jobs;
    QPageSize m_paper;
    PrintSelection m_pages;
    RunReport& m_report;
    Tally m_tally;
    qsizetype m_added = 0;
};

} // namespace

bool Printed::printable() const
{
    return document.outcome == Outcome::Complete || document.outcome == Outcome::Incomplete;
}

// The file printed to a PDF of its own: made in memory (a few hundred kB; QPdfWriter writes in
// small pieces), then put in place whole.
Printed printFile(const QString& file, const QString& out, const QPageSize& paper,
                  const PrintSelection& pages, ReplaceOptions options)
{
    Printed p = prepare(file, pages);
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

int printRound(const QStringList& files, int jobs, qsizetype problems, const QPageSize& paper,
               const PrintSelection& pages, const QString& out, RunReport& report)
{
    return RoundPdf(files, jobs, problems, paper, pages, report).write(out);
}

Expected<void, QString> printCodedLooseLeaves(const QStringList& files, const QStringList& codes,
                                              const QString& out, const QPageSize& paper)
{
    QString failure;
    const FileResult<void> written = replaceFileWith(out, [&](QIODevice& device, QString* why) {
        ReportPdfWriter pdf(&device, paper);
        for (qsizetype i = 0; i < files.size() && !interrupted(); ++i) {
            const OpenedDocument v = openDocument(files[i]);
            ReportLayout layout = layoutForm(
                v.record, v.official(), {}, [&](ReportDesign& design) { markLooseLeaves(design, codes[i]); });
            if (layout.tooLong) {
                failure = shownPath(files[i]) + u": "_s + tooManySheetsMessage();
                return false;
            }
            std::erase_if(layout.sheets, [](const Sheet& s) { return !isLooseLeaf(s); });
            pdf.add(layout.sheets);
        }
        return !interrupted() && pdf.finish(why);
    });
    if (!failure.isEmpty())
        return unexpected(failure);
    if (!written)
        return unexpected(reportmsg::cannotWritePdf(shownPath(out), written.error().why()));
    return {};
}

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

} // namespace shenbao::office
