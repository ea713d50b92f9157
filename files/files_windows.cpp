// The file layer on Windows: Qt's files for reading and writing, the system's own calls where a
// rule needs them (a file's identity and links, replacing in one step, a program's life).
#include "files/files.h"
#include "files/messages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <io.h>
#include <windows.h>

namespace shenbao {
namespace {

const wchar_t* wide(const QString& path)
{
    return reinterpret_cast<const wchar_t*>(path.utf16());
}

QString systemReason(DWORD error)
{
    wchar_t* text = nullptr;
    ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                         FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    QString system = text ? QString::fromWCharArray(text).trimmed() : QString::number(error);
    ::LocalFree(text);
    switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return filesmsg::explained(filesmsg::diskFull(), system);
    case ERROR_ACCESS_DENIED:
        return filesmsg::explained(filesmsg::noPermission(), system);
    case ERROR_WRITE_PROTECT:
        return filesmsg::explained(filesmsg::readOnlyFileSystem(), system);
    default:
        return system;
    }
}

FileError systemError(DWORD error)
{
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
        return FileError{FileError::Kind::Missing, systemReason(error), {}, 0, 0};
    return FileError::system(systemReason(error));
}

FileError tooLarge(qint64 limit)
{
    FileError e = FileError::of(FileError::Kind::TooLarge);
    e.limit = limit;
    return e;
}

// What is at path, for reading: a file, or why not.
std::optional<FileError> refusedForReading(const QString& path, qint64 maxBytes)
{
    const QFileInfo info(path);
    if (!info.exists())
        return FileError::of(FileError::Kind::Missing);
    if (info.isDir())
        return FileError::of(FileError::Kind::Folder);
    if (info.size() > maxBytes)
        return tooLarge(maxBytes);
    return std::nullopt;
}

struct Handle
{
    HANDLE h = INVALID_HANDLE_VALUE;
    ~Handle()
    {
        if (h != INVALID_HANDLE_VALUE)
            ::CloseHandle(h);
    }
};

// The file's own record: its identity and how many names it has.
std::optional<BY_HANDLE_FILE_INFORMATION> fileInformation(const QString& path)
{
    Handle file;
    file.h = ::CreateFileW(wide(QDir::toNativeSeparators(path)), 0,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file.h == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!::GetFileInformationByHandle(file.h, &info))
        return std::nullopt;
    return info;
}

QString temporaryName(const QString& target)
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString suffix = QString::number(QCoreApplication::applicationPid()) + u'-';
    for (int i = 0; i < 6; ++i)
        suffix += QChar(char16_t(kLetters[QRandomGenerator::global()->bounded(36)]));
    const qsizetype slash = target.lastIndexOf(u'/');
    return target.left(slash + 1) + u'.' + target.mid(slash + 1) + u'.' + suffix + QStringLiteral(".tmp");
}

class WindowsOutputFile : public OutputFile
{
public:
    explicit WindowsOutputFile(const QString& path) : m_file(path) {}
    bool create()
    {
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return false;
        return open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }
    QString failure() const { return m_file.errorString(); }

    FileResult<void> finish() override
    {
        const bool ok = m_failed.isEmpty() && m_file.flush();
        const QString why = m_failed.isEmpty() ? m_file.errorString() : m_failed;
        m_file.close();
        if (!ok)
            return fileFailure(FileError::system(why));
        return {};
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        if (m_file.write(data, size) != size) {
            m_failed = m_file.errorString();
            return -1;
        }
        return size;
    }

private:
    QFile m_file;
    QString m_failed;
};

} // namespace

FileResult<QByteArray> readRegularFile(const QString& path, qint64 maxBytes)
{
    if (const std::optional<FileError> refused = refusedForReading(path, maxBytes))
        return fileFailure(*refused);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fileFailure(FileError::system(file.errorString()));
    QByteArray bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return fileFailure(FileError::system(file.errorString()));
    if (bytes.size() > maxBytes)
        return fileFailure(tooLarge(maxBytes));
    return bytes;
}

FileResult<QByteArray> readStandardInput(qint64 maxBytes)
{
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        return fileFailure(FileError::system(in.errorString()));
    QByteArray bytes = in.read(maxBytes + 1);
    if (bytes.size() > maxBytes)
        return fileFailure(tooLarge(maxBytes));
    return bytes;
}

FileResult<void> readRegularFileInPieces(const QString& path, qint64 maxBytes, qsizetype chunkBytes,
                                         const std::function<bool(QByteArrayView)>& take)
{
    if (const std::optional<FileError> refused = refusedForReading(path, maxBytes))
        return fileFailure(*refused);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fileFailure(FileError::system(file.errorString()));
    qint64 total = 0;
    for (;;) {
        const QByteArray chunk = file.read(chunkBytes);
        if (file.error() != QFileDevice::NoError)
            return fileFailure(FileError::system(file.errorString()));
        if (chunk.isEmpty())
            break;
        total += chunk.size();
        if (total > maxBytes)
            return fileFailure(tooLarge(maxBytes));
        if (!take(chunk))
            break;
    }
    return {};
}

FileResult<std::unique_ptr<QIODevice>> openRegularFile(const QString& path, qint64 maxBytes)
{
    if (const std::optional<FileError> refused = refusedForReading(path, maxBytes))
        return fileFailure(*refused);
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly))
        return fileFailure(FileError::system(file->errorString()));
    return std::unique_ptr<QIODevice>(std::move(file));
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
    const std::optional<BY_HANDLE_FILE_INFORMATION> info = fileInformation(path);
    if (!info)
        return std::nullopt;
    return FileIdentity{info->dwVolumeSerialNumber,
                        (quint64(info->nFileIndexHigh) << 32) | info->nFileIndexLow};
}

std::optional<QDateTime> modificationTime(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return std::nullopt;
    return info.lastModified();
}

FileResult<std::vector<FolderEntry>> listFolder(const QString& folder)
{
    const QDir dir(folder);
    if (!dir.exists() || !dir.isReadable())
        return fileFailure(FileError::system(filesmsg::cannotReadFolder()));
    std::vector<FolderEntry> entries;
    for (const QFileInfo& info : dir.entryInfoList(
             QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Unsorted)) {
        FolderEntry e;
        e.name = info.fileName();
        e.link = info.isSymLink();
        e.kind = !info.exists()  ? PathKind::Missing
                 : info.isDir()  ? PathKind::Folder
                 : info.isFile() ? PathKind::File
                                 : PathKind::Other;
        entries.push_back(std::move(e));
    }
    return entries;
}

FileResult<void> makeFolders(const QString& path, Access)
{
    // Private needs nothing more here: the user's data folder (%LOCALAPPDATA%) is the user's own.
    if (!QDir().mkpath(path) || !QFileInfo(path).isDir())
        return fileFailure(FileError::system(filesmsg::cannotMakeFolder()));
    return {};
}

FileResult<void> replaceFileWith(const QString& path, const std::function<bool(QIODevice&, QString*)>& write,
                                 ReplaceOptions)
{
    const QFileInfo info(path);
    if (info.isDir())
        return fileFailure(FileError::of(FileError::Kind::Folder));
    if (info.exists()) {
        // The same refusals as elsewhere, where Windows has the same risks: a read-only file, and
        // a file with a second name (the other would keep the old content).
        const DWORD attributes = ::GetFileAttributesW(wide(QDir::toNativeSeparators(path)));
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
            return fileFailure(FileError::of(FileError::Kind::ReadOnly));
        if (const std::optional<BY_HANDLE_FILE_INFORMATION> record = fileInformation(path);
            record && record->nNumberOfLinks > 1) {
            FileError e = FileError::of(FileError::Kind::HardLinks);
            e.links = record->nNumberOfLinks;
            return fileFailure(e);
        }
    }
    QString temporary;
    QFile file;
    for (int attempt = 0; attempt < 100 && !file.isOpen(); ++attempt) {
        temporary = temporaryName(path);
        file.setFileName(temporary);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly) && QFileInfo::exists(temporary))
            continue;
        if (!file.isOpen())
            return fileFailure(FileError::system(file.errorString()));
    }
    const auto fail = [&](const QString& why) -> FileResult<void> {
        file.close();
        QFile::remove(temporary);
        return fileFailure(FileError::system(why));
    };
    QString why;
    if (!write(file, &why))
        return fail(why.isEmpty() ? file.errorString() : why);
    if (!file.flush())
        return fail(file.errorString());
    // A file whose data never reached the disk is not saved.
    if (!::FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(file.handle()))))
        return fail(systemReason(::GetLastError()));
    file.close();
    if (!::MoveFileExW(wide(QDir::toNativeSeparators(temporary)), wide(QDir::toNativeSeparators(path)),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return fail(systemReason(::GetLastError()));
    return {};
}

FileResult<void> renameFile(const QString& from, const QString& to, bool replace)
{
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (!::MoveFileExW(wide(QDir::toNativeSeparators(from)), wide(QDir::toNativeSeparators(to)), flags))
        return fileFailure(systemError(::GetLastError()));
    return {};
}

FileResult<void> removeFile(const QString& path)
{
    if (QFileInfo(path).isDir())
        return fileFailure(FileError::of(FileError::Kind::Folder));
    if (!::DeleteFileW(wide(QDir::toNativeSeparators(path))))
        return fileFailure(systemError(::GetLastError()));
    return {};
}

FileResult<void> removeEmptyFolder(const QString& path)
{
    if (!::RemoveDirectoryW(wide(QDir::toNativeSeparators(path))))
        return fileFailure(systemError(::GetLastError()));
    return {};
}

FileResult<std::unique_ptr<OutputFile>> createFile(const QString& path)
{
    auto file = std::make_unique<WindowsOutputFile>(path);
    if (!file->create())
        return fileFailure(FileError::system(file->failure()));
    return std::unique_ptr<OutputFile>(std::move(file));
}

bool processRuns(qint64 pid)
{
    if (pid <= 0)
        return false;
    Handle process;
    process.h = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid));
    if (!process.h) {
        process.h = INVALID_HANDLE_VALUE;
        return ::GetLastError() == ERROR_ACCESS_DENIED; // another user's
    }
    DWORD code = 0;
    return ::GetExitCodeProcess(process.h, &code) && code == STILL_ACTIVE;
}

void prepareProcess()
{
    // Read by Qt once, at the first expression matched.
    qputenv("QT_ENABLE_REGEXP_JIT", "0");
}

} // namespace shenbao
