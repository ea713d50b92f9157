#pragma once

#include <QString>

// Every word the file layer says, written here once.

namespace shenbao::filesmsg {

QString missing();
QString folder();
QString notFile(const QString& what);
QString tooLarge(qint64 limit);
QString readOnly();
QString hardLinks(quint64 links);
QString owner();
QString plantedLink();
QString held();
QString interrupted();
QString cannotLockHere();
QString cannotWriteLock();
QString cannotMakeFolder();
QString cannotReadFolder();
QString namedPipe();
QString socket();
QString device();
QString specialFile();
// The system's reason, with the words applicants know for the common ones ("磁盘已满").
QString explained(const QString& plain, const QString& system);
QString diskFull();
QString quotaExceeded();
QString noPermission();
QString readOnlyFileSystem();

} // namespace shenbao::filesmsg
