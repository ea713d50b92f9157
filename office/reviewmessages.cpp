#include "office/reviewmessages.h"

using namespace Qt::StringLiterals;

namespace shenbao::office::reviewmsg {

// clang-format off
QString badCriterion(const QString& text) { return u"评分项“%1”应写成“名称:满分”，满分为 1 到 1000 的整数，如“选题:20,论证:30”"_s.arg(text); }
QString criterionTwice(const QString& name) { return u"评分项“%1”出现了两次"_s.arg(name); }
QString notARound() { return u"不是 xdxtool review assign 写出的评审轮次文件"_s; }
QString noRound(const QString& folder, const QString& why) { return u"文件夹“%1”中没有评审轮次（先运行 xdxtool review assign）：%2"_s.arg(folder, why); }

QString cannotReadRoster(const QString& file, const QString& why) { return u"无法读取专家名单“%1”：%2"_s.arg(file, why); }
QString rosterWithoutHeading(const QString& file) { return u"%1：第 1 行应是列名（姓名、单位、所在市（州）、学科分类、最多评审数）"_s.arg(file); }
QString rosterProblem(const QString& file, qsizetype row, const QString& column, const QString& why) { return u"%1：第 %2 行“%3”：%4"_s.arg(file).arg(row).arg(column, why); }
QString columnMissing() { return u"缺少这一列"_s; }
QString cellEmpty() { return u"没有填写"_s; }
QString unknownSubject(const QString& subject) { return u"“%1”不是申请书的学科分类"_s.arg(subject); }
QString notALoad(const QString& text) { return u"“%1”不是 0 或正整数"_s.arg(text); }
QString expertTwice(qsizetype firstRow) { return u"与第 %1 行是同一位专家（姓名和单位相同）"_s.arg(firstRow); }
QString noExperts() { return u"名单中没有专家"_s; }

QString sameUnit(const QString& unit) { return u"申请人或参加者在专家的单位“%1”"_s.arg(unit); }
QString avoidedUnit(const QString& unit) { return u"申请人或参加者的单位“%1”是专家的回避单位"_s.arg(unit); }
QString namedInApplication(const QString& name) { return u"申请书的主持人或参加者中有“%1”"_s.arg(name); }
QString namedAsRecommender(const QString& name) { return u"推荐人意见中有“%1”"_s.arg(name); }
QString sameCity(const QString& city) { return u"与专家同在“%1”"_s.arg(city); }

QStringList scoreSheetLeadingHeadings() { return {u"编号"_s, u"课题名称"_s, u"学科分类"_s}; }
QString withPoints(const QString& name, int points) { return u"%1（%2）"_s.arg(name).arg(points); }
QString total() { return u"总分"_s; }
QString comment() { return u"评语"_s; }
QString sheetByApplication() { return u"按申请"_s; }
QStringList assignmentHeadings() { return {u"编号"_s, u"文件"_s, u"课题名称"_s, u"课题类别"_s, u"学科分类"_s}; }
QString expertNumber(int k) { return u"专家%1"_s.arg(k); }
QString sheetByExpert() { return u"按专家"_s; }
QStringList expertHeadings() { return {u"专家"_s, u"单位"_s, u"所在市（州）"_s, u"学科分类"_s, u"最多评审数"_s, u"评审数"_s, u"编号"_s}; }
QString sheetScores() { return u"评分"_s; }
QString scoreSheetTitle() { return u"澄岚省教育科学规划课题活页评审评分表"_s; }
QString expertLabel() { return u"评审专家"_s; }
QString roundLabel() { return u"评审轮次"_s; }
QString scoreSheetHelp(int maxScore) { return u"每项填 0 到该项满分之间的数，总分（满分 %1）自动求和；评语可写可不写。请不要改动编号、课题名称和表的结构，填好后原样交回。"_s.arg(maxScore); }
QString scoreOutOfRangeTitle() { return u"评分超出范围"_s; }
QString scoreOutOfRange(int points) { return u"请填 0 到 %1 之间的数"_s.arg(points); }
QString sheetVotes() { return u"表决"_s; }
QStringList votesHeadings() { return {u"编号"_s, u"课题名称"_s, u"评审组人数"_s, u"实到人数"_s, u"赞成票"_s, u"反对票"_s, u"弃权票"_s, u"评审组意见"_s, u"未通过原因"_s, u"是否批准"_s, u"批准资助类别"_s, u"批准金额（万元）"_s, u"拨款次数"_s, u"年度拨款计划"_s}; }

QString leftOutIncomplete(const QString& file) { return u"%1: 不完整，不参加评审"_s.arg(file); }
QString sameApplication(const QString& file, const QString& first) { return u"%1: 与 %2 是同一份申请书（标识、课题名称、主持人和身份证号都相同），只评审一次"_s.arg(file, first); }
QString tooFewWithoutConflict(const QString& code, const QString& file, const QString& subject, int ofSubject, int free, int wanted) { return u"%1（%2）：与它没有利益冲突的专家只有 %3 位（其中%4 %5 位），需要 %6 位"_s.arg(code, file).arg(free).arg(subject.isEmpty() ? u"本学科"_s : subject).arg(ofSubject).arg(wanted); }
QString expertsFull(const QString& code, const QString& file, int got, int wanted) { return u"%1（%2）：只能分到 %3 位专家，需要 %4 位：与它没有利益冲突的专家评审数已满（最多评审数）"_s.arg(code, file).arg(got).arg(wanted); }
QString nothingWritten() { return u"没有写出任何文件"_s; }
QString scoresAlreadyCollected(const QString& folder) { return u"文件夹“%1”已经收到评分表，不能重新分配；请换一个文件夹"_s.arg(folder); }
QString noApplications() { return u"没有完整的申请书可以分配"_s; }
QString cannotWrite(const QString& file, const QString& why) { return u"无法写出“%1”：%2"_s.arg(file, why); }
QString noLeavesHere() { return u"这个 xdxtool 不能排版，没有写出活页 PDF"_s; }
QString assigned(const QString& folder, const QString& round, qsizetype applications, int reviewers, qsizetype experts, qsizetype conflicts, qsizetype mismatches, int heaviest) { return u"已写出 %1（评审轮次 %2）：%3 份申请书，每份 %4 位专家，共 %5 位专家；回避利益冲突 %6 处；学科不同的分配 %7 次；评审最多的专家 %8 份"_s.arg(folder, round).arg(applications).arg(reviewers).arg(experts).arg(conflicts).arg(mismatches).arg(heaviest); }

QString notThisRound(const QString& given, const QString& round) { return u"不是本轮的评分表（表上的评审轮次是“%1”，本轮是 %2）"_s.arg(given, round); }
QString unknownExpert(const QString& name) { return u"“%1”不是本轮的评审专家（姓名或单位被改动）"_s.arg(name); }
QString headingsChanged() { return u"表的列被改动了（应为 编号、课题名称、学科分类、各评分项、总分、评语）"_s; }
QString sheetProblem(const QString& file, qsizetype row, const QString& why) { return row > 0 ? u"%1：第 %2 行：%3"_s.arg(file).arg(row).arg(why) : u"%1：%2"_s.arg(file, why); }
QString codeMissing(const QString& code) { return u"缺少编号 %1 的一行"_s.arg(code); }
QString rowWithoutCode() { return u"这一行没有编号"_s; }
QString notThisExpertsCode(const QString& code) { return u"编号“%1”没有分给这位专家"_s.arg(code); }
QString codeTwice(const QString& code, qsizetype firstRow) { return u"编号 %1 已在第 %2 行出现过"_s.arg(code).arg(firstRow); }
QString titleChanged(const QString& code) { return u"编号 %1 的课题名称被改动了"_s.arg(code); }
QString noScore(const QString& criterion) { return u"“%1”没有评分"_s.arg(criterion); }
QString notANumber(const QString& criterion, const QString& text) { return u"“%1”的评分“%2”不是数"_s.arg(criterion, text); }
QString outOfRange(const QString& criterion, const QString& text, int points) { return u"“%1”的评分 %2 不在 0 到 %3 之间"_s.arg(criterion, text).arg(points); }
QString totalNotTheSum(const QString& total, double sum) { return u"总分 %1 不等于各项之和 %2"_s.arg(total, QString::number(sum)); }
QString cannotReadSheet(const QString& file, const QString& why) { return u"无法读取评分表“%1”：%2"_s.arg(file, why); }
QString cannotReadScores(const QString& file, const QString& why) { return u"无法读取已收的评分“%1”：%2"_s.arg(file, why); }
QString sheetRefused(const QString& file) { return u"%1：这份评分表没有收入"_s.arg(file); }
QString alreadyCollected(const QString& file, const QString& expert, const QString& earlier) { return u"%1：已经收到%2的评分表（%3），没有收入；要替换请加 --replace"_s.arg(file, expert, earlier); }
QString collected(qsizetype taken, qsizetype scores, qsizetype refused, qsizetype sheets, qsizetype allScores, const QStringList& missing) { return u"本次收入评分表 %1 份（%2 个评分），未收入 %3 份；共已收 %4 份（%5 个评分）；"_s.arg(taken).arg(scores).arg(refused).arg(sheets).arg(allScores) + (missing.isEmpty() ? u"所有专家都已交回"_s : u"还没有交回的专家 %1 位：%2"_s.arg(missing.size()).arg(missing.join(u"、"_s))); }
QStringList summaryHeadings() { return {u"编号"_s, u"课题名称"_s, u"专家"_s, u"单位"_s}; }
QString sheetMissing() { return u"未交"_s; }
QStringList missingHeadings() { return {u"专家"_s, u"单位"_s, u"联系方式"_s, u"评审数"_s}; }

QString badQuota(const QString& text) { return u"“%1”应写成“课题类别=份数”"_s.arg(text); }
QString unknownCategory(const QString& category, const QStringList& categories) { return u"“%1”不是课题类别（%2）"_s.arg(category, categories.join(u"、"_s)); }
QString sheetRanking() { return u"排名"_s; }
QStringList rankingHeadings() { return {u"编号"_s, u"课题名称"_s, u"课题类别"_s, u"学科分类"_s, u"评分数"_s, u"平均分"_s, u"去掉最高最低后的平均分"_s, u"校正后的平均分"_s, u"极差"_s, u"分歧"_s, u"类别内名次"_s, u"学科内名次"_s}; }
QString recommendedHeading() { return u"推荐"_s; }
QString disagreement() { return u"分歧大"_s; }
QString recommended() { return u"推荐"_s; }
QString sheetExperts() { return u"专家"_s; }
QStringList expertStandingHeadings() { return {u"专家"_s, u"单位"_s, u"评分数"_s, u"平均分"_s, u"标准差"_s}; }
QString expertMeansChart() { return u"各位专家的平均分"_s; }
QString ranked(const QString& out, qsizetype scored, qsizetype applications, qsizetype disagreements, qsizetype recommended) { return u"已写出 %1：%2 份申请书中 %3 份有评分，专家分歧大的 %4 份"_s.arg(out).arg(applications).arg(scored).arg(disagreements) + (recommended >= 0 ? u"，推荐 %1 份"_s.arg(recommended) : QString()); }

QString moreVotesThanPresent(int votes, int present) { return u"票数合计 %1，多于实到人数 %2"_s.arg(votes).arg(present); }
QString morePresentThanMembers(int present, int members) { return u"实到人数 %1 多于评审组人数 %2"_s.arg(present).arg(members); }
QString notACount(const QString& text) { return u"“%1”不是 0 或正整数"_s.arg(text); }
QString notAnAmount(const QString& text) { return u"“%1”不是金额"_s.arg(text); }
QString badReasons(const QString& text) { return u"“%1”应写成 1（活页评审未通过），或 2 加上主要问题的序号 1 到 8，如“2：1、3”"_s.arg(text); }
QStringList yesWords() { return {u"是"_s, u"批准"_s, u"同意"_s}; }
QStringList noWords() { return {u"否"_s, u"不批准"_s, u"不同意"_s}; }
QString notYesOrNo(const QString& text) { return u"“%1”应为“是”或“否”"_s.arg(text); }
QString badPlan(const QString& text) { return u"“%1”应写成“年份:金额”，如“2027:3”"_s.arg(text); }
QString tooManyYears(int most) { return u"年度拨款计划最多 %1 年"_s.arg(most); }
QString planNotTheAmount(double sum, const QString& amount) { return u"年度拨款合计 %1 万元，不等于批准金额 %2 万元"_s.arg(QString::number(sum), amount); }
QString cannotReadVotes(const QString& file, const QString& why) { return u"无法读取表决“%1”：%2"_s.arg(file, why); }
QString votesHeadingChanged(const QString& file, const QStringList& heading) { return u"%1：第 1 行应是 %2（xdxtool review assign 写出的 表决.xlsx）"_s.arg(file, heading.join(u"、"_s)); }
QString notThisRoundsCode(const QString& code) { return u"“%1”不是本轮申请书的编号"_s.arg(code); }
QString noVotes(const QString& folder, const QString& why) { return u"文件夹“%1”中没有评审组表决（先运行 xdxtool review group）：%2"_s.arg(folder, why); }
QString nothingRecorded() { return u"没有记录任何表决"_s; }
QString votesRecorded(qsizetype decided, qsizetype applications, qsizetype approved) { return u"已记录 %1 份申请书的表决（共 %2 份），批准 %3 份"_s.arg(decided).arg(applications).arg(approved); }
// clang-format on

} // namespace shenbao::office::reviewmsg
