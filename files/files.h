#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QIODevice;

// Reading and replacing whole files, the one place that talks to the operating system's file
// calls: documents come from mail and USB sticks, and a save must never damage what was there.

namespace shenbao {

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

// The result of a write: ok, or the reason (the system's words where it gave one).
struct FileWrite
{
    bool ok = false;
    QString reason;
};

// Replaces the file at path with bytes, or creates it: the bytes go to a hidden temporary file
// beside it (".NAME.XXXXXX.tmp"), which is flushed to the disk and only then renamed over the
// target, so that a failure (a full disk, a failed flush, no permission) leaves what was there
// and nothing else. A symbolic link is followed; an existing file's permissions are kept.
FileWrite replaceFile(const QString& path, const QByteArray& bytes);

// The same for what write puts into the device it is given (the temporary file), for an output
// too large to hold in memory. write returns false to give up, with a reason in *why or none
// (then the device's failure is the reason); the old file stays.
FileWrite replaceFileWith(const QString& path, const std::function<bool(QIODevice&, QString*)>& write);

} // namespace shenbao
