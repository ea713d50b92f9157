// The file layer on POSIX systems: the system's own calls, so that no rule depends on what a
// library happens to do (renaming over a device, following a planted link, a short write).
#include "files/files.h"
#include "files/messages.h"

#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace shenbao {
namespace {

QString systemReason(int error)
{
    const QString system = QString::fromLocal8Bit(std::strerror(error));
    switch (error) {
    case ENOSPC:
        return filesmsg::explained(filesmsg::diskFull(), system);
#ifdef EDQUOT
    case EDQUOT:
        return filesmsg::explained(filesmsg::quotaExceeded(), system);
#endif
    case EACCES:
    case EPERM:
        return filesmsg::explained(filesmsg::noPermission(), system);
    case EROFS:
        return filesmsg::explained(filesmsg::readOnlyFileSystem(), system);
    default:
        return system;
    }
}

FileError systemError(int error)
{
    if (error == ENOENT)
        return FileError{FileError::Kind::Missing, systemReason(error), {}, 0, 0};
    return FileError::system(systemReason(error));
}

QString kindOf(mode_t mode)
{
    if (S_ISFIFO(mode))
        return filesmsg::namedPipe();
    if (S_ISSOCK(mode))
        return filesmsg::socket();
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return filesmsg::device();
    return filesmsg::specialFile();
}

FileError notRegular(mode_t mode)
{
    FileError e = FileError::of(FileError::Kind::NotRegular);
    e.what = kindOf(mode);
    return e;
}

PathKind kindOfMode(mode_t mode)
{
    return S_ISREG(mode) ? PathKind::File : S_ISDIR(mode) ? PathKind::Folder : PathKind::Other;
}

// Closes a descriptor once, whatever way the function ends.
struct Descriptor
{
    int fd = -1;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
    int release()
    {
        const int f = fd;
        fd = -1;
        return f;
    }
};

QByteArray folderOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

// Follows symbolic links the way a save should: the link stays, its target is replaced. The
// kernel's rule for links in shared folders (protected_symlinks) never sees these hops, since
// they are made here, so it is applied here: in a sticky folder that everybody may write, a link
// is followed only when it belongs to the folder's owner or to the caller.
FileResult<QByteArray> resolvedTarget(QByteArray path)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat link = {};
        if (::lstat(path.constData(), &link) != 0 || !S_ISLNK(link.st_mode))
            return path;
        const QByteArray folder = folderOf(path);
        struct stat dir = {};
        if (::stat(folder.constData(), &dir) == 0 && (dir.st_mode & S_ISVTX) && (dir.st_mode & S_IWOTH) &&
            link.st_uid != dir.st_uid && link.st_uid != ::geteuid())
            return fileFailure(FileError::of(FileError::Kind::PlantedLink));
        QByteArray target(4096, Qt::Uninitialized);
        const ssize_t n = ::readlink(path.constData(), target.data(), std::size_t(target.size()));
        if (n < 0 || n >= target.size())
            return path; // what follows fails with the system's reason
        target.truncate(n);
        path = target.startsWith('/') ? target : folder + '/' + target;
    }
    return path; // too many links: the open says so
}

// ".NAME.PID-XXXXXX.tmp" beside the target: whose it is, so that the leftovers of a killed
// program can be told from the file a running one is writing.
QByteArray temporaryName(const QByteArray& target)
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray suffix = QByteArray::number(QCoreApplication::applicationPid()) + '-';
    for (int i = 0; i < 6; ++i)
        suffix += kLetters[QRandomGenerator::global()->bounded(36)];
    const qsizetype slash = target.lastIndexOf('/');
    return target.left(slash + 1) + '.' + target.mid(slash + 1) + '.' + suffix + ".tmp";
}

// Writes all of bytes. A short write is retried, so that a full disk reports itself (ENOSPC)
// instead of passing for an unknown error.
int writeAll(int fd, const char* p, qsizetype left)
{
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return ENOSPC;
        p += n;
        left -= n;
    }
    return 0;
}

// A file as a device: buffered, each failure kept as the system's error number.
class DescriptorDevice : public OutputFile
{
public:
    explicit DescriptorDevice(int fd, bool owned = false) : m_fd(fd), m_owned(owned)
    {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }
    ~DescriptorDevice() override
    {
        if (m_owned && m_fd >= 0)
            ::close(m_fd);
    }

    FileResult<void> finish() override
    {
        flushBuffer();
        if (m_owned && m_fd >= 0) {
            if (::close(m_fd) != 0 && m_error == 0)
                m_error = errno;
            m_fd = -1;
        }
        if (m_error != 0)
            return fileFailure(FileError::system(systemReason(m_error)));
        return {};
    }

    // Writes out what is buffered; the first failure, or 0.
    int flushBuffer()
    {
        if (m_error == 0 && !m_buffer.isEmpty())
            m_error = writeAll(m_fd, m_buffer.constData(), m_buffer.size());
        m_buffer.clear();
        if (m_error != 0)
            setErrorString(systemReason(m_error));
        return m_error;
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        if (m_error != 0)
            return -1;
        m_buffer.append(data, qsizetype(size));
        if (m_buffer.size() >= kChunk && flushBuffer() != 0)
            return -1;
        return size;
    }

private:
    static constexpr qsizetype kChunk = 256 * 1024;
    int m_fd;
    bool m_owned;
    int m_error = 0;
    QByteArray m_buffer;
};

// Opens the regular file at path for reading; its size in *size.
FileResult<int> openRegular(const QString& path, qint64 maxBytes, qint64* size)
{
    const QByteArray name = pathToSystem(path);
    Descriptor file;
    // Non-blocking: opening a named pipe for reading would otherwise wait for a writer forever.
    file.fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (file.fd < 0)
        return fileFailure(systemError(errno));
    struct stat st = {};
    if (::fstat(file.fd, &st) != 0)
        return fileFailure(systemError(errno));
    if (S_ISDIR(st.st_mode))
        return fileFailure(FileError::of(FileError::Kind::Folder));
    if (!S_ISREG(st.st_mode))
        return fileFailure(notRegular(st.st_mode));
    if (st.st_size > maxBytes) {
        FileError e = FileError::of(FileError::Kind::TooLarge);
        e.limit = maxBytes;
        return fileFailure(e);
    }
    *size = st.st_size;
    return file.release();
}

FileError tooLarge(qint64 limit)
{
    FileError e = FileError::of(FileError::Kind::TooLarge);
    e.limit = limit;
    return e;
}

FileResult<QByteArray> readAllFrom(int fd, qint64 size, qint64 maxBytes)
{
    // The size can change while reading: never take more than the bound.
    QByteArray bytes(qsizetype(size), Qt::Uninitialized);
    qsizetype got = 0;
    for (;;) {
        if (got == bytes.size()) {
            if (bytes.size() > maxBytes)
                break;
            bytes.resize(std::min<qint64>(std::max<qsizetype>(got * 2, 4096), maxBytes + 1));
        }
        const ssize_t n = ::read(fd, bytes.data() + got, size_t(bytes.size() - got));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fileFailure(systemError(errno));
        }
        if (n == 0)
            break;
        got += n;
    }
    bytes.truncate(got);
    if (bytes.size() > maxBytes)
        return fileFailure(tooLarge(maxBytes));
    return bytes;
}

} // namespace

FileResult<QByteArray> readRegularFile(const QString& path, qint64 maxBytes)
{
    qint64 size = 0;
    const FileResult<int> opened = openRegular(path, maxBytes, &size);
    if (!opened)
        return fileFailure(opened.error());
    Descriptor file{*opened};
    return readAllFrom(file.fd, size, maxBytes);
}

FileResult<QByteArray> readStandardInput(qint64 maxBytes)
{
    return readAllFrom(STDIN_FILENO, 0, maxBytes);
}

FileResult<void> readRegularFileInPieces(const QString& path, qint64 maxBytes, qsizetype chunkBytes,
                                         const std::function<bool(QByteArrayView)>& take)
{
    qint64 size = 0;
    const FileResult<int> opened = openRegular(path, maxBytes, &size);
    if (!opened)
        return fileFailure(opened.error());
    Descriptor file{*opened};
    QByteArray chunk(chunkBytes, Qt::Uninitialized);
    qint64 total = 0;
    for (;;) {
        const ssize_t n = ::read(file.fd, chunk.data(), size_t(chunk.size()));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fileFailure(systemError(errno));
        }
        if (n == 0)
            break;
        total += n;
        if (total > maxBytes) // it grew while being read
            return fileFailure(tooLarge(maxBytes));
        if (!take(QByteArrayView(chunk.constData(), n)))
            break;
    }
    return {};
}

FileResult<std::unique_ptr<QIODevice>> openRegularFile(const QString& path, qint64 maxBytes)
{
    qint64 size = 0;
    const FileResult<int> opened = openRegular(path, maxBytes, &size);
    if (!opened)
        return fileFailure(opened.error());
    Descriptor fd{*opened};
    auto file = std::make_unique<QFile>();
    if (!file->open(fd.fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return fileFailure(FileError::system(file->errorString()));
    fd.release();
    return std::unique_ptr<QIODevice>(std::move(file));
}

PathKind pathKind(const QString& path)
{
    struct stat st = {};
    if (::stat(pathToSystem(path).constData(), &st) != 0)
        return PathKind::Missing;
    return kindOfMode(st.st_mode);
}

std::optional<FileIdentity> fileIdentity(const QString& path)
{
    struct stat st = {};
    if (::stat(pathToSystem(path).constData(), &st) != 0)
        return std::nullopt;
    return FileIdentity{quint64(st.st_dev), quint64(st.st_ino)};
}

std::optional<QDateTime> modificationTime(const QString& path)
{
    struct stat st = {};
    if (::stat(pathToSystem(path).constData(), &st) != 0)
        return std::nullopt;
    return QDateTime::fromMSecsSinceEpoch(qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000);
}

FileResult<std::vector<FolderEntry>> listFolder(const QString& folder)
{
    std::vector<FolderEntry> entries;
    DIR* dir = ::opendir(pathToSystem(folder).constData());
    if (!dir)
        return fileFailure(systemError(errno));
    const int fd = ::dirfd(dir);
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (!entry) {
            if (errno != 0) {
                const int error = errno;
                ::closedir(dir);
                return fileFailure(systemError(error));
            }
            break;
        }
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        FolderEntry e;
        e.name = pathFromSystem(QByteArrayView(name, qsizetype(std::strlen(name))));
        struct stat st = {};
        if (::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode)) {
            e.link = true;
            e.kind = ::fstatat(fd, name, &st, 0) == 0 ? kindOfMode(st.st_mode) : PathKind::Missing;
        } else {
            e.kind = kindOfMode(st.st_mode);
        }
        entries.push_back(std::move(e));
    }
    ::closedir(dir);
    return entries;
}

FileResult<void> makeFolders(const QString& path, Access access)
{
    const QByteArray full = pathToSystem(path);
    const mode_t mode = access == Access::Private ? 0700 : 0777;
    for (qsizetype at = 1; at <= full.size(); ++at) {
        if (at < full.size() && full[at] != '/')
            continue;
        const QByteArray part = full.left(at);
        if (::mkdir(part.constData(), mode) != 0 && errno != EEXIST)
            return fileFailure(systemError(errno));
    }
    struct stat st = {};
    if (::stat(full.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return fileFailure(systemError(ENOTDIR));
    // A private folder that was there before, made by an older version or by hand: only the user
    // may look into it (when it is the user's own).
    if (access == Access::Private && (st.st_mode & 077) && st.st_uid == ::geteuid())
        (void)::chmod(full.constData(), st.st_mode & 07700);
    return {};
}

FileResult<void> replaceFileWith(const QString& path, const std::function<bool(QIODevice&, QString*)>& write,
                                 ReplaceOptions options)
{
    QByteArray finalName = pathToSystem(path);
    if (options.followLinks) {
        FileResult<QByteArray> target = resolvedTarget(finalName);
        if (!target)
            return fileFailure(target.error());
        finalName = *target;
    }
    // What is there now. Without following, a link is an entry like any other and is replaced.
    struct stat old = {};
    const bool exists = (options.followLinks ? ::stat(finalName.constData(), &old)
                                             : ::lstat(finalName.constData(), &old)) == 0;
    const bool oldFile = exists && S_ISREG(old.st_mode);
    if (exists && S_ISDIR(old.st_mode))
        return fileFailure(FileError::of(FileError::Kind::Folder));
    // A device or a named pipe is never replaced: renaming over /dev/null would put a file
    // where the device was.
    if (exists && !oldFile && !S_ISLNK(old.st_mode))
        return fileFailure(notRegular(old.st_mode));
    if (oldFile) {
        // Renaming over a file the caller may not write would replace it all the same (only
        // the folder's permission counts); a file nobody may write is read-only for root too.
        if ((old.st_mode & 0222) == 0 || ::access(finalName.constData(), W_OK) != 0)
            return fileFailure(FileError::of(FileError::Kind::ReadOnly));
        if (old.st_nlink > 1) {
            FileError e = FileError::of(FileError::Kind::HardLinks);
            e.links = quint64(old.st_nlink);
            return fileFailure(e);
        }
    }
    const mode_t mode = options.access == Access::Private ? 0600 : 0666;
    QByteArray temporary;
    Descriptor file;
    for (int attempt = 0; attempt < 100 && file.fd < 0; ++attempt) {
        temporary = temporaryName(finalName);
        file.fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (file.fd < 0 && errno != EEXIST)
            return fileFailure(systemError(errno));
    }
    if (file.fd < 0)
        return fileFailure(systemError(EEXIST));
    // Whatever step fails, the temporary file goes.
    const auto fail = [&](FileError error) -> FileResult<void> {
        if (file.fd >= 0)
            ::close(file.release());
        ::unlink(temporary.constData());
        return fileFailure(std::move(error));
    };
    if (oldFile) {
        (void)::fchmod(file.fd, old.st_mode & 07777); // as the old file was; failing that, the default
        struct stat made = {};
        if (::fstat(file.fd, &made) != 0)
            return fail(systemError(errno));
        // The new file is the caller's; the old one may be another user's (root marking a
        // teacher's file official): it stays theirs, or it is not replaced.
        if ((made.st_uid != old.st_uid || made.st_gid != old.st_gid) &&
            ::fchown(file.fd, old.st_uid, old.st_gid) != 0)
            return fail(FileError::of(FileError::Kind::Owner));
    }
    {
        DescriptorDevice device(file.fd);
        QString why;
        const bool written = write(device, &why);
        if (const int error = device.flushBuffer())
            return fail(systemError(error));
        if (!written)
            return fail(FileError::system(why.isEmpty() ? device.errorString() : why));
    }
    // A file whose data never reached the disk is not saved. (EINVAL: the file system has no
    // sync to offer, which is no failure of this file.)
    if (::fdatasync(file.fd) != 0 && errno != EINVAL)
        return fail(systemError(errno));
    if (::close(file.release()) != 0)
        return fail(systemError(errno));
    if (::rename(temporary.constData(), finalName.constData()) != 0)
        return fail(systemError(errno));
    return {};
}

FileResult<void> renameFile(const QString& from, const QString& to, bool replace)
{
    const QByteArray source = pathToSystem(from), target = pathToSystem(to);
    if (!replace) {
        // link() never replaces: the name is taken or it is not. A file system without hard
        // links (a USB stick's FAT) falls back to a check before the rename.
        if (::link(source.constData(), target.constData()) == 0) {
            ::unlink(source.constData());
            return {};
        }
        if (errno == EEXIST)
            return fileFailure(systemError(EEXIST));
        struct stat st = {};
        if (::lstat(target.constData(), &st) == 0)
            return fileFailure(systemError(EEXIST));
    }
    if (::rename(source.constData(), target.constData()) != 0)
        return fileFailure(systemError(errno));
    return {};
}

FileResult<void> removeFile(const QString& path)
{
    const QByteArray name = pathToSystem(path);
    struct stat st = {};
    if (::lstat(name.constData(), &st) == 0 && S_ISDIR(st.st_mode))
        return fileFailure(FileError::of(FileError::Kind::Folder));
    if (::unlink(name.constData()) != 0)
        return fileFailure(systemError(errno));
    return {};
}

FileResult<void> removeEmptyFolder(const QString& path)
{
    if (::rmdir(pathToSystem(path).constData()) != 0)
        return fileFailure(systemError(errno));
    return {};
}

FileResult<std::unique_ptr<OutputFile>> createFile(const QString& path)
{
    const int fd =
        ::open(pathToSystem(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return fileFailure(systemError(errno));
    return std::unique_ptr<OutputFile>(std::make_unique<DescriptorDevice>(fd, true));
}

bool processRuns(qint64 pid)
{
    if (pid <= 0)
        return false;
    // EPERM: it runs, as another user.
    if (::kill(pid_t(pid), 0) != 0 && errno != EPERM)
        return false;
#ifdef Q_OS_LINUX
    // A killed program not yet reaped (a zombie) no longer runs: its state follows its name.
    if (const FileResult<QByteArray> stat = readRegularFile(QStringLiteral("/proc/%1/stat").arg(pid), 4096)) {
        const qsizetype name = stat->lastIndexOf(')');
        if (name >= 0 && name + 2 < stat->size() && stat->at(name + 2) == 'Z')
            return false;
    }
#endif
    return true;
}

void prepareProcess() {}

} // namespace shenbao
