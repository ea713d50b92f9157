#include "cli/messages.h"

using namespace Qt::StringLiterals;

namespace shenbao::cli::msg {

// clang-format off
QString toolUsage() { return u"用法：xdxtool <子命令> [参数...]"_s; }
QString toolDescription() { return u"澄岚省教育科学规划课题立项申请填写程序的命令行工具，用于成批检查、查看和生成 XDX 文档。"_s; }
QString subcommands() { return u"子命令："_s; }
QString helpHint() { return u"每个子命令都有 --help，例如：xdxtool check --help"_s; }
QString usageLead() { return u"用法："_s; }
QString optionsHeading() { return u"选项："_s; }
QString exitsLead() { return u"退出码："_s; }

QString unknownCommand(const QString& name) { return u"xdxtool：未知的子命令“%1”"_s.arg(name); }
QString unknownOption(const QString& dashedName) { return u"未知的选项“%1”"_s.arg(dashedName); }
QString missingValue(const QString& option) { return u"选项“%1”缺少参数"_s.arg(option); }
QString usage(const QString& command, const QString& what) { return u"xdxtool %1：%2\n（xdxtool %1 --help 显示用法）"_s.arg(command, what); }
QString badJobs(const QString& given) { return u"-j 需要一个正整数，给出的是“%1”"_s.arg(given); }
QString jobsCapped(int most) { return u"xdxtool：-j 最多为 %1，按 %1 个同时处理"_s.arg(most); }
QString cannotWriteOutput(const QString& why) { return u"xdxtool：无法写出输出：%1"_s.arg(why); }
QString writeFailed() { return u"写入失败"_s; }

QString wantFiles() { return u"请给出至少一个 XDX 文件"_s; }
QString noDocumentsIn(const QStringList& folders) { return u"“%1”中没有 XDX 文件（子文件夹用 -r）"_s.arg(folders.join(u"”、“"_s)); }
QString cannotReadFolder(const QString& folder, const QString& why) { return u"无法读取文件夹“%1”：%2"_s.arg(folder, why); }
QString cannotReadList(const QString& list, const QString& why) { return u"无法读取文件列表“%1”：%2"_s.arg(list, why); }
QString nulInList(const QString& list) { return u"文件列表“%1”中有 NUL 字符；以 NUL 分隔的列表（find -print0）请加 -0"_s.arg(list); }
QString nullWithoutList() { return u"-0 只用于 --files-from 的列表"_s; }
QString outputIsInput(const QString& out) { return u"输出文件“%1”是本次要读的文件之一，不能替换它"_s.arg(out); }
QString statusComplete() { return u"完整"_s; }
QString statusIncomplete() { return u"不完整"_s; }
QString statusRejected() { return u"被拒绝"_s; }
QString statusError() { return u"无法读取"_s; }

QString wantOneFile() { return u"请给出一个 XDX 文件"_s; }
QString wantJsonAndXdx() { return u"请给出输入的 JSON 文件和输出的 XDX 文件"_s; }
QString cannotRead(const QString& why) { return u"无法读取：%1"_s.arg(why); }
QString checkSummary(qsizetype files, qsizetype complete, qsizetype incomplete, qsizetype rejected, qsizetype failed)
{
    return u"共 %1 个文件：完整 %2，不完整 %3，被拒绝 %4，无法读取 %5"_s.arg(files).arg(complete).arg(incomplete).arg(rejected).arg(failed);
}
QString charactersLeftOut(const QString& field, const QString& characters)
{
    QStringList codes;
    for (const QChar c : characters)
        codes.append(u"U+%1"_s.arg(int(c.unicode()), 4, 16, QChar(u'0')).toUpper());
    return u"%1：XML 不能保存的字符 %2 没有写入"_s.arg(field, codes.join(u"、"_s));
}
QString built(const QString& out, qsizetype gaps)
{
    if (gaps == 0)
        return u"已写出 %1：填写完整"_s.arg(out);
    return u"已写出 %1：还有 %2 项未填写完整（xdxtool check %1 列出）"_s.arg(out).arg(gaps);
}
QString marked(bool official) { return official ? u"已设为正式文档（PASSBY 为 1）"_s : u"已撤销正式文档（PASSBY 为 0）"_s; }
QString alreadyMarked(bool official) { return official ? u"已是正式文档，未改动"_s : u"不是正式文档，未改动"_s; }
QString cannotWrite(const QString& why) { return u"无法写出：%1"_s.arg(why); }

QString unknownPaper(const QString& name) { return u"未知的纸张“%1”（可用 a4 或 letter）"_s.arg(name); }
QString needsGui() { return u"xdxtool pdf：需要图形程序对象来排版字体"_s; }
QString emptyDocument() { return u"文档中没有任何内容，输出的是空白的申请书"_s; }
QString severalNeedOut() { return u"多个文件请用 -o 给出合成的一个 PDF，或用 -d 给出文件夹（每个文件一个 PDF）"_s; }
QString addedToPdf(const QString& file, qsizetype first, qsizetype last, bool official)
{
    return u"%1：第 %2–%3 页，%4"_s.arg(file).arg(first).arg(last).arg(official ? u"正式文档"_s : u"非正式文档"_s);
}
QString interrupted() { return u"已中断：没有写完的输出都已删除"_s; }
QString cannotJoinParts() { return u"无法把各部分合成一个 PDF（部分的格式不对）"_s; }
QString nothingToPrint() { return u"没有一个文件可以打印"_s; }
QString printedInOne(const QString& out, qsizetype added, qsizetype files) { return u"已写出 %1：%2 个文件中的 %3 个"_s.arg(out).arg(files).arg(added); }
QString printed(const QString& out, qsizetype sheets, bool official)
{
    return u"已写出 %1：%2 页，%3"_s.arg(out).arg(sheets).arg(official ? u"正式文档"_s : u"非正式文档"_s);
}
QString printedToFolder(const QString& folder, qsizetype written, qsizetype files)
{
    return u"共 %1 个文件：在“%2”中写出了 %3 个 PDF"_s.arg(files).arg(folder).arg(written);
}
QString outOrFolder() { return u"-o 与 -d 只能给出一个"_s; }
QString numberNeedsFolder() { return u"--number-by 需要 -d 输出文件夹"_s; }
QString cannotMakeFolder(const QString& folder, const QString& why) { return u"无法建立文件夹“%1”：%2"_s.arg(folder, why); }
QString notInTable(const QString& file, const QString& table) { return u"“%1”不在表“%2”中"_s.arg(file, table); }
QString sameFileTwice(const QString& first, const QString& second) { return u"“%1”和“%2”是同一个文件，会得到同一个编号"_s.arg(first, second); }

QStringList tableLeadingHeadings() { return {u"文件"_s, u"状态"_s, u"未填项数"_s, u"正式文档"_s}; }
QString participantsHeading() { return u"主要参加者人数"_s; }
QString duplicateHeading() { return u"可能重复"_s; }
QString reasonHeading() { return u"原因"_s; }
QString yes() { return u"是"_s; }
QString no() { return u"否"_s; }
QString duplicateOf(qsizetype row, const QString& file, const QString& why) { return u"与第 %1 行（%2）%3"_s.arg(row).arg(file, why); }
QString sameIdCard() { return u"主持人身份证号相同"_s; }
QString sameTitleAndLeader() { return u"课题名称和主持人相同"_s; }
QString sheetApplications() { return u"申请"_s; }
QString sheetCounts() { return u"统计"_s; }
QString applications() { return u"申请数"_s; }
QString outlaySum() { return u"申请资助经费合计（万元）"_s; }
QString outlayHeading() { return u"申请资助经费（万元）"_s; }
QString chartTitle(const QString& heading) { return u"按%1的申请数"_s.arg(heading); }
QString fundsChartTitle(const QString& heading) { return u"按%1的申请资助经费（万元）"_s.arg(heading); }
QString filesNotRead() { return u"无法读取的文件（不计入申请书）"_s; }
QString outlayLeftOutHeading() { return u"未计入合计的行"_s; }
QString outlayLeftOut(const QList<qsizetype>& rows)
{
    QStringList numbers;
    for (const qsizetype r : rows)
        numbers.append(QString::number(r));
    return u"第 %1 行（申请资助经费不是可以相加的数）"_s.arg(numbers.join(u"、"_s));
}
QString notGiven() { return u"（未填）"_s; }
QString cellCut() { return u"……（已截断）"_s; }
QString cellTooLong(qsizetype row, const QString& column, qsizetype size, qsizetype kept)
{
    return u"第 %1 行“%2”有 %3 个字符，超过电子表格单元格的 32,767 个，表中只保留前 %4 个"_s.arg(row).arg(column).arg(size).arg(kept);
}
QString wantTableOutput() { return u"请用 -o 给出输出的 .xlsx 或 .csv 文件"_s; }
QString noXlsxHere() { return u"这个 xdxtool 不能写 XLSX，请用 .csv"_s; }
QString xlsxFailed(const QString& why) { return u"无法写出 XLSX 文件：%1"_s.arg(why); }
QString tableWritten(const QString& out, qsizetype rows, qsizetype duplicates) { return u"已写出 %1：%2 行，其中可能重复 %3 行"_s.arg(out).arg(rows).arg(duplicates); }
QString numberByTable() { return u"--number-by 需要 xdxtool table 写出的 .xlsx 或 .csv 表"_s; }
QString noXlsxReadingHere() { return u"这个 xdxtool 读不了 XLSX，请用同一轮的 .csv 表（行号相同）"_s; }
QString notXlsx() { return u"不是完好的 XLSX 文件"_s; }
QString notText() { return u"不是文字表格"_s; }
QString cannotReadTable(const QString& table, const QString& why) { return u"无法读取表“%1”：%2"_s.arg(table, why); }
QString fileInTwoRows(const QString& file, qsizetype first, qsizetype second) { return u"第 %1 行和第 %2 行都是“%3”"_s.arg(first).arg(second).arg(file); }
QString rowTwice(qsizetype row) { return u"第 %1 行出现了两次"_s.arg(row); }

QString anonymityHit(const QString& field, int line, const QString& text, const QString& source,
                     const QString& context, bool weak)
{
    return u"%1 第%2行中有“%3”%4（见 %5）：%6"_s.arg(field).arg(line).arg(text, weak ? u"（弱）"_s : QString(), source, context);
}
QString moreHits(qsizetype more) { return u"另有 %1 处没有列出"_s.arg(more); }
QString anonymitySummary(qsizetype files, qsizetype named, qsizetype hits) { return u"共 %1 个文件：%2 个的匿名栏目写出了姓名或单位，共 %3 处"_s.arg(files).arg(named).arg(hits); }

QString similarPair(const QString& a, const QString& b, double score, const QStringList& texts) { return u"%1 与 %2 相似 %3：%4"_s.arg(a, b, QString::number(score, 'f', 2), texts.join(u"；"_s)); }
QString similarText(const QString& field, double score, int passages, const QStringList& first) { return passages ? u"%1 %2，%3 处相同：%4"_s.arg(field, QString::number(score, 'f', 2)).arg(passages).arg(first.join(u"、"_s)) : u"%1 %2"_s.arg(field, QString::number(score, 'f', 2)); }
QString sharedPassage(qsizetype atA, qsizetype atB, int characters, const QString& text) { return u"第 %1/%2 字起 %3 字“%4”"_s.arg(atA).arg(atB).arg(characters).arg(text); }
QString longPassagePair(const QString& a, const QString& b, int characters, const QStringList& texts) { return u"%1 与 %2 有一段 %3 字相同：%4"_s.arg(a, b, QString::number(characters), texts.join(u"；"_s)); }
QString similarFamily(const QStringList& members) { return u"%1 份课题论证和可行性分析相同：%2"_s.arg(QString::number(members.size()), members.join(u"、"_s)); }
QString similarSummary(qsizetype files, qsizetype pairs, qsizetype passages, qsizetype families, qsizetype inFamilies) { return u"共 %1 个文件：%2 对相似，%3 对有长段落相同，%4 组相同的申请书（共 %5 份）"_s.arg(QString::number(files), QString::number(pairs), QString::number(passages), QString::number(families), QString::number(inFamilies)); }
QString mostSimilarHeading() { return u"最相似的"_s; }
QString mostSimilar(qsizetype row, const QString& file, double score) { return u"第 %1 行（%2），相似度 %3"_s.arg(row).arg(file, QString::number(score, 'f', 2)); }
// clang-format on

} // namespace shenbao::cli::msg
