#include "files/messages.h"

namespace shenbao::filesmsg {

QString missing()
{
    return QStringLiteral("找不到文件");
}

QString folder()
{
    return QStringLiteral("这是一个文件夹");
}

QString notFile(const QString& what)
{
    return QStringLiteral("这是%1，不是文件").arg(what);
}

QString tooLarge(qint64 limit)
{
    return QStringLiteral("文件太大（超过 %1 MiB）").arg(limit >> 20);
}

QString readOnly()
{
    return QStringLiteral("文件是只读的，不能替换");
}

QString hardLinks(quint64 links)
{
    return QStringLiteral("文件有 %1 个硬链接：替换它会让其他链接留着旧的内容，因此不替换").arg(links);
}

QString owner()
{
    return QStringLiteral("替换后文件将不再属于它原来的用户和组，因此不替换");
}

QString plantedLink()
{
    return QStringLiteral("这是另一个用户放在公共文件夹中的符号链接，不跟随它写入");
}

QString held()
{
    return QStringLiteral("另一个正在运行的窗口持有它");
}

QString interrupted()
{
    return QStringLiteral("已中断");
}

QString cannotLockHere()
{
    return QStringLiteral("没有权限在这个文件夹中写入锁文件");
}

QString cannotWriteLock()
{
    return QStringLiteral("无法写入锁文件（磁盘可能已满，或文件夹不能写入）");
}

QString cannotMakeFolder()
{
    return QStringLiteral("无法建立文件夹");
}

QString cannotReadFolder()
{
    return QStringLiteral("无法读取文件夹");
}

QString namedPipe()
{
    return QStringLiteral("命名管道（FIFO）");
}

QString socket()
{
    return QStringLiteral("套接字");
}

QString device()
{
    return QStringLiteral("设备");
}

QString specialFile()
{
    return QStringLiteral("特殊文件");
}

QString explained(const QString& plain, const QString& system)
{
    return system.isEmpty() ? plain : QStringLiteral("%1（%2）").arg(plain, system);
}

QString diskFull()
{
    return QStringLiteral("磁盘已满");
}

QString quotaExceeded()
{
    return QStringLiteral("超出了磁盘配额");
}

QString noPermission()
{
    return QStringLiteral("没有权限");
}

QString readOnlyFileSystem()
{
    return QStringLiteral("磁盘或文件系统是只读的");
}

} // namespace shenbao::filesmsg
