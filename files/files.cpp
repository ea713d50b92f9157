#include "files/files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QSaveFile>
#include <windows.h>
#endif

namespace shenbao {
namespace {

// Every message of this layer is written here.
QString folderReason()
{
    return QStringLiteral("这是一个文件夹");
}

QString notFileReason(const QString& kind)
{
    return QStringLiteral("这是%1，不是文件").arg(kind);
}

QString readOnlyReason()
{
    return QStringLiteral("文件是只读的，不能替换");
}

[[maybe_unused]] QString hardLinksReason(quint64 links)
{
    return QStringLiteral("文件有 %1 个硬链接：替换它会让其他链接留着旧的内容，因此不替换").arg(links);
}

[[maybe_unused]] QString ownerReason()
{
    return QStringLiteral("替换后文件将不再属于它原来的用户和组，因此不替换");
}

[[maybe_unused]] QString plantedLinkReason()
{
    return QStringLiteral("这是另一个用户放在公共文件夹中的符号链接，不跟随它写入");
}

constexpr char16_t kEscapeBase = 0xDC00; // + a byte of 0x80..0xFF

} // namespace

QString FileRead::why() const
{
    switch (status) {
    case Status::Ok:
        return {};
    case Status::Missing:
        return QStringLiteral("找不到文件");
    case Status::Folder:
        return folderReason();
    case Status::NotRegular:
        return notFileReason(kind);
    case Status::TooLarge:
        return QStringLiteral("文件太大（超过 %1 MiB）").arg(limit >> 20);
    case Status::Failed:
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
        const bool escape = c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF &&
                            (i == 0 || !path[i - 1].isHighSurrogate());
        if (!escape)
            continue;
        flush(i);
        out += char(c - kEscapeBase);
        from = i + 1;
    }
    flush(path.size());
    return out;
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

#ifdef Q_OS_UNIX

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString kindOf(mode_t mode)
{
    if (S_ISFIFO(mode))
        return QStringLiteral("命名管道（FIFO）");
    if (S_ISSOCK(mode))
        return QStringLiteral("套接字");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("设备");
    return QStringLiteral("特殊文件");
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
std::optional<QByteArray> resolvedTarget(QByteArray path, QString* why)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat link = {};
        if (::lstat(path.constData(), &link) != 0 || !S_ISLNK(link.st_mode))
            return path;
        const QByteArray folder = folderOf(path);
        struct stat dir = {};
        if (::stat(folder.constData(), &dir) == 0 && (dir.st_mode & S_ISVTX) && (dir.st_mode & S_IWOTH) &&
            link.st_uid != dir.st_uid && link.st_uid != ::geteuid()) {
            *why = plantedLinkReason();
            return std::nullopt;
        }
        QByteArray target(4096, Qt::Uninitialized);
        const ssize_t n = ::readlink(path.constData(), target.data(), std::size_t(target.size()));
        if (n < 0 || n >= target.size())
            return path; // what follows fails with the system's reason
        target.truncate(n);
        path = target.startsWith('/') ? target : folder + '/' + target;
    }
    return path; // too many links: the open says so
}

QByteArray temporaryName(const QByteArray& target)
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray suffix;
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

// The temporary file as a device: buffered, each failure kept as the system's error number.
class DescriptorDevice : public QIODevice
{
public:
    explicit DescriptorDevice(int fd) : m_fd(fd) { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }

    // Writes out what is buffered; the first failure, or 0.
    int flushBuffer()
    {
        if (m_error == 0 && !m_buffer.isEmpty())
            m_error = writeAll(m_fd, m_buffer.constData(), m_buffer.size());
        m_buffer.clear();
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
    int m_error = 0;
    QByteArray m_buffer;
};

// Opens the regular file at path for reading, or says in r why not.
int openRegular(const QString& path, qint64 maxBytes, FileRead& r, qint64* size)
{
    r.limit = maxBytes;
    const QByteArray name = pathToSystem(path);
    Descriptor file;
    // Non-blocking: opening a named pipe for reading would otherwise wait for a writer forever.
    file.fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (file.fd < 0) {
        const int error = errno;
        r.status = error == ENOENT ? FileRead::Status::Missing : FileRead::Status::Failed;
        r.reason = systemReason(error);
        return -1;
    }
    struct stat st = {};
    if (::fstat(file.fd, &st) != 0) {
        r.reason = systemReason(errno);
        return -1;
    }
    if (S_ISDIR(st.st_mode)) {
        r.status = FileRead::Status::Folder;
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        r.status = FileRead::Status::NotRegular;
        r.kind = kindOf(st.st_mode);
        return -1;
    }
    if (st.st_size > maxBytes) {
        r.status = FileRead::Status::TooLarge;
        return -1;
    }
    *size = st.st_size;
    return file.release();
}

} // namespace

FileRead readRegularFile(const QString& path, qint64 maxBytes)
{
    FileRead r;
    qint64 size = 0;
    Descriptor file;
    file.fd = openRegular(path, maxBytes, r, &size);
    if (file.fd < 0)
        return r;
    // The size can change while reading: never take more than the bound.
    QByteArray bytes(qsizetype(size), Qt::Uninitialized);
    qsizetype got = 0;
    for (;;) {
        if (got == bytes.size()) {
            if (bytes.size() > maxBytes)
                break;
            bytes.resize(std::min<qint64>(std::max<qsizetype>(got * 2, 4096), maxBytes + 1));
        }
        const ssize_t n = ::read(file.fd, bytes.data() + got, size_t(bytes.size() - got));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            r.reason = systemReason(errno);
            return r;
        }
        if (n == 0)
            break;
        got += n;
    }
    bytes.truncate(got);
    if (bytes.size() > maxBytes) {
        r.status = FileRead::Status::TooLarge;
        return r;
    }
    r.status = FileRead::Status::Ok;
    r.bytes = std::move(bytes);
    return r;
}

FileRead readRegularFileInPieces(const QString& path, qint64 maxBytes, qsizetype chunkBytes,
                                 const std::function<bool(QByteArrayView)>& take)
{
    FileRead r;
    qint64 size = 0;
    Descriptor file;
    file.fd = openRegular(path, maxBytes, r, &size);
    if (file.fd < 0)
        return r;
    QByteArray chunk(chunkBytes, Qt::Uninitialized);
    qint64 total = 0;
    for (;;) {
        const ssize_t n = ::read(file.fd, chunk.data(), size_t(chunk.size()));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            r.reason = systemReason(errno);
            return r;
        }
        if (n == 0)
            break;
        total += n;
        if (total > maxBytes) { // it grew while being read
            r.status = FileRead::Status::TooLarge;
            return r;
        }
        if (!take(QByteArrayView(chunk.constData(), n)))
            break;
    }
    r.status = FileRead::Status::Ok;
    return r;
}

std::unique_ptr<QFile> openRegularFile(const QString& path, qint64 maxBytes, FileRead* failure)
{
    qint64 size = 0;
    Descriptor fd;
    fd.fd = openRegular(path, maxBytes, *failure, &size);
    if (fd.fd < 0)
        return nullptr;
    auto file = std::make_unique<QFile>();
    if (!file->open(fd.fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        failure->reason = file->errorString();
        return nullptr;
    }
    fd.release();
    failure->status = FileRead::Status::Ok;
    return file;
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

FolderListing listFolder(const QString& folder)
{
    FolderListing listing;
    DIR* dir = ::opendir(pathToSystem(folder).constData());
    if (!dir) {
        listing.reason = systemReason(errno);
        return listing;
    }
    const int fd = ::dirfd(dir);
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (!entry) {
            if (errno != 0) {
                listing.reason = systemReason(errno);
                ::closedir(dir);
                return listing;
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
        listing.entries.push_back(std::move(e));
    }
    ::closedir(dir);
    listing.ok = true;
    return listing;
}

FileWrite makeFolders(const QString& path)
{
    FileWrite w;
    const QByteArray full = pathToSystem(path);
    for (qsizetype at = 1; at <= full.size(); ++at) {
        if (at < full.size() && full[at] != '/')
            continue;
        const QByteArray part = full.left(at);
        if (::mkdir(part.constData(), 0777) != 0 && errno != EEXIST) {
            w.reason = systemReason(errno);
            return w;
        }
    }
    struct stat st = {};
    if (::stat(full.constData(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        w.reason = systemReason(ENOTDIR);
        return w;
    }
    w.ok = true;
    return w;
}

FileWrite replaceFileWith(const QString& path, const std::function<bool(QIODevice&, QString*)>& write,
                          ReplaceOptions options)
{
    FileWrite w;
    QByteArray finalName = pathToSystem(path);
    if (options.followLinks) {
        const std::optional<QByteArray> target = resolvedTarget(finalName, &w.reason);
        if (!target)
            return w;
        finalName = *target;
    }
    // What is there now. Without following, a link is an entry like any other and is replaced.
    struct stat old = {};
    const bool exists = (options.followLinks ? ::stat(finalName.constData(), &old)
                                             : ::lstat(finalName.constData(), &old)) == 0;
    const bool oldFile = exists && S_ISREG(old.st_mode);
    if (exists && S_ISDIR(old.st_mode)) {
        w.reason = folderReason();
        return w;
    }
    // A device or a named pipe is never replaced: renaming over /dev/null would put a file
    // where the device was.
    if (exists && !oldFile && !S_ISLNK(old.st_mode)) {
        w.reason = notFileReason(kindOf(old.st_mode));
        return w;
    }
    if (oldFile) {
        // Renaming over a file the caller may not write would replace it all the same (only
        // the folder's permission counts); a file nobody may write is read-only for root too.
        if ((old.st_mode & 0222) == 0 || ::access(finalName.constData(), W_OK) != 0) {
            w.reason = readOnlyReason();
            return w;
        }
        if (old.st_nlink > 1) {
            w.reason = hardLinksReason(quint64(old.st_nlink));
            return w;
        }
    }
    QByteArray temporary;
    Descriptor file;
    for (int attempt = 0; attempt < 100 && file.fd < 0; ++attempt) {
        temporary = temporaryName(finalName);
        file.fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (file.fd < 0 && errno != EEXIST) {
            w.reason = systemReason(errno);
            return w;
        }
    }
    if (file.fd < 0) {
        w.reason = systemReason(EEXIST);
        return w;
    }
    // Whatever step fails, the temporary file goes.
    const auto fail = [&](int error) {
        if (file.fd >= 0)
            ::close(file.release());
        ::unlink(temporary.constData());
        w.reason = error ? systemReason(error) : QString();
        return w;
    };
    if (oldFile) {
        (void)::fchmod(file.fd, old.st_mode & 07777); // as the old file was; failing that, the default
        struct stat made = {};
        if (::fstat(file.fd, &made) != 0)
            return fail(errno);
        // The new file is the caller's; the old one may be another user's (root marking a
        // teacher's file official): it stays theirs, or it is not replaced.
        if ((made.st_uid != old.st_uid || made.st_gid != old.st_gid) &&
            ::fchown(file.fd, old.st_uid, old.st_gid) != 0) {
            fail(0);
            w.reason = ownerReason();
            return w;
        }
    }
    {
        DescriptorDevice device(file.fd);
        QString why;
        const bool written = write(device, &why);
        if (const int error = device.flushBuffer())
            return fail(error);
        if (!written) {
            fail(0);
            w.reason = why;
            return w;
        }
    }
    // A file whose data never reached the disk is not saved. (EINVAL: the file system has no
    // sync to offer, which is no failure of this file.)
    if (::fdatasync(file.fd) != 0 && errno != EINVAL)
        return fail(errno);
    if (::close(file.release()) != 0)
        return fail(errno);
    if (::rename(temporary.constData(), finalName.constData()) != 0)
        return fail(errno);
    w.ok = true;
    return w;
}

#else // Windows: no named pipes among files, and QSaveFile replaces with MoveFileEx.

FileRead readRegularFile(const QString& path, qint64 maxBytes)
{
    FileRead r;
    r.limit = maxBytes;
    const QFileInfo info(path);
    if (!info.exists()) {
        r.status = FileRead::Status::Missing;
        return r;
    }
    if (info.isDir()) {
        r.status = FileRead::Status::Folder;
        return r;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        r.reason = file.errorString();
        return r;
    }
    if (file.size() > maxBytes) {
        r.status = FileRead::Status::TooLarge;
        return r;
    }
    r.bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        r.reason = file.errorString();
        r.bytes.clear();
        return r;
    }
    r.status = r.bytes.size() > maxBytes ? FileRead::Status::TooLarge : FileRead::Status::Ok;
    if (r.status != FileRead::Status::Ok)
        r.bytes.clear();
    return r;
}

FileRead readRegularFileInPieces(const QString& path, qint64 maxBytes, qsizetype chunkBytes,
                                 const std::function<bool(QByteArrayView)>& take)
{
    FileRead r;
    r.limit = maxBytes;
    const QFileInfo info(path);
    if (!info.exists()) {
        r.status = FileRead::Status::Missing;
        return r;
    }
    if (info.isDir()) {
        r.status = FileRead::Status::Folder;
        return r;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        r.reason = file.errorString();
        return r;
    }
    if (file.size() > maxBytes) {
        r.status = FileRead::Status::TooLarge;
        return r;
    }
    qint64 total = 0;
    for (;;) {
        const QByteArray chunk = file.read(chunkBytes);
        if (file.error() != QFileDevice::NoError) {
            r.reason = file.errorString();
            return r;
        }
        if (chunk.isEmpty())
            break;
        total += chunk.size();
        if (total > maxBytes) {
            r.status = FileRead::Status::TooLarge;
            return r;
        }
        if (!take(chunk))
            break;
    }
    r.status = FileRead::Status::Ok;
    return r;
}

std::unique_ptr<QFile> openRegularFile(const QString& path, qint64 maxBytes, FileRead* failure)
{
    failure->limit = maxBytes;
    const QFileInfo info(path);
    if (!info.exists()) {
        failure->status = FileRead::Status::Missing;
        return nullptr;
    }
    if (info.isDir()) {
        failure->status = FileRead::Status::Folder;
        return nullptr;
    }
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly)) {
        failure->reason = file->errorString();
        return nullptr;
    }
    if (file->size() > maxBytes) {
        failure->status = FileRead::Status::TooLarge;
        return nullptr;
    }
    failure->status = FileRead::Status::Ok;
    return file;
}

PathKind pathKind(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return PathKind::Missing;
    return info.isDir() ? PathKind::Folder : info.isFile() ? PathKind::File : PathKind::Other;
}

std::optional<FileIdentity> fileIdentity(const QString& path)
{
    // The volume and the file's index: what NTFS gives instead of a device and an inode.
    const HANDLE h = ::CreateFileW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(path).utf16()), 0,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info = {};
    const bool ok = ::GetFileInformationByHandle(h, &info);
    ::CloseHandle(h);
    if (!ok)
        return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber, (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

FolderListing listFolder(const QString& folder)
{
    FolderListing listing;
    const QDir dir(folder);
    if (!dir.exists() || !dir.isReadable()) {
        listing.reason = QStringLiteral("无法读取文件夹");
        return listing;
    }
    for (const QFileInfo& info :
         dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Unsorted)) {
        FolderEntry e;
        e.name = info.fileName();
        e.link = info.isSymLink();
        e.kind = !info.exists() ? PathKind::Missing
                 : info.isDir() ? PathKind::Folder
                 : info.isFile() ? PathKind::File
                                 : PathKind::Other;
        listing.entries.push_back(std::move(e));
    }
    listing.ok = true;
    return listing;
}

FileWrite makeFolders(const QString& path)
{
    FileWrite w;
    w.ok = QDir().mkpath(path) && QFileInfo(path).isDir();
    if (!w.ok)
        w.reason = QStringLiteral("无法建立文件夹");
    return w;
}

FileWrite replaceFileWith(const QString& path, const std::function<bool(QIODevice&, QString*)>& write,
                          ReplaceOptions)
{
    FileWrite w;
    const QFileInfo info(path);
    if (info.isDir()) {
        w.reason = folderReason();
        return w;
    }
    if (info.exists() && !info.isWritable()) {
        w.reason = readOnlyReason();
        return w;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        w.reason = file.errorString();
        return w;
    }
    QString why;
    if (!write(file, &why)) {
        w.reason = why.isEmpty() ? file.errorString() : why;
        file.cancelWriting();
        return w;
    }
    if (!file.commit()) {
        w.reason = file.errorString();
        return w;
    }
    w.ok = true;
    return w;
}

#endif

FileWrite replaceFile(const QString& path, const QByteArray& bytes, ReplaceOptions options)
{
    return replaceFileWith(
        path, [&](QIODevice& device, QString*) { return device.write(bytes) == bytes.size(); }, options);
}

} // namespace shenbao
