#include "cli/xdxtool.h"

#include "cli/messages.h"

#include <QIODevice>
#include <span>

namespace shenbao::cli {
namespace {

// clang-format off
constexpr Command kCommands[] = {
    {u"check", u"检查 XDX 文档是否填写完整（与申请程序的“检 查”相同）",
     u"用法：xdxtool check [--json] [-r] [-j N] [--files-from 列表|-] FILE.xdx|文件夹...\n"
     u"\n"
     u"对每个文件给出错误列表：与申请程序以该文件启动后显示的列表相同。\n"
     u"一个文件时每行一条；多个文件时每行以“文件名: ”开头。\n"
     u"程序会以消息框显示的问题（无法解析、不是本系统生成的文档等）写到标准错误。\n"
     u"\n"
     u"  --json   输出一个 JSON 数组，每个文件一个对象：\n"
     u"           file, status (complete|incomplete|rejected|error), message, official, entries\n"
     u"  -r, --recursive     文件夹连同其子文件夹（文件夹中取 *.xdx，按文件名排序）\n"
     u"  --files-from 列表   从列表文件读文件名，每行一个（- 为标准输入）\n"
     u"  -j N                同时处理的文件数（默认为处理器核数）；结果总按输入的顺序输出\n"
     u"\n"
     u"退出码：0 全部完整；1 有不完整的文件；2 有被拒绝或无法读取的文件。\n",
     false, checkCommand},
    {u"dump", u"把 XDX 文档中的申请内容输出为 JSON",
     u"用法：xdxtool dump FILE.xdx\n"
     u"      xdxtool dump --jsonl [-r] [-j N] [--files-from 列表|-] FILE.xdx|文件夹...\n"
     u"\n"
     u"输出申请程序打开该文件后所持有的内容：一个 JSON 对象，键按文档元素的顺序\n"
     u"（ProjectID, ProjectName, ... jiaoyujuyijian），另加 \"official\"。\n"
     u"表格是行的数组，每行是各列字符串的数组；长文本是一个字符串（换行为 \\r\\n）。\n"
     u"输出的 JSON 可以用 xdxtool build 重新生成文档。\n"
     u"--jsonl：多个文件，每个文件一行 JSON（另加 \"file\"），按输入的顺序；无法打开的写到标准错误。\n"
     u"\n"
     u"退出码：0 成功；2 文件无法打开或不是本系统生成的文档。\n",
     false, dumpCommand},
    {u"build", u"由 JSON 生成 XDX 文档（与申请程序的“保 存”相同）",
     u"用法：xdxtool build IN.json OUT.xdx      （IN.json 为 - 时读标准输入）\n"
     u"\n"
     u"JSON 的形式与 xdxtool dump 的输出相同；缺少的键视为空，ProjectID 与 official 被忽略。\n"
     u"文档与“保 存”写出的相同：新的 ProjectID，PASSBY 为 0，verifylist 为检查结果。\n"
     u"未知的键、类型不对、行或列过多、选择项不在可选范围内时报错，不写任何文件。\n"
     u"\n"
     u"退出码：0 已写出；1 缺少课题名称或主持人；2 输入有误或无法写出。\n",
     false, buildCommand},
    {u"table", u"把一批 XDX 文档列成一张表（XLSX 或 CSV），供评审会排序筛选",
     u"用法：xdxtool table [-r] [-j N] [--files-from 列表|-] FILE.xdx|文件夹... -o 表.xlsx|表.csv\n"
     u"\n"
     u"每个文件一行，按输入的顺序：文件、状态（完整、不完整、被拒绝、无法读取）、未填项数、\n"
     u"是否正式文档，以及课题名称、主持人、性别、出生日期、专业职务、工作单位、所在市、所属系统、\n"
     u"课题类别、学科类别、研究类型、申请资助经费、预期完成时间、主要参加者人数、手机、电子邮箱。\n"
     u"主持人身份证号相同、或课题名称和主持人都相同的行标为“可能重复”，并写出与哪一行重复。\n"
     u"\n"
     u"XLSX：首行冻结并可筛选，列宽按内容，经费为数字；第二张表“统计”按市、学科、课题类别、\n"
     u"所属系统计数，并合计申请经费。CSV：UTF-8（带 BOM），电子表格程序直接以中文打开。\n"
     u"\n"
     u"  -o 文件             输出（.xlsx 或 .csv），写完后整体替换\n"
     u"  -r, --recursive     文件夹连同其子文件夹\n"
     u"  --files-from 列表   从列表文件读文件名，每行一个（- 为标准输入）\n"
     u"  -j N                同时处理的文件数（默认为处理器核数）\n"
     u"\n"
     u"退出码：0 全部完整；1 有不完整的文件；2 有被拒绝或无法读取的文件，或无法写出。\n",
     false, tableCommand},
    {u"anonymity", u"查找活页（匿名评审用）中写出的主持人、参加者姓名和单位名称",
     u"用法：xdxtool anonymity [--json] [-r] [-j N] [--files-from 列表|-] FILE.xdx|文件夹...\n"
     u"\n"
     u"活页（申请书的课题名称、课题论证、可行性分析三栏）必须匿名、匿单位。本命令在这三栏中\n"
     u"查找申请书自己写出的主持人姓名、主要参加者姓名、工作单位、参加者的工作单位、经费管理\n"
     u"单位、开户银行和通讯地址；单位也按去掉所在市名后的写法查找。少于两个字的姓名不查。\n"
     u"每处一行：栏目、找到的文字、它在申请书中的出处、前后各十个字。\n"
     u"\n"
     u"  --json   输出一个 JSON 数组，每个文件一个对象：file, message, hits（field, text, source, context）\n"
     u"  -r, --recursive     文件夹连同其子文件夹\n"
     u"  --files-from 列表   从列表文件读文件名，每行一个（- 为标准输入）\n"
     u"  -j N                同时处理的文件数（默认为处理器核数）\n"
     u"\n"
     u"退出码：0 没有找到；1 有文件的活页写出了姓名或单位；2 有无法读取或被拒绝的文件。\n",
     false, anonymityCommand},
    {u"official", u"把 XDX 文档标为正式文档（PASSBY 为 1），或撤销",
     u"用法：xdxtool official [--revoke] [-r] [-j N] [--files-from 列表|-] FILE.xdx|文件夹...\n"
     u"\n"
     u"把文档的 PASSBY 设为 1（--revoke：设为 0），其他内容逐字节不变：已有 PASSBY 时只替换\n"
     u"它的文字，没有时加在 ExpectProduction2 之后（与申请程序写出的位置相同）。\n"
     u"文件在写完后整体替换；不是本系统生成的文档、无法解析的文档不作改动，并说明原因。\n"
     u"正式文档在申请程序中只读，打印时带正式水印。\n"
     u"\n"
     u"  --revoke            撤销正式（PASSBY 设为 0）\n"
     u"  -r, --recursive     文件夹连同其子文件夹\n"
     u"  --files-from 列表   从列表文件读文件名，每行一个（- 为标准输入）\n"
     u"  -j N                同时处理的文件数（默认为处理器核数）\n"
     u"\n"
     u"每个文件一行写到标准输出：已设为正式文档、已是正式文档等；无法修改的写到标准错误。\n"
     u"退出码：0 全部成功；2 有文件无法修改。\n",
     false, officialCommand},
#ifdef SHENBAO_HAVE_GUI
    {u"pdf", u"把 XDX 文档打印成 PDF（与申请程序的“预览\\打印”相同的 15 页申请书）",
     u"用法：xdxtool pdf FILE.xdx [-o OUT.pdf] [--paper a4|letter] [--loose-leaf]\n"
     u"      xdxtool pdf FILE.xdx|文件夹... -o OUT.pdf [--loose-leaf] [-r] [-j N]\n"
     u"      xdxtool pdf FILE.xdx|文件夹... -d 输出文件夹 [--loose-leaf] [--number-by 表.xlsx|表.csv] [-r] [-j N]\n"
     u"\n"
     u"像申请程序启动时那样打开文件，把打印出的申请·评审书写成 PDF（字体嵌入）。\n"
     u"正式文档（PASSBY 为 1）带正式水印，其他文档带“非正式文档 仅供个人校对”。\n"
     u"不需要显示器。\n"
     u"\n"
     u"  -o OUT.pdf       输出文件；默认与 FILE 同名、扩展名为 .pdf。多个文件时合成这一个 PDF：\n"
     u"                   按输入的顺序，每份申请书各有自己的页码和水印，字体只嵌入一次；\n"
     u"                   无法打印的文件报告后跳过\n"
     u"  --paper a4|letter  纸张，默认 a4；图样不缩放，从纸的左上角画起\n"
     u"  -d 文件夹        多个文件：每个文件一个 PDF，写到这个文件夹，名字与文件相同\n"
     u"  --loose-leaf     只要活页（匿名评审用的课题论证和可行性分析两页，连同续页和它们在\n"
     u"                   申请书中的页码）；正式或非正式的水印与整本申请书相同\n"
     u"  --number-by 表.xlsx|表.csv  以文件在 xdxtool table 写出的表中的行号命名\n"
     u"                   （0001.pdf...），评审专家从文件名看不出申请人；表可以在电子表格\n"
     u"                   程序中排过序，以现在的行号为准；不在表中的文件是错误\n"
     u"  -r, --files-from, -j  与 xdxtool check 相同\n"
     u"\n"
     u"退出码：0 已写出；2 文件无法打开、不是本系统生成的文档、参数有误或无法写出。\n",
     true, pdfCommand},
#endif
};
// clang-format on

QString text(const char16_t* s)
{
    return QString::fromUtf16(s);
}

const Command* find(const QString& name)
{
    for (const Command& c : kCommands)
        if (name == QStringView(c.name))
            return &c;
    return nullptr;
}

void usage(QTextStream& s)
{
    s << "用法：xdxtool <子命令> [参数...]\n\n"
         "澄岚省教育科学规划课题立项申请填写程序的命令行工具，用于成批检查、查看和生成 XDX 文档。\n\n"
         "子命令：\n";
    for (const Command& c : kCommands)
        s << "  " << text(c.name).leftJustified(11) << text(c.summary) << '\n';
    s << "\n每个子命令都有 --help，例如：xdxtool check --help\n";
}

} // namespace

bool parseArguments(QCommandLineParser& parser, const QStringList& args, Io& io, const QString& command,
                    int* status)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    if (parser.parse(QStringList{u"xdxtool"_qs} + args))
        return true;
    QString what;
    if (!parser.unknownOptionNames().isEmpty()) {
        const QString name = parser.unknownOptionNames().constFirst();
        what = msg::unknownOption((name.size() == 1 ? u"-"_qs : u"--"_qs) + name);
    } else if (!args.isEmpty() && args.constLast().startsWith(u'-')) {
        what = msg::missingValue(args.constLast());
    } else {
        what = parser.errorText();
    }
    *status = usageError(io, command, what);
    return false;
}

bool wantsHelp(const QStringList& args)
{
    return args.contains(u"--help"_qs) || args.contains(u"-h"_qs);
}

bool needsGui(const QStringList& args)
{
    const Command* c = args.isEmpty() ? nullptr : find(args.first());
    return c && c->needsGui;
}

namespace {

int dispatch(const QStringList& args, Io& io)
{
    if (args.isEmpty()) {
        usage(io.err);
        return Failure;
    }
    const QString name = args.first();
    if (name == u"--help" || name == u"-h" || name == u"help") {
        if (args.size() > 1)
            if (const Command* c = find(args.at(1))) {
                io.out << text(c->help);
                return Ok;
            }
        usage(io.out);
        return Ok;
    }
    const Command* command = find(name);
    if (!command) {
        io.err << msg::unknownCommand(name) << "\n\n";
        usage(io.err);
        return Failure;
    }
    const QStringList rest = args.mid(1);
    if (wantsHelp(rest)) {
        io.out << text(command->help);
        return Ok;
    }
    return command->run(rest, io);
}

} // namespace

int run(const QStringList& args, Io io)
{
    const int status = dispatch(args, io);
    io.out.flush();
    // What did not reach the output (a full disk, a closed pipe) is a failure, never a short
    // file that looks complete: help texts and usage included.
    if (io.out.status() != QTextStream::Ok) {
        const QIODevice* device = io.out.device();
        io.err << msg::cannotWriteOutput(device ? device->errorString() : msg::writeFailed()) << '\n';
        io.err.flush();
        return Failure;
    }
    io.err.flush();
    return status;
}

} // namespace shenbao::cli
