#pragma once

#include "files/expected.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QIODevice>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QTemporaryDir;

// Reading, replacing, renaming and removing files and folders: the one place that talks to the
// operating system's file calls. Documents come from mail and USB sticks, and a save must never
// damage what was there. The rules are common; files_posix.cpp and files_windows.cpp carry them
// out with each system's own calls.

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
// A file's name as a person is shown it, in every message of every program: the system's
// separators, control characters made visible, and bytes that are not UTF-8 (an archive
// unpacked from a Chinese Windows machine) decoded as GBK where they are GBK, else "\xNN". The
// name itself is never changed: this is for showing only.
QString shownPath(const QString& path);

// Why a file operation did not happen.
struct FileError
{
    enum class Kind {
        Missing,     // nothing at the path (or a symbolic link to nothing)
        Folder,      // a folder where a file was wanted
        NotRegular,  // a named pipe, a device or a socket: what says which
        TooLarge,    // more than the caller's bound (limit)
        ReadOnly,    // a file nobody, or not the caller, may write
        HardLinks,   // a file with more than one name: links
        Owner,       // a replacement could not keep the owner and group
        PlantedLink, // a link another user put into a shared folder
        Held,        // a lock another running program holds
        Interrupted, // the run was stopped (Ctrl+C)
        System,      // the system's own reason, in reason
    };
    Kind kind = Kind::System;
    QString reason;   // System: the system's words (also kept for the others where it gave some)
    QString what;     // NotRegular: what the path is, in words
    qint64 limit = 0; // TooLarge: the bound
    quint64 links = 0;

    // In words for a message ("找不到文件", "磁盘已满"...).
    QString why() const;

    static FileError system(QString reason) { return {Kind::System, std::move(reason), {}, 0, 0}; }
    static FileError of(Kind kind) { return {kind, {}, {}, 0, 0}; }
};

template <class T> using FileResult = Expected<T, FileError>;

inline Unexpected<FileError> fileFailure(FileError error)
{
    return Unexpected<FileError>(std::move(error));
}

// Reads the regular file at path whole, if it holds at most maxBytes. Never waits: a named pipe
// or a device is reported, never read from or waited for.
FileResult<QByteArray> readRegularFile(const QString& path, qint64 maxBytes);

// The same in pieces of at most chunkBytes, each handed to take as it is read, so that a large
// file never stands in memory whole. take returns false to stop (the result is then a success
// with what was read so far).
FileResult<void> readRegularFileInPieces(const QString& path, qint64 maxBytes, qsizetype chunkBytes,
                                         const std::function<bool(QByteArrayView)>& take);

// The regular file at path opened for reading, for a reader that seeks (a ZIP archive): never
// waiting on a named pipe, refusing what readRegularFile refuses. The caller owns the device.
FileResult<std::unique_ptr<QIODevice>> openRegularFile(const QString& path, qint64 maxBytes);

// Standard input, read whole up to maxBytes.
FileResult<QByteArray> readStandardInput(qint64 maxBytes);

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

// When the file at path was last written; nullopt when nothing is there.
std::optional<QDateTime> modificationTime(const QString& path);

// A folder's entries, in the system's order ("." and ".." left out).
struct FolderEntry
{
    QString name;
    PathKind kind = PathKind::Missing; // of what the entry names, links followed
    bool link = false;                 // the entry itself is a symbolic link
};
FileResult<std::vector<FolderEntry>> listFolder(const QString& folder);

// Who may see what a folder or file holds once made: everybody the system lets (Shared), or the
// user alone (Private: 0700 folders, 0600 files, the rule for a user's data folders).
enum class Access { Shared, Private };

// Makes the folder and the folders above it that are missing.
FileResult<void> makeFolders(const QString& path, Access access = Access::Shared);

struct ReplaceOptions
{
    // A symbolic link at the path is followed (a save replaces the file it names) or, for the
    // files a run makes in a folder of its own, replaced as any other entry.
    bool followLinks = true;
    // Of a file made anew; an existing file keeps its own permissions.
    Access access = Access::Shared;
};

// Replaces the file at path with bytes, or creates it: the bytes go to a hidden temporary file
// beside it (".NAME.PID-XXXXXX.tmp"), which is flushed to the disk and only then renamed over the
// target, so that a failure (a full disk, a failed flush, no permission) leaves what was there
// and nothing else. An existing file keeps its permissions, owner and group. Refused, and left as
// it was: a file the caller may not write or that nobody may (read-only), a file with more than
// one hard link (the others would keep the old content), a device or named pipe, and a link that
// another user planted in a shared folder (sticky and writable by all) unless it is the folder
// owner's or the caller's own, the rule the kernel applies to links it follows itself.
FileResult<void> replaceFile(const QString& path, const QByteArray& bytes, ReplaceOptions options = {});

// The same for what write puts into the device it is given (the temporary file), for an output
// too large to hold in memory. write returns false to give up, with a reason in *why or none
// (then the device's failure is the reason); the old file stays. The temporary file is made
// before write is called: a folder that cannot be written fails before any work is done.
FileResult<void> replaceFileWith(const QString& path, const std::function<bool(QIODevice&, QString*)>& write,
                                 ReplaceOptions options = {});

// Appends bytes to the file at path, made if missing: a log, where a half-written line is no
// loss and no other program reads it while it grows.
FileResult<void> appendToFile(const QString& path, const QByteArray& bytes);

// Renames a file within its file system, replacing what is at to only when replace is set.
FileResult<void> renameFile(const QString& from, const QString& to, bool replace = false);

// Removes a file (never a folder). Missing is an error the caller may ignore.
FileResult<void> removeFile(const QString& path);
// Removes a folder that holds nothing (never one that holds something).
FileResult<void> removeEmptyFolder(const QString& path);

// The temporary files that replacements left when their program was killed: those in folder
// whose program no longer runs (named by replaceFile, with its process's number) are removed.
// Returns how many.
int removeLeftoverTemporaries(const QString& folder);

// A folder of the program's own for the pieces of one run (the parts of a PDF): made private
// under the system's temporary folder, named after the program and its process, and removed
// with everything in it when the object goes. A folder a killed run left is removed by the next
// run that makes one (removeLeftoverRunFolders).
class RunFolder
{
public:
    explicit RunFolder(const QString& program);
    ~RunFolder();
    RunFolder(const RunFolder&) = delete;
    RunFolder& operator=(const RunFolder&) = delete;

    // The folder, or why it could not be made.
    const FileResult<QString>& path() const { return m_path; }
    // Removes the folder and what it holds now (also done by the destructor).
    void remove();

    // The run folders of program whose process no longer runs, removed; how many.
    static int removeLeftoverRunFolders(const QString& program);

private:
    FileResult<QString> m_path;
    std::unique_ptr<QTemporaryDir> m_folder;
};

// A file made anew (never replacing one) for writing, private to the user: for the pieces a run
// writes into its RunFolder. finish() writes out what is buffered and closes it: the first
// failure of all the writes, or none.
class OutputFile : public QIODevice
{
public:
    virtual FileResult<void> finish() = 0;
};
FileResult<std::unique_ptr<OutputFile>> createFile(const QString& path);

// A lock on a file of its own (NAME.lock), held for as long as the object lives: which running
// program owns a recovery copy. A lock whose program no longer runs is taken over.
class FileLock
{
public:
    explicit FileLock(const QString& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Locked, or why not: Held when another running program holds it; any other error when no
    // lock could be written at all (a full disk, a folder that cannot be written), which says
    // nothing about whether another program holds it.
    FileResult<void> tryLock();
    bool isLocked() const;
    // Lets the lock go and removes its file.
    void unlock();

    // Whether a running program holds the lock at path; false for a lock of a program that no
    // longer runs, and for no lock at all. Takes nothing over.
    static bool isHeld(const QString& path);
    // Removes the lock at path when its program no longer runs; whether it did.
    static bool removeIfStale(const QString& path);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// Whether the process numbered pid runs on this machine.
bool processRuns(qint64 pid);

// The first call of every program's main(), before Qt starts. On Windows it turns off Qt's
// compiled regular expressions: the stack one leaves in the main thread is freed only after Qt's
// library has been unloaded at the program's end, which can hang the program after its work is
// done (a third of the runs under Wine of a command that matched one).
void prepareProcess();

} // namespace shenbao
