#pragma once

#include "record/applicationrecord.h"
#include "xdx/xdxjson.h"

#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

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
    if (!r)
        qFatal("samples/complete.json: %s", qPrintable(r.error()));
    return *r;
}

inline ApplicationRecord incompleteSample()
{
    const JsonRecord r = recordFromJson(readAll(sourcePath(QStringLiteral("samples/incomplete.json"))));
    if (!r)
        qFatal("samples/incomplete.json: %s", qPrintable(r.error()));
    return *r;
}

// Python with a script, for what another program does to a file (openpyxl reading or sorting a
// workbook, zipfile writing one): its output, or nothing where it cannot run (no python3 or
// openpyxl, or under Wine, whose programs cannot start it) or fails.
inline std::optional<QString> python(const QString& script, const QStringList& arguments)
{
#ifdef Q_OS_WIN
    Q_UNUSED(script);
    Q_UNUSED(arguments);
    return std::nullopt;
#else
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), QStringList{QStringLiteral("-c"), script} + arguments);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        qWarning("%s", p.readAllStandardError().constData());
        return std::nullopt;
    }
    return QString::fromUtf8(p.readAllStandardOutput());
#endif
}

// Whether python() can read workbooks here: a script that fails where it can is a failure of
// the test, never a reason to skip it.
inline bool pythonReadsWorkbooks()
{
    return python(QStringLiteral("import openpyxl"), {}).has_value();
}

} // namespace shenbao::test
