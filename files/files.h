#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QFile;
class QIODevice;

// Reading and replacing whole files, the one place that talks to the operating system's file
// calls: documents come from mail and USB sticks, and a save must never damage what was there.

namespace shenbao {

// File names as the system gives them. On Unix a name is bytes, and an archive unpacked from a
// Chinese Windows machine leaves names in GBK: bytes that are not UTF-8 are kept in the text as
// the lone surrogates U+DC80 + byte, which no decoded name holds, so that a name read from a
// folder, a list or the command line names the same file again. (Windows names are UTF-16 and
// pass as they are.)
QString pathFromSystem(QByteArrayView bytes);
QByteArray pathToSystem(QStringView path);
// Whether path holds bytes that pathFromSystem could not decode.
bool hasUndecodedBytes(QStringView path);

// A whole file read, or why not.
struct FileRead
{
    enum class Status {
        Ok,
        Missing,    // nothing at the path (or a symbolic link to nothing)
        Folder,     // a folder
        NotRegular, // a named pipe, a device or a socket: kind says which
        TooLarge,   // more than the caller's bound
        Failed,     // reason holds the system's reason
    };
    Status status = Status::Failed;
    QByteArray bytes;
    QString kind;   // NotRegular: what the path is, in words
    QString reason; // Failed, Missing: the system's words
    qint64 limit = 0; // the bound the file was read under

    // Why the file was not read, in words for a message ("找不到文件", "这是一个文件夹"...);
    // empty when it was.
    QString why() const;
};

// Reads the regular file at path whole, if it holds at most maxBytes. Never waits: a named pipe
// or a device is reported, never read from or waited for.
FileRead readRegularFile(const QString& path, qint64 maxBytes);

// The same in pieces of at most chunkBytes, each handed to take as it is read, so that a large
// file never stands in memory whole; bytes stays empty. take returns false to stop (the result
// is then Ok with what was read so far).
FileRead readRegularFileInPieces(const QString& path, qint64 maxBytes, qsizetype chunkBytes,
                                 const std::function<bool(QByteArrayView)>& take);

// The regular file at path opened for reading, for a reader that seeks (a ZIP archive): never
// waiting on a named pipe, refusing what readRegularFile refuses. nullptr and the reason in
// *failure when it cannot be opened.
std::unique_ptr<QFile> openRegularFile(const QString& path, qint64 maxBytes, FileRead* failure);

// What is at a path, links followed.
enum class PathKind { Missing, File, Folder, Other };
PathKind pathKind(const QString& path);

// Which file a path names (links followed): two paths name the same file exactly when their
// identities are equal. nullopt when nothing is there.
struct FileIdentity
{
    quint64 device = 0;
    quint64 file = 0;
    bool operator==(const FileIdentity&) const = default;
    auto operator<=>(const FileIdentity&) const = default;
};
std::optional<FileIdentity> fileIdentity(const QString& path);

// A folder's entries, in the system's order ("." and ".." left out).
struct FolderEntry
{
    QString name;
    PathKind kind = PathKind::Missing; // of what the entry names, links followed
    bool link = false;                 // the entry itself is a symbolic link
};
struct FolderListing
{
    bool ok = false;
    QString reason; // the system's words, when !ok
    std::vector<FolderEntry> entries;
};
FolderListing listFolder(const QString& folder);

// The result of a write: ok, or the reason (the system's words where it gave one).
struct FileWrite
{
    bool ok = false;
    QString reason;
};

// Makes the folder and the folders above it that are missing.
FileWrite makeFolders(const QString& path);

struct ReplaceOptions
{
    // A symbolic link at the path is followed (a save replaces the file it names) or, for the
    // files a run makes in a folder of its own, replaced as any other entry.
    bool followLinks = true;
};

// Replaces the file at path with bytes, or creates it: the bytes go to a hidden temporary file
// beside it (".NAME.XXXXXX.tmp"), which is flushed to the disk and only then renamed over the
// target, so that a failure (a full disk, a failed flush, no permission) leaves what was there
// and nothing else. An existing file keeps its permissions, owner and group. Refused, and left as
// it was: a file the caller may not write or that nobody may (read-only), a file with more than
// one hard link (the others would keep the old content), a device or named pipe, and a link that
// another user planted in a shared folder (sticky and writable by all) unless it is the folder
// owner's or the caller's own, the rule the kernel applies to links it follows itself.
FileWrite replaceFile(const QString& path, const QByteArray& bytes, ReplaceOptions options = {});

// The same for what write puts into the device it is given (the temporary file), for an output
// too large to hold in memory. write returns false to give up, with a reason in *why or none
// (then the device's failure is the reason); the old file stays.
FileWrite replaceFileWith(const QString& path, const std::function<bool(QIODevice&, QString*)>& write,
                          ReplaceOptions options = {});

} // namespace shenbao
