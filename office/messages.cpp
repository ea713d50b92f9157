#include "office/messages.h"

using namespace Qt::StringLiterals;

namespace shenbao::office::msg {

// clang-format off
QString statusComplete() { return u"完整"_s; }
QString statusIncomplete() { return u"不完整"_s; }
QString statusRejected() { return u"被拒绝"_s; }
QString statusError() { return u"无法读取"_s; }
QString emptyDocument() { return u"文档中没有任何内容，输出的是空白的申请书"_s; }
QString addedToPdf(const QString& file, qsizetype first, qsizetype last, bool official)
{
    return u"%1：第 %2–%3 页，%4"_s.arg(file).arg(first).arg(last).arg(official ? u"正式文档"_s : u"非正式文档"_s);
}
QString cannotJoinParts() { return u"无法把各部分合成一个 PDF（部分的格式不对）"_s; }
QString nothingToPrint() { return u"没有一个文件可以打印"_s; }
QString printedInOne(const QString& out, qsizetype added, qsizetype files) { return u"已写出 %1：%2 个文件中的 %3 个"_s.arg(out).arg(files).arg(added); }
QString printed(const QString& out, qsizetype sheets, bool official)
{
    return u"已写出 %1：%2 页，%3"_s.arg(out).arg(sheets).arg(official ? u"正式文档"_s : u"非正式文档"_s);
}
QString numberByTable() { return u"--number-by 需要 xdxtool table 写出的 .xlsx 或 .csv 表"_s; }
QString notXlsx() { return u"不是完好的 XLSX 文件"_s; }
QString notText() { return u"不是文字表格"_s; }
QString cannotReadTable(const QString& table, const QString& why) { return u"无法读取表“%1”：%2"_s.arg(table, why); }
QString fileInTwoRows(const QString& file, qsizetype first, qsizetype second) { return u"第 %1 行和第 %2 行都是“%3”"_s.arg(first).arg(second).arg(file); }
QString rowTwice(qsizetype row) { return u"第 %1 行出现了两次"_s.arg(row); }
QString notInTable(const QString& file, const QString& table) { return u"“%1”不在表“%2”中"_s.arg(file, table); }
QString sameFileTwice(const QString& first, const QString& second) { return u"“%1”和“%2”是同一个文件，会得到同一个编号"_s.arg(first, second); }
QString notASpreadsheet() { return u"表格请用 .xlsx 或 .csv"_s; }
QString noDecision(const QString& code) { return u"评审组还没有对编号 %1 的申请书表决（xdxtool review group）"_s.arg(code); }

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
QString xlsxFailed(const QString& why) { return u"无法写出 XLSX 文件：%1"_s.arg(why); }
QString mostSimilarHeading() { return u"最相似的"_s; }
QString mostSimilar(qsizetype row, const QString& file, double score) { return u"第 %1 行（%2），相似度 %3"_s.arg(row).arg(file, QString::number(score, 'f', 2)); }
// clang-format on

} // namespace shenbao::office::msg
