#pragma once

#include "record/applicationrecord.h"
#include "xdx/xdxjson.h"

#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QtTest>

namespace shenbao::test {

inline QString sourcePath(const QString& relative)
{
    return QStringLiteral(SHENBAO_SOURCE_DIR "/") + relative;
}

inline QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("cannot read fixture %s", qPrintable(path));
    return f.readAll();
}

inline void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// The committed complete application (every field filled, every rule passing).
inline ApplicationRecord completeSample()
{
    const JsonRecord r = recordFromJson(readAll(sourcePath(QStringLiteral("samples/complete.json"))));
    if (!r.ok)
        qFatal("samples/complete.json: %s", qPrintable(r.error));
    return r.record;
}

inline ApplicationRecord incompleteSample()
{
    const JsonRecord r = recordFromJson(readAll(sourcePath(QStringLiteral("samples/incomplete.json"))));
    if (!r.ok)
        qFatal("samples/incomplete.json: %s", qPrintable(r.error));
    return r.record;
}

} // namespace shenbao::test
