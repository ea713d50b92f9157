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

QString severalNeedOut()
{
    return QStringLiteral("多个文件请用 -o 给出合成的一个 PDF，或用 -d 给出文件夹（每个文件一个 PDF）");
}

QString addedToPdf(const QString& file, qsizetype first, qsizetype last, bool official)
{
    return QStringLiteral("%1：第 %2–%3 页，%4")
        .arg(file)
        .arg(first)
        .arg(last)
        .arg(official ? QStringLiteral("正式文档") : QStringLiteral("非正式文档"));
}

QString nothingToPrint()
{
    return QStringLiteral("没有一个文件可以打印");
}

QString printedInOne(const QString& out, qsizetype added, qsizetype files)
{
    return QStringLiteral("已写出 %1：%2 个文件中的 %3 个").arg(out).arg(files).arg(added);
}

QString printed(const QString& out, qsizetype sheets, bool official)
{
    return QStringLiteral("已写出 %1：%2 页，%3")
        .arg(out)
        .arg(sheets)
        .arg(official ? QStringLiteral("正式文档") : QStringLiteral("非正式文档"));
}

QStringList tableLeadingHeadings()
{
    return {QStringLiteral("文件"), QStringLiteral("状态"), QStringLiteral("未填项数"), QStringLiteral("正式文档")};
}

QString participantsHeading()
{
    return QStringLiteral("主要参加者人数");
}

QString duplicateHeading()
{
    return QStringLiteral("可能重复");
}

QString reasonHeading()
{
    return QStringLiteral("原因");
}

QString statusComplete()
{
    return QStringLiteral("完整");
}

QString statusIncomplete()
{
    return QStringLiteral("不完整");
}

QString statusRejected()
{
    return QStringLiteral("被拒绝");
}

QString statusError()
{
    return QStringLiteral("无法读取");
}

QString yes()
{
    return QStringLiteral("是");
}

QString no()
{
    return QStringLiteral("否");
}

QString duplicateOf(qsizetype row, const QString& file, const QString& why)
{
    return QStringLiteral("与第 %1 行（%2）%3").arg(row).arg(file, why);
}

QString sameIdCard()
{
    return QStringLiteral("主持人身份证号相同");
}

QString sameTitleAndLeader()
{
    return QStringLiteral("课题名称和主持人相同");
}

QString sheetApplications()
{
    return QStringLiteral("申请");
}

QString sheetCounts()
{
    return QStringLiteral("统计");
}

QString applications()
{
    return QStringLiteral("申请数");
}

QString outlaySum()
{
    return QStringLiteral("申请资助经费合计（万元）");
}

QString notGiven()
{
    return QStringLiteral("（未填）");
}

QString wantTableOutput()
{
    return QStringLiteral("请用 -o 给出输出的 .xlsx 或 .csv 文件");
}

QString noXlsxHere()
{
    return QStringLiteral("这个 xdxtool 不能写 XLSX，请用 .csv");
}

QString xlsxFailed(const QString& why)
{
    return QStringLiteral("无法写出 XLSX 文件：%1").arg(why);
}

QString tableWritten(const QString& out, qsizetype rows, qsizetype duplicates)
{
    return QStringLiteral("已写出 %1：%2 行，其中可能重复 %3 行").arg(out).arg(rows).arg(duplicates);
}

QString participantName(int row)
{
    return QStringLiteral("MainActor 第%1行 姓名").arg(row);
}

QString participantUnit(int row)
{
    return QStringLiteral("MainActor 第%1行 工作单位").arg(row);
}

QString anonymityHit(const QString& field, const QString& text, const QString& source, const QString& context)
{
    return QStringLiteral("%1 中有“%2”（见 %3）：%4").arg(field, text, source, context);
}

QString anonymitySummary(qsizetype files, qsizetype named, qsizetype hits)
{
    return QStringLiteral("共 %1 个文件：%2 个的匿名栏目写出了姓名或单位，共 %3 处").arg(files).arg(named).arg(hits);
}

QString outOrFolder()
{
    return QStringLiteral("-o 与 -d 只能给出一个");
}

QString numberNeedsFolder()
{
    return QStringLiteral("--number-by 需要 -d 输出文件夹");
}

QString numberByTable()
{
    return QStringLiteral("--number-by 需要 xdxtool table 写出的 .xlsx 或 .csv 表");
}

QString noXlsxReadingHere()
{
    return QStringLiteral("这个 xdxtool 读不了 XLSX，请用同一轮的 .csv 表（行号相同）");
}

QString notXlsx()
{
    return QStringLiteral("不是完好的 XLSX 文件");
}

QString cannotReadTable(const QString& table, const QString& why)
{
    return QStringLiteral("无法读取表“%1”：%2").arg(table, why);
}

QString notInTable(const QString& file, const QString& table)
{
    return QStringLiteral("“%1”不在表“%2”中").arg(file, table);
}

QString cannotMakeFolder(const QString& folder)
{
    return QStringLiteral("无法建立文件夹“%1”").arg(folder);
}

} // namespace shenbao::cli::msg
