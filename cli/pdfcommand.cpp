#include "cli/xdxtool.h"

#include "cli/messages.h"
#include "record/textrules.h"
#include "report/fillreport.h"
#include "report/fonts.h"
#include "report/pdf.h"
#include "report/sheetlayout.h"
#include "session/session.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

using namespace Qt::StringLiterals;

namespace shenbao::cli {

int pdfCommand(const QStringList& args, Io& io)
{
    const QString command = u"pdf"_s;
    QCommandLineParser parser;
    const QCommandLineOption outOption(u"o"_s, QString(), u"OUT.pdf"_s);
    const QCommandLineOption paperOption(u"paper"_s, QString(), u"a4|letter"_s, u"a4"_s);
    parser.addOptions({outOption, paperOption});
    int status = Failure;
    if (!parseArguments(parser, args, io, command, &status))
        return status;
    QPageSize paper(QPageSize::A4);
    const QString paperName = parser.value(paperOption);
    if (paperName.compare(u"letter", Qt::CaseInsensitive) == 0)
        paper = QPageSize(QPageSize::Letter);
    else if (paperName.compare(u"a4", Qt::CaseInsensitive) != 0)
        return usageError(io, command, msg::unknownPaper(paperName));
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1)
        return usageError(io, command, msg::wantOnlyOneFile());
    if (files.isEmpty())
        return usageError(io, command, msg::wantOneFile());
    const QString file = files.constFirst();
    QString out = parser.value(outOption);
    if (out.isEmpty()) {
        const QFileInfo in(file);
        out = in.dir().filePath(in.completeBaseName() + u".pdf"_s);
    }
    // "-o" naming the document itself would replace the application with its printout.
    const QFileInfo inInfo(file), outInfo(out);
    if (outInfo.exists() && inInfo.exists() && outInfo.canonicalFilePath() == inInfo.canonicalFilePath())
        return usageError(io, command, msg::outputIsInput(out));
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        io.err << msg::needsGui() << '\n';
        return Failure;
    }

    // What the window would hold after starting with this file, and print.
    const OpenedDocument view = openDocument(file);
    const QString name = visibleControls(file); // names come from mail too
    if (!view.message.isEmpty()) {
        io.err << name << ": " << QString(view.message).replace(u"\r\n"_s, u"\n    "_s) << '\n';
        return Failure;
    }
    if (view.status == OpenResult::Status::NoChildren)
        io.err << name << ": " << msg::emptyDocument() << '\n';

    installFontSubstitutions();
    const ReportLayout layout = layoutForm(view.record, view.official);
    if (layout.tooLong) {
        io.err << name << ": " << tooManySheetsMessage() << '\n';
        return Failure;
    }
    QString error;
    if (!writeReportPdf(layout.sheets, out, paper, &error)) {
        io.err << error << '\n';
        return Failure;
    }
    io.err << msg::printed(out, qsizetype(layout.sheets.size()), view.official) << '\n';
    return Ok;
}

} // namespace shenbao::cli
