#include "cli/xdxtool.h"
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
        return usageError(io, command, u"未知的纸张“%1”（可用 a4 或 letter）"_s.arg(paperName));
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1)
        return usageError(io, command, u"只能给出一个 XDX 文件"_s);
    if (files.isEmpty())
        return usageError(io, command, u"请给出一个 XDX 文件"_s);
    const QString file = files.constFirst();
    QString out = parser.value(outOption);
    if (out.isEmpty()) {
        const QFileInfo in(file);
        out = in.dir().filePath(in.completeBaseName() + u".pdf"_s);
    }
    // "-o" naming the document itself would replace the application with its printout.
    const QFileInfo inInfo(file), outInfo(out);
    if (outInfo.exists() && inInfo.exists() && outInfo.canonicalFilePath() == inInfo.canonicalFilePath())
        return usageError(io, command, u"输出文件“%1”就是要打印的文档"_s.arg(out));
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        io.err << "xdxtool pdf：需要图形程序对象来排版字体\n";
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
        io.err << name << ": 文档中没有任何内容，输出的是空白的申请书\n";

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
    io.err << u"已写出 %1：%2 页，%3\n"_s.arg(out)
                  .arg(layout.sheets.size())
                  .arg(view.official ? u"正式文档"_s : u"非正式文档"_s);
    return Ok;
}

} // namespace shenbao::cli
