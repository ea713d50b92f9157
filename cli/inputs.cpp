#include "cli/inputs.h"

#include "cli/messages.h"
#include "files/files.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#ifdef Q_OS_WIN
#include <io.h>
#define SHENBAO_ISATTY(fd) _isatty(fd)
#else
#include <unistd.h>
#define SHENBAO_ISATTY(fd) ::isatty(fd)
#endif

namespace shenbao::cli {
namespace {

constexpr qint64 kMaxListBytes = qint64(64) << 20;

// A folder's documents, by name; with recursive its subfolders' too, each folder's before those
// of its subfolders.
void addFolder(const QString& folder, bool recursive, QStringList& files)
{
    const QDir dir(folder);
    for (const QFileInfo& f : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name))
        if (f.suffix().compare(u"xdx", Qt::CaseInsensitive) == 0) // *.XDX from a USB stick too
            files.append(dir.filePath(f.fileName()));
    if (!recursive)
        return;
    for (const QFileInfo& sub : dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name))
        if (!sub.isSymLink()) // a link back up would never end
            addFolder(dir.filePath(sub.fileName()), true, files);
}

} // namespace

void ManyFiles::addTo(QCommandLineParser& parser)
{
    parser.addOptions({m_recursive, m_filesFrom, m_jobs});
}

std::optional<QStringList> ManyFiles::parse(QCommandLineParser& parser, const QStringList& args, Io& io,
                                            const QString& command, int* status)
{
    addTo(parser);
    if (!parseArguments(parser, args, io, command, status))
        return std::nullopt;
    return files(parser, io, command, status);
}

std::optional<QStringList> ManyFiles::files(const QCommandLineParser& parser, Io& io, const QString& command,
                                            int* status) const
{
    QStringList names = parser.positionalArguments();
    if (parser.isSet(m_filesFrom)) {
        const QString list = parser.value(m_filesFrom);
        QByteArray bytes;
        if (list == u"-") {
            QFile in;
            if (!in.open(stdin, QIODevice::ReadOnly) || (bytes = in.read(kMaxListBytes + 1)).size() > kMaxListBytes) {
                *status = usageError(io, command, msg::cannotReadList(list, in.errorString()));
                return std::nullopt;
            }
        } else {
            FileRead read = readRegularFile(list, kMaxListBytes);
            if (read.status != FileRead::Status::Ok) {
                *status = usageError(io, command, msg::cannotReadList(list, read.why()));
                return std::nullopt;
            }
            bytes = std::move(read.bytes);
        }
        // One name a line, in UTF-8; a CR before the LF and empty lines are no part of a name.
        for (QByteArray line : bytes.split('\n')) {
            if (line.endsWith('\r'))
                line.chop(1);
            if (!line.isEmpty())
                names.append(QString::fromUtf8(line));
        }
    }
    const bool recursive = parser.isSet(m_recursive);
    QStringList files;
    for (const QString& name : std::as_const(names)) {
        if (QFileInfo(name).isDir())
            addFolder(name, recursive, files);
        else
            files.append(name);
    }
    if (files.isEmpty()) {
        *status = usageError(io, command, names.isEmpty() ? msg::wantFiles() : msg::noDocumentsIn(names));
        return std::nullopt;
    }
    return files;
}

int ManyFiles::jobs(const QCommandLineParser& parser) const
{
    bool ok = false;
    const int n = parser.value(m_jobs).toInt(&ok);
    if (ok && n >= 1)
        return std::min(n, 256);
    return std::max(1, int(std::thread::hardware_concurrency()));
}

Progress::Progress(QTextStream& err, qsizetype total)
    : m_err(err), m_total(total), m_terminal(SHENBAO_ISATTY(2) != 0),
      m_started(QDateTime::currentMSecsSinceEpoch())
{
}

Progress::~Progress()
{
    clear();
}

void Progress::step(qsizetype done)
{
    if (!m_terminal)
        return;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now - m_started < 1000 || now - m_drawn < 100)
        return;
    m_drawn = now;
    constexpr int kWidth = 40;
    const int filled = m_total ? int(done * kWidth / m_total) : kWidth;
    m_err << '\r' << '[' << QString(filled, u'#') << QString(kWidth - filled, u'-') << "] " << done << '/'
          << m_total << Qt::flush;
    m_shown = true;
}

void Progress::write(const QString& line)
{
    clear();
    m_err << line << '\n';
    m_drawn = -1; // drawn again at the next step
}

void Progress::clear()
{
    if (!m_shown)
        return;
    m_err << '\r' << QString(60, u' ') << '\r' << Qt::flush;
    m_shown = false;
}

} // namespace shenbao::cli
