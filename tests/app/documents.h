#pragma once

// Documents for the window tests: written by the core writer and then edited as text, so that a
// test states only how its document differs from one this program saves.

#include "record/applicationrecord.h"
#include "xdx/xdxfile.h"

#include "record/gbk.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <csignal>
#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

namespace shenbao::testing {

inline QByteArray gbkBytes(const QString& s)
{
    // Like a lenient encoder: "?" for a character GBK lacks.
    QByteArray out;
    for (const QChar c : s) {
        char b[2];
        const int n = shenbao::gbk::toBytes(c.unicode(), b);
        out.append(n ? QByteArray(b, n) : QByteArray("?"));
    }
    return out;
}

inline QString fromGbk(const QByteArray& bytes)
{
    return shenbao::gbk::decode(bytes);
}

// The document this program saves for r, as text.
inline QString documentText(const ApplicationRecord& r, const QStringList& errors = {})
{
    return fromGbk(xdxBytes(r, errors));
}

// r as an open gives it back: a long text is read as lines, each followed by a line break.
inline ApplicationRecord asReadBack(ApplicationRecord r)
{
    for (const FieldSpec& spec : fieldCatalogue()) {
        const QString text = r.value(spec.field);
        if (spec.kind == FieldKind::LongText && !text.isEmpty() && !text.endsWith(u"\r\n"))
            r.setValue(spec.field, text + QStringLiteral("\r\n"));
    }
    return r;
}

// Replaces the first element called name, content and tags, by replacement.
inline QString withElement(QString text, const QString& name, const QString& replacement)
{
    const QRegularExpression re(QStringLiteral("<%1>.*?</%1>|<%1/>").arg(name),
                                QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        qFatal("no element %s", qPrintable(name));
    return text.replace(m.capturedStart(), m.capturedLength(), replacement);
}

inline QString leaf(const QString& name, const QString& content)
{
    return QStringLiteral("<%1>%2</%1>").arg(name, content);
}

// The text of the first element called name.
inline QString elementContent(const QString& text, const QString& name)
{
    const QRegularExpression re(QStringLiteral("<%1>(.*?)</%1>").arg(name),
                                QRegularExpression::DotMatchesEverythingOption);
    return re.match(text).captured(1);
}

inline QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

inline QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

#ifdef Q_OS_UNIX
// While it lives, no file may grow beyond the given size: a disk that fills up half-way through
// a save, which holds for root too.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit small = m_old;
        small.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
};
#define SHENBAO_NEEDS_FILE_SIZE_LIMIT()
#else
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64) {}
};
#define SHENBAO_NEEDS_FILE_SIZE_LIMIT()                                                                      \
    QSKIP("Windows has no per-process file size limit to make a write fail half-way")
#endif

} // namespace shenbao::testing
