// What every system shares: names as bytes, the reasons in words, the lock and the run folder.
#include "files/files.h"
#include "files/messages.h"
#include "record/textrules.h"

#include <QCoreApplication>
#include <QDir>
#include <QLockFile>
#include <QTemporaryDir>

namespace shenbao {
namespace {

constexpr char16_t kEscapeBase = 0xDC00; // + a byte of 0x80..0xFF

} // namespace

QString FileError::why() const
{
    switch (kind) {
    case Kind::Missing:
        return filesmsg::missing();
    case Kind::Folder:
        return filesmsg::folder();
    case Kind::NotRegular:
        return filesmsg::notFile(what);
    case Kind::TooLarge:
        return filesmsg::tooLarge(limit);
    case Kind::ReadOnly:
        return filesmsg::readOnly();
    case Kind::HardLinks:
        return filesmsg::hardLinks(links);
    case Kind::Owner:
        return filesmsg::owner();
    case Kind::PlantedLink:
        return filesmsg::plantedLink();
    case Kind::Held:
        return filesmsg::held();
    case Kind::Interrupted:
        return filesmsg::interrupted();
    case Kind::System:
        break;
    }
    return reason;
}

QString pathFromSystem(QByteArrayView bytes)
{
    // UTF-8 decoded by hand: every byte of a sequence that is not UTF-8 (a GBK name, a stray
    // Latin-1 one) becomes its escape, so that pathToSystem gives the same bytes back.
    QString out;
    out.reserve(bytes.size());
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned char c = b[i];
        if (c < 0x80) {
            out += QChar(char16_t(c));
            ++i;
            continue;
        }
        int length = 0;
        char32_t code = 0, least = 0;
        if (c >= 0xC2 && c <= 0xDF)
            length = 2, code = c & 0x1F, least = 0x80;
        else if (c >= 0xE0 && c <= 0xEF)
            length = 3, code = c & 0x0F, least = 0x800;
        else if (c >= 0xF0 && c <= 0xF4)
            length = 4, code = c & 0x07, least = 0x10000;
        bool valid = length > 0 && i + length <= n;
        for (int k = 1; valid && k < length; ++k) {
            valid = (b[i + k] & 0xC0) == 0x80;
            code = (code << 6) | (b[i + k] & 0x3F);
        }
        valid = valid && code >= least && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
        if (!valid) {
            out += QChar(char16_t(kEscapeBase + c));
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            out += QChar(QChar::highSurrogate(code));
            out += QChar(QChar::lowSurrogate(code));
        } else {
            out += QChar(char16_t(code));
        }
        i += length;
    }
    return out;
}

QByteArray pathToSystem(QStringView path)
{
    QByteArray out;
    out.reserve(path.size() * 3);
    qsizetype from = 0; // the start of the run of ordinary characters not yet encoded
    const auto flush = [&](qsizetype to) {
        if (to > from)
            out += path.mid(from, to - from).toUtf8();
    };
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t c = path[i].unicode();
        const bool escape =
            c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF && (i == 0 || !path[i - 1].isHighSurrogate());
        if (!escape)
            continue;
        flush(i);
        out += char(c - kEscapeBase);
        from = i + 1;
    }
    flush(path.size());
    return out;
}

QString shownPath(const QString& path)
{
    return QDir::toNativeSeparators(hasUndecodedBytes(path) ? readableFileName(pathToSystem(path))
                                                            : visibleControls(path));
}

bool hasUndecodedBytes(QStringView path)
{
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t c = path[i].unicode();
        if (c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF && (i == 0 || !path[i - 1].isHighSurrogate()))
            return true;
    }
    return false;
}

FileResult<void> appendToFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::Append) || file.write(bytes) != bytes.size())
        return fileFailure(FileError::system(file.errorString()));
    return {};
}

FileResult<void> replaceFile(const QString& path, const QByteArray& bytes, ReplaceOptions options)
{
    return replaceFileWith(
        path, [&](QIODevice& device, QString*) { return device.write(bytes) == bytes.size(); }, options);
}

// The lock: Qt's, which records the program's number and takes over a lock whose program is
// gone. Its age alone never makes it stale: a window keeps its copy for hours.
struct FileLock::Private
{
    explicit Private(const QString& path) : lock(path) { lock.setStaleLockTime(0); }
    QLockFile lock;
};

FileLock::FileLock(const QString& path) : d(std::make_unique<Private>(path)) {}

FileLock::~FileLock() = default; // QLockFile lets go and removes its file

FileResult<void> FileLock::tryLock()
{
    if (d->lock.isLocked() || d->lock.tryLock(0))
        return {};
    switch (d->lock.error()) {
    case QLockFile::LockFailedError:
        return fileFailure(FileError::of(FileError::Kind::Held));
    case QLockFile::PermissionError:
        return fileFailure(FileError::system(filesmsg::cannotLockHere()));
    case QLockFile::NoError:
    case QLockFile::UnknownError:
        break;
    }
    return fileFailure(FileError::system(filesmsg::cannotWriteLock()));
}

bool FileLock::isLocked() const
{
    return d->lock.isLocked();
}

void FileLock::unlock()
{
    d->lock.unlock();
}

bool FileLock::isHeld(const QString& path)
{
    QLockFile probe(path);
    probe.setStaleLockTime(0);
    qint64 pid = 0;
    QString host, app;
    if (!probe.getLockInfo(&pid, &host, &app))
        return false; // no lock, or not one a program wrote
    if (pid == QCoreApplication::applicationPid())
        return true;
    if (probe.tryLock(0)) {
        probe.unlock(); // it was stale: taken over, and gone again
        return false;
    }
    // Another program holds it, or it cannot be taken over (a read-only folder): then its
    // program's number decides.
    return probe.error() == QLockFile::LockFailedError && processRuns(pid);
}

bool FileLock::removeIfStale(const QString& path)
{
    QLockFile probe(path);
    probe.setStaleLockTime(0);
    qint64 pid = 0;
    QString host, app;
    if (!probe.getLockInfo(&pid, &host, &app) || pid == QCoreApplication::applicationPid() ||
        processRuns(pid))
        return false;
    return probe.removeStaleLockFile();
}

int removeLeftoverTemporaries(const QString& folder)
{
    const FileResult<std::vector<FolderEntry>> entries = listFolder(folder);
    if (!entries)
        return 0;
    int removed = 0;
    for (const FolderEntry& e : *entries) {
        // ".NAME.PID-XXXXXX.tmp", as the replacements name them
        if (e.kind != PathKind::File || e.link || !e.name.startsWith(u'.') || !e.name.endsWith(u".tmp"))
            continue;
        const QString stem = e.name.chopped(4);
        const qsizetype dot = stem.lastIndexOf(u'.'), dash = stem.lastIndexOf(u'-');
        if (dot <= 0 || dash < dot || stem.size() - dash != 7)
            continue;
        bool number = false;
        const qint64 pid = stem.mid(dot + 1, dash - dot - 1).toLongLong(&number);
        if (!number || pid == QCoreApplication::applicationPid() || processRuns(pid))
            continue;
        if (removeFile(folder + u'/' + e.name))
            ++removed;
    }
    return removed;
}

RunFolder::RunFolder(const QString& program) : m_path(fileFailure(FileError::of(FileError::Kind::Missing)))
{
    removeLeftoverRunFolders(program);
    // mkdtemp: made anew, the user's own (0700), never one somebody else put there first.
    m_folder = std::make_unique<QTemporaryDir>(QDir::tempPath() + u'/' + program + u'-' +
                                               QString::number(QCoreApplication::applicationPid()) +
                                               QStringLiteral("-XXXXXX"));
    if (m_folder->isValid())
        m_path = m_folder->path();
    else
        m_path = fileFailure(FileError::system(m_folder->errorString()));
}

RunFolder::~RunFolder() = default;

void RunFolder::remove()
{
    if (m_folder)
        m_folder->remove();
}

int RunFolder::removeLeftoverRunFolders(const QString& program)
{
    int removed = 0;
    const QString prefix = program + u'-';
    const FileResult<std::vector<FolderEntry>> entries = listFolder(QDir::tempPath());
    if (!entries)
        return 0;
    for (const FolderEntry& e : *entries) {
        if (e.kind != PathKind::Folder || e.link || !e.name.startsWith(prefix))
            continue;
        const QStringList parts = e.name.mid(prefix.size()).split(u'-');
        bool number = false;
        const qint64 pid = parts.size() == 2 ? parts[0].toLongLong(&number) : 0;
        if (!number || pid == QCoreApplication::applicationPid() || processRuns(pid))
            continue;
        if (QDir(QDir::tempPath() + u'/' + e.name).removeRecursively())
            ++removed;
    }
    return removed;
}

} // namespace shenbao
