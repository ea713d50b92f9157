#include "cli/messages.h"

namespace shenbao::cli::msg {

QString unknownCommand(const QString& name)
{
    return QStringLiteral("xdxtool：未知的子命令“%1”").arg(name);
}

QString unknownOption(const QString& dashedName)
{
    return QStringLiteral("未知的选项“%1”").arg(dashedName);
}

QString missingValue(const QString& option)
{
    return QStringLiteral("选项“%1”缺少参数").arg(option);
}

QString usage(const QString& command, const QString& what)
{
    return QStringLiteral("xdxtool %1：%2\n（xdxtool %1 --help 显示用法）").arg(command, what);
}

QString cannotWriteOutput(const QString& why)
{
    return QStringLiteral("xdxtool：无法写出输出：%1").arg(why);
}

QString writeFailed()
{
    return QStringLiteral("写入失败");
}

QString wantFiles()
{
    return QStringLiteral("请给出至少一个 XDX 文件");
}

QString noDocumentsIn(const QStringList& folders)
{
    return QStringLiteral("“%1”中没有 XDX 文件（子文件夹用 -r）").arg(folders.join(QStringLiteral("”、“")));
}

QString cannotReadList(const QString& list, const QString& why)
{
    return QStringLiteral("无法读取文件列表“%1”：%2").arg(list, why);
}

QString wantOneFile()
{
    return QStringLiteral("请给出一个 XDX 文件");
}

QString wantOnlyOneFile()
{
    return QStringLiteral("只能给出一个 XDX 文件");
}

QString wantJsonAndXdx()
{
    return QStringLiteral("请给出输入的 JSON 文件和输出的 XDX 文件");
}

QString cannotRead(const QString& why)
{
    return QStringLiteral("无法读取：%1").arg(why);
}

QString checkSummary(qsizetype files, int complete, int incomplete, int rejected, int failed)
{
    return QStringLiteral("共 %1 个文件：完整 %2，不完整 %3，被拒绝 %4，无法读取 %5")
        .arg(files)
        .arg(complete)
        .arg(incomplete)
        .arg(rejected)
        .arg(failed);
}

QString built(const QString& out, qsizetype gaps)
{
    if (gaps == 0)
        return QStringLiteral("已写出 %1：填写完整").arg(out);
    return QStringLiteral("已写出 %1：还有 %2 项未填写完整（xdxtool check %1 列出）").arg(out).arg(gaps);
}

QString marked(bool official)
{
    return official ? QStringLiteral("已设为正式文档（PASSBY 为 1）") : QStringLiteral("已撤销正式文档（PASSBY 为 0）");
}

QString alreadyMarked(bool official)
{
    return official ? QStringLiteral("已是正式文档，未改动") : QStringLiteral("不是正式文档，未改动");
}

QString cannotWrite(const QString& why)
{
    return QStringLiteral("无法写出：%1").arg(why);
}

QString unknownPaper(const QString& name)
{
    return QStringLiteral("未知的纸张“%1”（可用 a4 或 letter）").arg(name);
}

QString outputIsInput(const QString& out)
{
    return QStringLiteral("输出文件“%1”就是要打印的文档").arg(out);
}

QString needsGui()
{
    return QStringLiteral("xdxtool pdf：需要图形程序对象来排版字体");
}

QString emptyDocument()
{
    return QStringLiteral("文档中没有任何内容，输出的是空白的申请书");
}

QString printed(const QString& out, qsizetype sheets, bool official)
{
    return QStringLiteral("已写出 %1：%2 页，%3")
        .arg(out)
        .arg(sheets)
        .arg(official ? QStringLiteral("正式文档") : QStringLiteral("非正式文档"));
}

} // namespace shenbao::cli::msg
