#include "cli/command.h"

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
        all.insert(all.end(), manyFilesOptions().begin(), manyFilesOptions().end());
    return all;
}

void usage(QTextStream& s)
{
    s << msg::toolUsage() << "\n\n" << msg::toolDescription() << "\n\n" << msg::subcommands() << '\n';
    for (const CommandSpec& c : commands())
        s << "  " << QString::fromUtf16(c.name).leftJustified(16) << QString::fromUtf16(c.summary) << '\n';
    s << '\n' << msg::helpHint() << '\n';
}

} // namespace

const CommandSpec* findCommand(QStringView name)
{
    for (const CommandSpec& c : commands())
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
    options.push_back(helpOption());
    int width = 0;
    for (const OptionSpec& o : options)
        width = std::max(width, displayWidth(shownOption(o)));
    text += msg::optionsHeading() + u'\n';
    for (const OptionSpec& o : options) {
        const QString shown = shownOption(o);
        text += u"  "_s + shown + QString(width - displayWidth(shown) + 3, u' ') +
                withNumbers(QString::fromUtf16(o.description)) + u'\n';
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

// The command args name and how many words its name took: "check", or "review assign".
std::pair<const CommandSpec*, qsizetype> commandOf(const QStringList& args)
{
    if (args.size() >= 2)
        if (const CommandSpec* c = findCommand(QString(args[0] + u' ' + args[1])))
            return {c, 2};
    return {args.isEmpty() ? nullptr : findCommand(args.first()), 1};
}

bool needsGui(const QStringList& args)
{
    const CommandSpec* c = commandOf(args).first;
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
        if (const CommandSpec* c = commandOf(args.mid(1)).first) {
            io.out << helpText(*c);
            return Ok;
        }
        usage(io.out);
        return Ok;
    }
    const auto [command, words] = commandOf(args);
    if (!command) {
        // "review" alone, or with a word that is none of its own: the group's words are named.
        const bool group = std::any_of(commands().begin(), commands().end(), [&](const CommandSpec& c) {
            return QStringView(c.name).startsWith(QString(name + u' '));
        });
        io.err << msg::unknownCommand(group ? args.mid(0, 2).join(u' ') : name) << "\n\n";
        usage(io.err);
        return Failure;
    }
    const QStringList rest = args.mid(words);
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
