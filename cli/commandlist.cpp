// The subcommands and their options: what each takes and says, one table.
#include "check/similarity.h"
#include "cli/command.h"
#include "cli/commands.h"
#include "office/review.h"
#include "office/reviewrank.h"

using namespace Qt::StringLiterals;

namespace shenbao::cli {
namespace {

// The options of every command over many files, declared once.
constexpr OptionSpec kManyFilesOptions[] = {
    {u"r|recursive", nullptr, u"文件夹连同其子文件夹（文件夹中取 *.xdx，按文件名排序）"},
    {u"files-from", u"列表", u"从列表文件读文件名，每行一个（- 为标准输入）"},
    {u"0|null", nullptr, u"列表中的文件名以 NUL 字符分隔（find -print0 的写法）"},
    {u"j", u"N", u"同时处理的文件数（默认为处理器核数，最多 {jobs}）；结果总按输入的顺序输出"},
};
constexpr OptionSpec kHelpOption = {u"h|help", nullptr, u"显示本帮助"};

constexpr OptionSpec kPaperOption = {u"paper", u"a4|letter", u"纸张，默认 a4；图样不缩放，从纸的左上角画起"};
constexpr OptionSpec kCheckOptions[] = {
    {u"json", nullptr,
     u"输出一个 JSON 数组，每个文件一个对象：file, status (complete|incomplete|rejected|error), message, official, entries"},
};
constexpr OptionSpec kDumpOptions[] = {
    {u"jsonl", nullptr,
     u"多个文件：每个文件一行 JSON（另加 \"file\"），按输入的顺序；无法打开的写到标准错误"},
};
constexpr OptionSpec kTableOptions[] = {
    {u"o", u"文件", u"输出（.xlsx 或 .csv），写完后整体替换"},
};
constexpr OptionSpec kAnonymityOptions[] = {
    {u"json", nullptr,
     u"输出一个 JSON 数组，每个文件一个对象：file, message, hits（field, line, text, source, context, weak）"},
};
constexpr OptionSpec kSimilarOptions[] = {
    {u"json", nullptr,
     u"输出一个 JSON 数组，每项一个对象：kind（similar、passage 或 family）、a、b；一对的还有 score、longest、"
     u"texts（field、fieldB、score、passages、first（a, b, characters, text））；一组的还有 members。"
     u"位置是在栏目原文中的位置，以 UTF-16 单位计，从 0 起"},
    {u"all-pairs", nullptr, u"一组相同的申请书也逐对列出（组内每两份，以及与组相似的每一份），不列段落"},
};
constexpr OptionSpec kOfficialOptions[] = {
    {u"revoke", nullptr, u"撤销正式（PASSBY 设为 0）"},
};
[[maybe_unused]] constexpr OptionSpec kPdfOptions[] = {
    {u"o", u"OUT.pdf",
     u"输出文件；默认与 FILE 同名、扩展名为 .pdf。多个文件时合成这一个 PDF：按输入的顺序，每份申请书各有"
     u"自己的页码和水印；各个处理器各写其中连续的一段（字体每段嵌入一次），再合成一个文件；无法打印的文件"
     u"报告后跳过"},
    kPaperOption,
    {u"review", u"文件夹",
     u"只要第 12、13 页，填上评审组的表决和批准的经费（xdxtool review group 记录在评审轮次文件夹中的），"
     u"按申请书的评审编号找到；没有表决的申请书报告后跳过"},
    {u"d", u"文件夹",
     u"每个文件一个 PDF，写到这个文件夹，名字与文件相同；几个文件同名（不分大小写）时第一个用原名，其余依次加 "
     u"-2、-3……（跳过别的文件已用的名字）"},
    {u"loose-leaf", nullptr,
     u"只要活页（匿名评审用的课题论证和可行性分析两页，连同续页和它们在申请书中的页码）；水印与整本申请书相同"},
    {u"number-by", u"表.xlsx|表.csv",
     u"以文件在 xdxtool table 写出的表中的行号命名（0001.pdf...），评审专家从文件名看不出申请人；表可以在电子表格"
     u"程序中排过序或另存过（GBK、分号分隔、UTF-16 都可以），以现在的行号为准；表中的相对文件名相对于表所在的"
     u"文件夹；不在表中的文件是错误"},
};

constexpr OptionSpec kReviewAssignOptions[] = {
    {u"experts", u"名单.xlsx|名单.csv",
     u"专家名单：第 1 行为列名 姓名、单位、所在市（州）、学科分类（申请书的学科，一个或几个，以 、，; 分隔）、"
     u"最多评审数，可另有 回避单位（以 、，; 分隔）和 联系方式；其余的列不看"},
    {u"k", u"K", u"每份申请书的专家数，默认 {reviewers}"},
    {u"avoid-city", nullptr, u"专家也不评审与自己同一市（州）的申请书"},
    {u"criteria", u"项:满分,...", u"评分项和各项满分，默认 {criteria}"},
    {u"o", u"文件夹", u"写出评审轮次的文件夹"},
    kPaperOption,
};
constexpr OptionSpec kReviewCollectOptions[] = {
    {u"replace", nullptr, u"已经收到过的专家再次交回评分表时，用新的替换旧的（否则不收新的）"},
};
constexpr OptionSpec kReviewRankOptions[] = {
    {u"quota", u"类别=N,...",
     u"每个课题类别推荐的份数（按类别内名次），如 省级重点资助课题=10,省级一般课题=40"},
};
constexpr OptionSpec kReviewGroupOptions[] = {
    {u"votes", u"表决.xlsx|表决.csv", u"评审组填好的表决（review assign 写出的 表决.xlsx）"},
};

// clang-format off
constexpr CommandSpec kCommands[] = {
    {u"check", u"检查 XDX 文档是否填写完整（与申请程序的“检 查”相同）",
     u"xdxtool check [选项] FILE.xdx|文件夹...",
     u"对每个文件给出错误列表：与申请程序以该文件启动后显示的列表相同。\n"
     u"一个文件时每行一条；多个文件时每行以“文件名: ”开头。\n"
     u"程序会以消息框显示的问题（无法解析、不是本系统生成的文档等）写到标准错误。",
     kCheckOptions, true,
     u"0 全部完整；1 有不完整的文件；2 有被拒绝或无法读取的文件。", false, checkCommand},
    {u"dump", u"把 XDX 文档中的申请内容输出为 JSON",
     u"xdxtool dump FILE.xdx\n"
     u"xdxtool dump --jsonl [选项] FILE.xdx|文件夹...",
     u"输出申请程序打开该文件后所持有的内容：一个 JSON 对象，键按文档元素的顺序\n"
     u"（ProjectID, ProjectName, ... jiaoyujuyijian），另加 \"official\"。\n"
     u"表格是行的数组，每行是各列字符串的数组；长文本是一个字符串（换行为 \\r\\n）。\n"
     u"输出的 JSON 可以用 xdxtool build 重新生成文档。",
     kDumpOptions, true,
     u"0 成功；2 文件无法打开或不是本系统生成的文档。", false, dumpCommand},
    {u"build", u"由 JSON 生成 XDX 文档（与申请程序的“保 存”相同）",
     u"xdxtool build IN.json OUT.xdx      （IN.json 为 - 时读标准输入）",
     u"JSON 的形式与 xdxtool dump 的输出相同；缺少的键视为空，ProjectID 与 official 被忽略。\n"
     u"文档与“保 存”写出的相同：新的 ProjectID，PASSBY 为 0，verifylist 为检查结果。\n"
     u"未知的键、类型不对、行或列过多、选择项不在可选范围内时报错，不写任何文件。\n"
     u"XML 不能保存的字符（如 U+0000）不写入，并在标准错误上说明是哪些栏目的哪些字符。",
     {}, false,
     u"0 已写出；1 缺少课题名称或主持人；2 输入有误或无法写出。", false, buildCommand},
    {u"table", u"把一批 XDX 文档列成一张表（XLSX 或 CSV），供评审会排序筛选",
     u"xdxtool table [选项] FILE.xdx|文件夹... -o 表.xlsx|表.csv",
     u"每个文件一行，按输入的顺序：文件、状态（完整、不完整、被拒绝、无法读取）、未填项数、\n"
     u"是否正式文档，以及课题名称、主持人、性别、出生日期、专业职务、工作单位、所在市、所属系统、\n"
     u"课题类别、学科类别、研究类型、申请资助经费、预期完成时间、主要参加者人数、手机、电子邮箱。\n"
     u"文件名相对于表所在的文件夹写出（给出的是绝对路径时仍为绝对路径）。\n"
     u"主持人身份证号相同、或课题名称和主持人都相同的行标为“可能重复”，并写出与哪一行重复。\n"
     u"最后一列“最相似的”写出课题论证或可行性分析与本行抄袭的另一行和相似度（与 xdxtool similar 相同）。\n"
     u"\n"
     u"XLSX：首行冻结并可筛选，列宽按内容，经费为数字（只有有限的数才是数字）；第二张表“统计”按市、\n"
     u"学科、课题类别、所属系统计数，并合计申请经费（说明没有计入的行），按市另计申请经费；旁边是图表：\n"
     u"按市、按学科的申请数和按市的申请经费（条形图），按课题类别的申请数（饼图）。超过 32,767 个字符的\n"
     u"单元格截断并注明，标准错误上也说明。CSV：UTF-8（带 BOM），电子表格程序直接以中文打开。",
     kTableOptions, true,
     u"0 全部完整；1 有不完整的文件；2 有被拒绝或无法读取的文件，或无法写出。", false, tableCommand},
    {u"anonymity", u"查找活页（匿名评审用）中写出的主持人、参加者姓名和单位名称",
     u"xdxtool anonymity [选项] FILE.xdx|文件夹...",
     u"活页（申请书的课题名称、课题论证、可行性分析三栏）必须匿名、匿单位。本命令在这三栏中\n"
     u"查找申请书自己写出的主持人姓名、主要参加者姓名、工作单位、参加者的工作单位、经费管理\n"
     u"单位、开户银行和通讯地址；单位也按去掉所在市名后的写法查找。少于两个字的姓名不查。\n"
     u"比较时不分全角半角、大小写，不看空格、换行和零宽字符：被换行隔开的姓名也能找到。\n"
     u"每处一行：栏目、第几行、找到的文字、它在申请书中的出处、前后各十个字；两个字的姓名\n"
     u"出现在更长的一串汉字之中时标为“（弱）”（可能只是普通的词）。每个文件最多列出 200 处。",
     kAnonymityOptions, true,
     u"0 没有找到；1 有文件的活页写出了姓名或单位；2 有无法读取或被拒绝的文件。", false, anonymityCommand},
    {u"similar", u"查找互相抄袭的申请书（查重）",
     u"xdxtool similar [选项] FILE.xdx|文件夹...",
     u"比较申请书的课题论证和可行性分析，两栏也互相比较（移到另一栏的也能找到）：文字去掉空格（各种宽度）、\n"
     u"换行、标点和最常见的虚词（的、了、和……），不分全角半角、大小写，找出两份共有的、至少 {passage} 个字\n"
     u"的段落。共有段落占较短一份 {share}% 以上的两份列为相似的一对；共有一段至少 {long} 个字的，占得再少也\n"
     u"列出。改写或调换了一些句子、改了标点、每隔几个字插进“的”或空格的抄袭也能找到。出现在本轮 {stock}%\n"
     u"以上（至少 {stockLeast} 份）申请书中的段落是各份都有的标题和套话，不算。课题名称共有的部分（至少\n"
     u"{shingle} 个字）一并列出，但只是名称相同不算相似。\n"
     u"两栏都相同、只是课题名称不同的几份列为一组，只比较、只列出一次（--all-pairs 逐对列出）。\n"
     u"不是每两份都全文比较，但不会漏掉：每份的文字取指纹（每连续 {window} 个 {shingle} 字片段中最小的一个），\n"
     u"共有一段 {passage} 个字的两份必定有一个共同的指纹，只有共同指纹的两份才全文比较；凡是按上面的规则\n"
     u"该列出的，全都列出。\n"
     u"每项一行，按文件的输入顺序：一组的各个文件；一对的两个文件、相似度（各栏中最高的），以及每栏的\n"
     u"相似度、相同的段落数和前三段（在两份中从第几个字起、多少字、开头的文字）。",
     kSimilarOptions, true,
     u"0 没有相似的申请书；1 找到了；2 有无法读取或被拒绝的文件。", false, similarCommand},
    {u"official", u"把 XDX 文档标为正式文档（PASSBY 为 1），或撤销",
     u"xdxtool official [选项] FILE.xdx|文件夹...",
     u"把文档的 PASSBY 设为 1（--revoke：设为 0），其他内容逐字节不变：已有 PASSBY 时只替换\n"
     u"它的文字，没有时加在 ExpectProduction2 之后（与申请程序写出的位置相同）。\n"
     u"文件在写完后整体替换，所有者和权限不变；不是本系统生成的文档、无法解析的文档、只读的\n"
     u"文件、有多个硬链接的文件，以及 PASSBY 带属性或不是纯文字的文档不作改动，并说明原因。\n"
     u"正式文档在申请程序中只读，打印时带正式水印。\n"
     u"每个文件一行写到标准输出：已设为正式文档、已是正式文档等；无法修改的写到标准错误。",
     kOfficialOptions, true,
     u"0 全部成功；2 有文件无法修改。", false, officialCommand},
    {u"review assign", u"为每份申请书分配评审专家，写出活页和评分表",
     u"xdxtool review assign --experts 名单.xlsx [-k K] [--avoid-city] [--criteria 项:满分,...] -o 文件夹 FILE.xdx|文件夹...",
     u"每份完整的申请书分给 K 位专家（不完整、无法读取的列出后不分配）。专家不评审：主持人或参加者\n"
     u"在自己单位的、主持人、参加者或推荐人意见中有自己姓名的、单位是自己回避单位的申请书；加\n"
     u"--avoid-city 也不评审同一市（州）的。姓名和单位比较时不分全角半角、大小写，不看空格。\n"
     u"在这些条件下，同学科的专家优先，专家的评审数不超过最多评审数，并尽量平均：按最小费用流\n"
     u"求最优的分配，同样的输入得到同样的分配。有申请书分不到 K 位专家时逐一说明原因，不写任何文件。\n"
     u"每份申请书有一个评审编号（由申请书的标识、课题名称、主持人和身份证号得出，与文件名和次序\n"
     u"无关）。文件夹中写出：评审轮次.json；分配.xlsx（按申请、按专家两张表）；表决.xlsx（评审组\n"
     u"填写）；每位专家一个文件夹，内有 活页.pdf（所分申请书的活页，按编号排列，每页上端印评审编号，\n"
     u"不含文件名和第 1 至 13 页的任何内容）和 评分表.xlsx（各评分项限定在 0 到满分之间，总分自动求和，\n"
     u"编号和课题名称锁定）。已经收过评分表的文件夹不能重新分配。",
     kReviewAssignOptions, true,
     u"0 已分配；1 有不完整的申请书未分配；2 名单有误、有分不到专家的申请书、有无法读取的文件或无法写出。", true, reviewAssignCommand},
    {u"review collect", u"收入专家交回的评分表",
     u"xdxtool review collect [--replace] 文件夹 评分表.xlsx...",
     u"逐份核对交回的评分表（可以用任何电子表格程序另存过）：是本轮的表、是分给这位专家的表；只有\n"
     u"分给他的编号，每个一次，不缺；课题名称没有改动；每项评分是 0 到满分之间的数；总分等于各项之和。\n"
     u"每个问题写出文件、行和原因；有问题的表整份不收。同一位专家再次交回的表只在加 --replace 时替换。\n"
     u"收入的评分记在 评分数据.json，并写出 评分汇总.xlsx；最后说明收了多少份、多少个评分，还缺哪些专家。",
     kReviewCollectOptions, false,
     u"0 全部专家都已交回；1 还有专家没有交回；2 有评分表没有收入，或无法读写。", false, reviewCollectCommand},
    {u"review rank", u"按专家评分排名",
     u"xdxtool review rank [--quota 类别=N,...] 文件夹",
     u"写出 排名.xlsx：每份申请书的评分数、平均分、去掉最高最低后的平均分（{trim} 个以上评分时）、\n"
     u"校正后的平均分（每位专家的评分在他评的申请书中标准化，再换算到全部评分的平均分和标准差，\n"
     u"以消除评分偏严、偏宽的影响），极差达到满分的 {disagree}% 时标为“分歧大”，在课题类别内和学科内\n"
     u"按校正后的平均分排名次；加 --quota 时标出每个类别推荐的申请书。第二张表是每位专家的评分数、\n"
     u"平均分和标准差，旁边是各位专家平均分的图表。",
     kReviewRankOptions, false,
     u"0 已写出；1 还没有任何评分；2 无法读取评审轮次或无法写出。", false, reviewRankCommand},
    {u"review group", u"记录学科评审组的表决和批准意见",
     u"xdxtool review group 文件夹 --votes 表决.xlsx",
     u"读取评审组填好的 表决.xlsx：每个编号的评审组人数、实到人数、赞成票、反对票、弃权票（票数合计\n"
     u"不多于实到人数，实到人数不多于评审组人数）、评审组意见、未通过原因（1 为活页评审未通过；2 为投票\n"
     u"表决未通过，可加主要问题的序号 1 到 8，如“2：1、3”）、是否批准（是或否）、批准资助类别、批准金额\n"
     u"（万元）、拨款次数、年度拨款计划（如“2027:3，2028:2”，至多 5 年，合计等于批准金额）。\n"
     u"有问题时逐一写出行、列和原因，不记录；否则记录在评审轮次文件夹中，供 xdxtool pdf --review 打印。",
     kReviewGroupOptions, false,
     u"0 已记录；2 表决有误、无法读取或无法写出。", false, reviewGroupCommand},
#ifdef SHENBAO_HAVE_GUI
    {u"pdf", u"把 XDX 文档打印成 PDF（与申请程序的“预览\\打印”相同的 15 页申请书）",
     u"xdxtool pdf FILE.xdx [-o OUT.pdf] [--paper a4|letter] [--loose-leaf]\n"
     u"xdxtool pdf [选项] FILE.xdx|文件夹... -o OUT.pdf\n"
     u"xdxtool pdf [选项] FILE.xdx|文件夹... -d 输出文件夹 [--number-by 表.xlsx|表.csv]\n"
     u"xdxtool pdf --review 评审轮次文件夹 [选项] FILE.xdx|文件夹... -o OUT.pdf",
     u"像申请程序启动时那样打开文件，把打印出的申请·评审书写成 PDF（字体嵌入）。\n"
     u"正式文档（PASSBY 为 1）带正式水印，其他文档带“非正式文档 仅供个人校对”。\n"
     u"不需要显示器。输出不会替换本次的输入，也不会互相替换。",
     kPdfOptions, true,
     u"0 已写出；2 文件无法打开、不是本系统生成的文档、参数有误或无法写出。", true, pdfCommand},
#endif
};
// clang-format on

// The numbers the help states, each from the constant the code uses: "{passage}" in a
// description is the number of characters a shared passage counts from.
struct HelpNumber
{
    const char16_t* name;
    double value;
};
constexpr HelpNumber kHelpNumbers[] = {
    {u"passage", kSharedPassageCharacters},
    {u"share", kSimilarShare * 100},
    {u"long", kLongPassageCharacters},
    {u"stock", kStockShare * 100},
    {u"stockLeast", kStockLeastApplications},
    {u"shingle", kShingleCharacters},
    {u"window", kWinnowWindow},
    {u"jobs", kMostJobs},
    {u"reviewers", office::kDefaultReviewers},
    {u"trim", office::kTrimFrom},
    {u"disagree", office::kDisagreementShare * 100},
};

} // namespace

QString withNumbers(QString text)
{
    for (const HelpNumber& n : kHelpNumbers)
        text.replace(u'{' + QString::fromUtf16(n.name) + u'}', QString::number(n.value));
    QStringList criteria;
    for (const office::Criterion& c : office::defaultCriteria())
        criteria.append(c.name + u':' + QString::number(c.points));
    text.replace(u"{criteria}"_s, criteria.join(u','));
    return text;
}

std::span<const CommandSpec> commands()
{
    return kCommands;
}

std::span<const OptionSpec> manyFilesOptions()
{
    return kManyFilesOptions;
}

const OptionSpec& helpOption()
{
    return kHelpOption;
}

} // namespace shenbao::cli
