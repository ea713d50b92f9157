#include "cli/xdxtool.h"
#include "record/textrules.h"
#include "report/fillreport.h"
#include "report/fonts.h"
#include "report/sheetlayout.h"
#include "report/pdf.h"
#include "session/session.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

using namespace Qt::StringLiterals;

namespace shenbao::cli {

int pdfCommand(const QStringList& args, Io& io)
{
    const QString command = u"pdf"_s;
    QString file;
    QString out;
    QPageSize paper(QPageSize::A4);
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == u"-o" || a == u"--paper") {
            if (i + 1 >= args.size())
                return usageError(io, command, u"选项“%1”缺少参数"_s.arg(a));
            const QString value = args[++i];
            if (a == u"-o") {
                out = value;
            } else if (value.compare(u"a4", Qt::CaseInsensitive) == 0) {
                paper = QPageSize(QPageSize::A4);
            } else if (value.compare(u"letter", Qt::CaseInsensitive) == 0) {
                paper = QPageSize(QPageSize::Letter);
            } else {
                return usageError(io, command, u"未知的纸张“%1”（可用 a4 或 letter）"_s.arg(value));
            }
        } else if (a.startsWith(u'-') && a.size() > 1) {
            return usageError(io, command, u"未知的选项“%1”"_s.arg(a));
        } else if (file.isEmpty()) {
            file = a;
        } else {
            return usageError(io, command, u"只能给出一个 XDX 文件"_s);
        }
    }
    if (file.isEmpty())
        return usageError(io, command, u"请给出一个 XDX 文件"_s);
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
