#include "session/drafts.h"

#include "check/verify.h"
#include "session/messages.h"
#include "xdx/xdxfile.h"

#include <QDir>

namespace shenbao {
namespace {

constexpr qint64 kMaxDraftBytes = qint64(64) << 20;
// Titles run long; a name is read in a list.
constexpr qsizetype kTitleShown = 40;
constexpr qsizetype kLeaderShown = 12;
constexpr char kSuffix[] = ".xdx";
// Beside a draft, hidden: where it belongs (the system's bytes of the path).
constexpr char kOriginPrefix[] = ".";
constexpr char kOriginSuffix[] = ".origin";
// Drafts a closed window kept, a name a line.
constexpr char kRemembered[] = ".kept-on-close";

// What a name may not hold on any system the folder may be copied to, and what reads badly.
QString nameSafe(const QString& text, qsizetype most)
{
    QString out;
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || QStringView(u"\\/:*?\"<>|").contains(c) || c.isSpace()) {
            if (!out.isEmpty() && !out.endsWith(u' '))
                out += u' ';
            continue;
        }
        out += c;
    }
    out = out.trimmed();
    if (out.size() > most) {
        out.truncate(most);
        if (out.back().isHighSurrogate())
            out.chop(1);
        out = out.trimmed() + u'…';
    }
    while (out.startsWith(u'.'))
        out.remove(0, 1); // never a hidden file
    return out;
}

QString originPath(const QString& folder, const QString& draftName)
{
    return folder + u'/' + QLatin1StringView(kOriginPrefix) + draftName + QLatin1StringView(kOriginSuffix);
}

QString fileNameOf(const QString& path)
{
    return path.mid(path.lastIndexOf(u'/') + 1);
}

} // namespace

QString draftsFolderName()
{
    return sessionmsg::draftsFolder();
}

QString draftFileName(const QString& title, const QString& leader, const QDateTime& when)
{
    QString name = nameSafe(title, kTitleShown);
    if (name.isEmpty())
        name = sessionmsg::untitled();
    if (const QString who = nameSafe(leader, kLeaderShown); !who.isEmpty())
        name += u'（' + who + u'）';
    return name + when.toString(QStringLiteral("yyyy-MM-dd HH.mm")) + QLatin1StringView(kSuffix);
}

Drafts::Drafts(const QString& folder) : m_folder(QDir::cleanPath(folder)) {}

FileResult<QString> Drafts::write(const QByteArray& bytes, const QString& name, const QString& original)
{
    if (const FileResult<void> made = makeFolders(m_folder, Access::Private); !made)
        return fileFailure(made.error());
    // Two drafts of one minute: the second gets " (2)", never replacing the first.
    const QString stem = name.chopped(int(qstrlen(kSuffix)));
    QString path = m_folder + u'/' + name;
    for (int n = 2; pathKind(path) != PathKind::Missing; ++n)
        path = m_folder + u'/' + stem + QStringLiteral(" (%1)").arg(n) + QLatin1StringView(kSuffix);
    ReplaceOptions options;
    options.access = Access::Private;
    if (const FileResult<void> written = replaceFile(path, bytes, options); !written)
        return fileFailure(written.error());
    if (!original.isEmpty())
        (void)replaceFile(originPath(m_folder, fileNameOf(path)), pathToSystem(original),
                          options); // only a help
    return path;
}

FileResult<QString> Drafts::keep(const ApplicationRecord& record, const QString& original,
                                 const QDateTime& when)
{
    QString error;
    const QByteArray bytes = xdxBytes(record, verify(record), &error);
    if (bytes.isEmpty())
        return fileFailure(FileError::system(error));
    return write(bytes, draftFileName(record.value(Field::ProjectName), record.value(Field::Presider), when),
                 original);
}

FileResult<QString> Drafts::keepBytes(const QByteArray& bytes, const QString& original, const QDateTime& when)
{
    if (const OpenResult read = openXdxBytes(bytes); openStatus(read) == OpenStatus::Loaded)
        return write(
            bytes,
            draftFileName(read->record.value(Field::ProjectName), read->record.value(Field::Presider), when),
            original);
    QString stem = fileNameOf(original);
    if (stem.endsWith(QLatin1StringView(kSuffix), Qt::CaseInsensitive))
        stem.chop(int(qstrlen(kSuffix)));
    return write(bytes, draftFileName(stem, {}, when), original);
}

bool Drafts::holds(const QString& path) const
{
    const QString clean = QDir::cleanPath(QDir::fromNativeSeparators(path));
    const qsizetype slash = clean.lastIndexOf(u'/');
    const std::optional<FileIdentity> here =
        fileIdentity(slash < 0 ? QStringLiteral(".") : clean.left(std::max<qsizetype>(slash, 1)));
    return here && here == fileIdentity(m_folder);
}

QString Drafts::originalOf(const QString& draft) const
{
    const FileResult<QByteArray> origin = readRegularFile(originPath(m_folder, fileNameOf(draft)), 1 << 16);
    return origin ? pathFromSystem(*origin) : QString();
}

int Drafts::removeExpired(const QDateTime& now) const
{
    const FileResult<std::vector<FolderEntry>> entries = listFolder(m_folder);
    if (!entries)
        return 0;
    int removed = 0;
    const QDateTime before = now.addDays(-kKeptDays);
    for (const FolderEntry& e : *entries) {
        if (e.kind != PathKind::File || e.link)
            continue;
        const QString path = m_folder + u'/' + e.name;
        const bool origin = e.name.startsWith(QLatin1StringView(kOriginPrefix)) &&
                            e.name.endsWith(QLatin1StringView(kOriginSuffix));
        if (origin) {
            // Its draft gone (expired, or removed by the applicant): it goes too.
            const QString draft =
                e.name.mid(int(qstrlen(kOriginPrefix))).chopped(int(qstrlen(kOriginSuffix)));
            if (pathKind(m_folder + u'/' + draft) == PathKind::Missing)
                (void)removeFile(path);
            continue;
        }
        if (!e.name.endsWith(QLatin1StringView(kSuffix), Qt::CaseInsensitive))
            continue;
        const std::optional<QDateTime> written = modificationTime(path);
        if (written && *written < before && removeFile(path)) {
            (void)removeFile(originPath(m_folder, e.name));
            ++removed;
        }
    }
    removeLeftoverTemporaries(m_folder);
    return removed;
}

void Drafts::adoptFolder(const QString& folder)
{
    const FileResult<std::vector<FolderEntry>> entries = listFolder(folder);
    if (!entries)
        return;
    for (const FolderEntry& e : *entries) {
        const QString path = folder + u'/' + e.name;
        if (e.kind != PathKind::File || e.link || !e.name.endsWith(QLatin1StringView(kSuffix)))
            continue;
        const FileResult<QByteArray> bytes = readRegularFile(path, kMaxDraftBytes);
        if (bytes && keepBytes(*bytes, {}, modificationTime(path).value_or(QDateTime::currentDateTime())) &&
            removeFile(path))
            (void)removeFile(path.chopped(int(qstrlen(kSuffix))) + QStringLiteral(".json"));
    }
}

void Drafts::remember(const QString& draft) const
{
    const FileResult<QByteArray> before =
        readRegularFile(m_folder + u'/' + QLatin1StringView(kRemembered), 1 << 20);
    ReplaceOptions options;
    options.access = Access::Private;
    (void)replaceFile(m_folder + u'/' + QLatin1StringView(kRemembered),
                      before.value_or(QByteArray()) + pathToSystem(fileNameOf(draft)) + '\n', options);
}

QStringList Drafts::takeRemembered() const
{
    const QString list = m_folder + u'/' + QLatin1StringView(kRemembered);
    const FileResult<QByteArray> bytes = readRegularFile(list, 1 << 20);
    if (!bytes)
        return {};
    (void)removeFile(list);
    QStringList names;
    for (const QByteArray& line : bytes->split('\n'))
        if (!line.isEmpty() && pathKind(m_folder + u'/' + pathFromSystem(line)) == PathKind::File)
            names.append(pathFromSystem(line));
    return names;
}

} // namespace shenbao
