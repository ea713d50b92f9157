#include "cli/command.h"

#include "check/similarity.h"
#include "cli/commands.h"
#include "cli/inputs.h"
#include "cli/messages.h"
#include "files/files.h"

#include <QDir>
#include <QIODevice>

#include <algorithm>
#include <thread>

using namespace Qt::StringLiterals;

namespace shenbao::cli {
namespace {

// The options of every command over many files, declared once.
constexpr OptionSpec kManyFilesOptions[] = {
    {u"r|recursive", nullptr, u"文件夹连同其子文件夹（文件夹中取 *.xdx，按文件名排序）"},
    {u"files-from", u"列表", u"从列表文件读文件名，每行一个（- 为标准输入）"},
    {u"0|null", nullptr, u"列表中的文件名以 NUL 字符分隔（find -print0 的写法）"},
    {u"j", u"N", u"同时处理的文件数（默认为处理器核数，最多 256）；结果总按输入的顺序输出"},
};
constexpr OptionSpec kHelpOption = {u"h|help", nullptr, u"显示本帮助"};

constexpr int kMostJobs = 256;
constexpr qint64 kMaxListBytes = qint64(64) << 20;

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
    {u"paper", u"a4|letter", u"纸张，默认 a4；图样不缩放，从纸的左上角画起"},
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
#ifdef SHENBAO_HAVE_GUI
    {u"pdf", u"把 XDX 文档打印成 PDF（与申请程序的“预览\\打印”相同的 15 页申请书）",
     u"xdxtool pdf FILE.xdx [-o OUT.pdf] [--paper a4|letter] [--loose-leaf]\n"
     u"xdxtool pdf [选项] FILE.xdx|文件夹... -o OUT.pdf\n"
     u"xdxtool pdf [选项] FILE.xdx|文件夹... -d 输出文件夹 [--number-by 表.xlsx|表.csv]",
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
};

QString withNumbers(QString text)
{
    for (const HelpNumber& n : kHelpNumbers)
        text.replace(u'{' + QString::fromUtf16(n.name) + u'}', QString::number(n.value));
    return text;
}

// Columns a text takes on a terminal: Chinese characters two.
int displayWidth(QStringView text)
{
    int width = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool wide = (u >= 0x1100 && u <= 0x115F) || (u >= 0x2E80 && u <= 0xA4CF) ||
                          (u >= 0xAC00 && u <= 0xD7A3) || (u >= 0xF900 && u <= 0xFAFF) ||
                          (u >= 0xFE30 && u <= 0xFE4F) || (u >= 0xFF00 && u <= 0xFF60) ||
                          (u >= 0xFFE0 && u <= 0xFFE6);
        width += c.isLowSurrogate() ? 0 : wide ? 2 : 1;
    }
    return width;
}

QStringList namesOf(const OptionSpec& spec)
{
    return QString::fromUtf16(spec.names).split(u'|');
}

QCommandLineOption optionOf(const OptionSpec& spec)
{
    if (spec.valueName)
        return QCommandLineOption(namesOf(spec), QString::fromUtf16(spec.description),
                                  QString::fromUtf16(spec.valueName));
    return QCommandLineOption(namesOf(spec), QString::fromUtf16(spec.description));
}

// "-r, --recursive", "--files-from 列表"
QString shownOption(const OptionSpec& spec)
{
    QStringList names;
    for (const QString& n : namesOf(spec))
        names.append((n.size() == 1 ? u"-"_s : u"--"_s) + n);
    QString shown = names.join(u", "_s);
    if (spec.valueName)
        shown += u' ' + QString::fromUtf16(spec.valueName);
    return shown;
}

std::vector<OptionSpec> allOptions(const CommandSpec& c)
{
    std::vector<OptionSpec> all(c.options.begin(), c.options.end());
    if (c.manyFiles)
        all.insert(all.end(), std::begin(kManyFilesOptions), std::end(kManyFilesOptions));
    return all;
}

void usage(QTextStream& s)
{
    s << msg::toolUsage() << "\n\n" << msg::toolDescription() << "\n\n" << msg::subcommands() << '\n';
    for (const CommandSpec& c : kCommands)
        s << "  " << QString::fromUtf16(c.name).leftJustified(11) << QString::fromUtf16(c.summary) << '\n';
    s << '\n' << msg::helpHint() << '\n';
}

} // namespace

std::span<const CommandSpec> commands()
{
    return kCommands;
}

const CommandSpec* findCommand(QStringView name)
{
    for (const CommandSpec& c : kCommands)
        if (name == QStringView(c.name))
            return &c;
    return nullptr;
}

QString helpText(const CommandSpec& c)
{
    QString text;
    const QStringList forms = QString::fromUtf16(c.usage).split(u'\n');
    const QString lead = msg::usageLead();
    for (qsizetype i = 0; i < forms.size(); ++i)
        text += (i ? QString(displayWidth(lead), u' ') : lead) + forms[i] + u'\n';
    text += u'\n' + withNumbers(QString::fromUtf16(c.description)) + u"\n\n"_s;
    std::vector<OptionSpec> options = allOptions(c);
    options.push_back(kHelpOption);
    int width = 0;
    for (const OptionSpec& o : options)
        width = std::max(width, displayWidth(shownOption(o)));
    text += msg::optionsHeading() + u'\n';
    for (const OptionSpec& o : options) {
        const QString shown = shownOption(o);
        text += u"  "_s + shown + QString(width - displayWidth(shown) + 3, u' ') +
                QString::fromUtf16(o.description) + u'\n';
    }
    text += u'\n' + msg::exitsLead() + QString::fromUtf16(c.exits) + u'\n';
    return text;
}

Invocation::Invocation(const CommandSpec& command, Io& io) : m_command(command), m_io(io)
{
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const OptionSpec& o : allOptions(command))
        m_parser.addOption(optionOf(o));
}

bool Invocation::parse(const QStringList& args)
{
    if (m_parser.parse(QStringList{u"xdxtool"_s} + args))
        return !m_command.manyFiles || checkJobs();
    QString what;
    if (!m_parser.unknownOptionNames().isEmpty()) {
        const QString name = m_parser.unknownOptionNames().constFirst();
        what = msg::unknownOption((name.size() == 1 ? u"-"_s : u"--"_s) + name);
    } else if (!args.isEmpty() && args.constLast().startsWith(u'-')) {
        what = msg::missingValue(args.constLast());
    } else {
        what = m_parser.errorText();
    }
    m_status = usageError(what);
    return false;
}

bool Invocation::checkJobs()
{
    m_jobs = std::max(1, int(std::thread::hardware_concurrency()));
    if (!isSet(u"j"))
        return true;
    const QString given = value(u"j");
    bool digits = !given.isEmpty();
    for (const QChar c : given)
        digits = digits && c >= u'0' && c <= u'9';
    bool ok = false;
    const qlonglong n = given.toLongLong(&ok);
    if (!digits || !ok || n < 1) {
        m_status = usageError(msg::badJobs(given));
        return false;
    }
    if (n > kMostJobs)
        err() << msg::jobsCapped(kMostJobs) << '\n';
    m_jobs = int(std::min<qlonglong>(n, kMostJobs));
    return true;
}

bool Invocation::isSet(QStringView name) const
{
    return m_parser.isSet(name.toString());
}

QString Invocation::value(QStringView name) const
{
    return m_parser.value(name.toString());
}

int Invocation::usageError(const QString& what)
{
    err() << msg::usage(QString::fromUtf16(m_command.name), what) << '\n';
    return Failure;
}

namespace {

QString joined(const QString& folder, const QString& name)
{
    const QString clean = QDir::cleanPath(folder);
    return clean.endsWith(u'/') ? clean + name : clean + u'/' + name;
}

// A folder's documents, by name; with recursive its subfolders' too, each folder's before those
// of its subfolders. Every *.xdx is taken, whatever bytes its name is made of; a folder that
// cannot be read is reported.
void addFolder(const QString& folder, bool recursive, QStringList& files, Invocation& invocation,
               int& problems)
{
    FileResult<std::vector<FolderEntry>> listing = listFolder(folder);
    if (!listing) {
        invocation.err() << msg::cannotReadFolder(shownPath(folder), listing.error().why()) << '\n';
        ++problems;
        return;
    }
    std::vector<FolderEntry>& entries = *listing;
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    for (const FolderEntry& e : entries)
        if (e.kind != PathKind::Folder && e.name.size() > 4 && e.name.endsWith(u".xdx", Qt::CaseInsensitive))
            files.append(joined(folder, e.name)); // *.XDX from a USB stick too; a broken link is reported
    if (!recursive)
        return;
    for (const FolderEntry& e : entries)
        if (e.kind == PathKind::Folder && !e.link) // a link back up would never end
            addFolder(joined(folder, e.name), true, files, invocation, problems);
}

} // namespace

std::optional<QStringList> Invocation::files()
{
    QStringList names = positional();
    const bool nulls = isSet(u"null");
    if (isSet(u"files-from")) {
        const QString list = value(u"files-from");
        const FileResult<QByteArray> read =
            list == u"-" ? readStandardInput(kMaxListBytes) : readRegularFile(list, kMaxListBytes);
        if (!read) {
            m_status =
                usageError(msg::cannotReadList(list == u"-" ? list : shownPath(list), read.error().why()));
            return std::nullopt;
        }
        const QByteArray& bytes = *read;
        // One name a line (or ended by NUL with -0), as the system gives names: bytes. A CR
        // before the LF and empty lines are no part of a name.
        if (!nulls && bytes.contains('\0')) {
            m_status = usageError(msg::nulInList(list == u"-" ? list : shownPath(list)));
            return std::nullopt;
        }
        for (QByteArray line : bytes.split(nulls ? '\0' : '\n')) {
            if (!nulls && line.endsWith('\r'))
                line.chop(1);
            if (!line.isEmpty())
                names.append(pathFromSystem(line));
        }
    } else if (nulls) {
        m_status = usageError(msg::nullWithoutList());
        return std::nullopt;
    }
    const bool recursive = isSet(u"recursive");
    QStringList files;
    for (const QString& name : std::as_const(names)) {
        if (pathKind(name) == PathKind::Folder)
            addFolder(name, recursive, files, *this, m_problems);
        else
            files.append(name);
    }
    if (files.isEmpty()) {
        if (names.isEmpty())
            m_status = usageError(msg::wantFiles());
        else if (m_problems == 0)
            m_status = usageError(msg::noDocumentsIn(names));
        else
            m_status = Failure; // every folder was reported
        return std::nullopt;
    }
    return files;
}

bool needsGui(const QStringList& args)
{
    const CommandSpec* c = args.isEmpty() ? nullptr : findCommand(args.first());
    return c && c->needsGui;
}

namespace {

bool wantsHelp(const QStringList& args)
{
    return args.contains(u"--help"_s) || args.contains(u"-h"_s);
}

int dispatch(const QStringList& args, Io& io)
{
    if (args.isEmpty()) {
        usage(io.err);
        return Failure;
    }
    const QString name = args.first();
    if (name == u"--help" || name == u"-h" || name == u"help") {
        if (args.size() > 1)
            if (const CommandSpec* c = findCommand(args.at(1))) {
                io.out << helpText(*c);
                return Ok;
            }
        usage(io.out);
        return Ok;
    }
    const CommandSpec* command = findCommand(name);
    if (!command) {
        io.err << msg::unknownCommand(name) << "\n\n";
        usage(io.err);
        return Failure;
    }
    const QStringList rest = args.mid(1);
    if (wantsHelp(rest)) {
        io.out << helpText(*command);
        return Ok;
    }
    Invocation invocation(*command, io);
    if (!invocation.parse(rest))
        return invocation.status();
    return command->run(invocation);
}

} // namespace

int run(const QStringList& args, Io io)
{
    int status = dispatch(args, io);
    io.out.flush();
    if (interrupted()) {
        io.err << msg::interrupted() << '\n';
        status = office::kInterruptedStatus;
    }
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
