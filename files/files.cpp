#include "files/files.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QSaveFile>
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

#ifdef Q_OS_UNIX

namespace {

// Follows symbolic links the way a save should: the link stays, its target is replaced.
QString resolvedTarget(const QString& path)
{
    QString target = path;
    for (int hops = 0; hops < 40; ++hops) {
        const QFileInfo info(target);
        if (!info.isSymLink())
            break;
        target = info.symLinkTarget();
    }
    return target;
}

QString temporaryName(const QFileInfo& target)
{
    static constexpr char16_t kLetters[] = u"abcdefghijklmnopqrstuvwxyz0123456789";
    QString suffix;
    for (int i = 0; i < 6; ++i)
        suffix += QChar(kLetters[QRandomGenerator::global()->bounded(36)]);
    return target.absolutePath() + QStringLiteral("/.") + target.fileName() + u'.' + suffix +
           QStringLiteral(".tmp");
}

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

// Writes all of bytes. A short write is retried, so that a full disk reports itself (ENOSPC)
// instead of passing for an unknown error.
int writeAll(int fd, const QByteArray& bytes)
{
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
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
            m_error = writeAll(m_fd, m_buffer);
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

} // namespace

FileRead readRegularFile(const QString& path, qint64 maxBytes)
{
    FileRead r;
    r.limit = maxBytes;
    const QByteArray name = QFile::encodeName(path);
    Descriptor file;
    // Non-blocking: opening a named pipe for reading would otherwise wait for a writer forever.
    file.fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (file.fd < 0) {
        const int error = errno;
        r.status = error == ENOENT ? FileRead::Status::Missing : FileRead::Status::Failed;
        r.reason = systemReason(error);
        return r;
    }
    struct stat st = {};
    if (::fstat(file.fd, &st) != 0) {
        r.reason = systemReason(errno);
        return r;
    }
    if (S_ISDIR(st.st_mode)) {
        r.status = FileRead::Status::Folder;
        return r;
    }
    if (!S_ISREG(st.st_mode)) {
        r.status = FileRead::Status::NotRegular;
        r.kind = kindOf(st.st_mode);
        return r;
    }
    if (st.st_size > maxBytes) {
        r.status = FileRead::Status::TooLarge;
        return r;
    }
    // The size can change while reading: never take more than the bound.
    QByteArray bytes(qsizetype(st.st_size), Qt::Uninitialized);
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

FileWrite replaceFileWith(const QString& path, const std::function<bool(QIODevice&, QString*)>& write)
{
    FileWrite w;
    const QFileInfo target(resolvedTarget(path));
    if (target.isDir()) {
        w.reason = folderReason();
        return w;
    }
    // A device or a named pipe is never replaced: renaming over /dev/null would put a file
    // where the device was.
    struct stat existing = {};
    if (::stat(QFile::encodeName(target.absoluteFilePath()).constData(), &existing) == 0 &&
        !S_ISREG(existing.st_mode)) {
        w.reason = notFileReason(kindOf(existing.st_mode));
        return w;
    }
    QByteArray temporary;
    Descriptor file;
    for (int attempt = 0; attempt < 100 && file.fd < 0; ++attempt) {
        temporary = QFile::encodeName(temporaryName(target));
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
        w.reason = systemReason(error);
        return w;
    };
    const QByteArray finalName = QFile::encodeName(target.absoluteFilePath());
    struct stat old = {};
    if (::stat(finalName.constData(), &old) == 0)
        (void)::fchmod(file.fd, old.st_mode & 07777); // as the old file was; failing that, the default
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

FileWrite replaceFileWith(const QString& path, const std::function<bool(QIODevice&, QString*)>& write)
{
    FileWrite w;
    if (QFileInfo(path).isDir()) {
        w.reason = folderReason();
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

FileWrite replaceFile(const QString& path, const QByteArray& bytes)
{
    return replaceFileWith(path, [&](QIODevice& device, QString*) { return device.write(bytes) == bytes.size(); });
}

} // namespace shenbao
