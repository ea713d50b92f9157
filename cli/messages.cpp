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
QString severalNeedOut() { return u"多个文件请用 -o 给出合成的一个 PDF，或用 -d 给出文件夹（每个文件一个 PDF）"_s; }
QString interrupted() { return u"已中断：没有写完的输出都已删除"_s; }
QString printedToFolder(const QString& folder, qsizetype written, qsizetype files)
{
    return u"共 %1 个文件：在“%2”中写出了 %3 个 PDF"_s.arg(files).arg(folder).arg(written);
}
QString outOrFolder() { return u"-o 与 -d 只能给出一个"_s; }
QString numberNeedsFolder() { return u"--number-by 需要 -d 输出文件夹"_s; }
QString cannotMakeFolder(const QString& folder, const QString& why) { return u"无法建立文件夹“%1”：%2"_s.arg(folder, why); }

QString wantTableOutput() { return u"请用 -o 给出输出的 .xlsx 或 .csv 文件"_s; }
QString tableWritten(const QString& out, qsizetype rows, qsizetype duplicates) { return u"已写出 %1：%2 行，其中可能重复 %3 行"_s.arg(out).arg(rows).arg(duplicates); }

QString wantRoster() { return u"请用 --experts 给出专家名单（.xlsx 或 .csv）"_s; }
QString wantRoundFolder() { return u"请给出评审轮次的文件夹（xdxtool review assign -o 写出的）"_s; }
QString badReviewers(const QString& given, int most) { return u"-k 应为 1 到 %1 的整数，而不是“%2”"_s.arg(most).arg(given); }
QString wantFolderAndSheets() { return u"请给出评审轮次的文件夹和交回的评分表"_s; }
QString wantVotes() { return u"请用 --votes 给出评审组的表决（表决.xlsx）"_s; }
QString reviewOrLooseLeaf() { return u"--review 与 --loose-leaf 不能同时用"_s; }

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
// clang-format on

} // namespace shenbao::cli::msg
