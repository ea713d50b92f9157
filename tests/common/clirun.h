#pragma once

#include "cli/xdxtool.h"

#include "fixtures.h"

#include <QDir>
#include <QTextStream>

namespace shenbao::test {

// One in-process run of xdxtool, its streams caught in strings.
struct Run
{
    int status;
    QString out;
    QString err;
};

inline Run xdxtool(const QStringList& args)
{
    Run r;
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    r.status = cli::run(args, {out, err});
    out.flush();
    err.flush();
    return r;
}

// A file's name as the tool shows it: with the system's separators.
inline QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

inline QString sample(const char* name)
{
    return sourcePath(QStringLiteral("samples/") + QString::fromLatin1(name));
}

} // namespace shenbao::test
