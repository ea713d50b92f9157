#include "session/recovery.h"

#include "check/verify.h"
#include "xdx/xdxfile.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>

#include <algorithm>

namespace shenbao {
namespace {

constexpr char kCopy[] = ".xdx";
constexpr char kAbout[] = ".json";
constexpr char kLock[] = ".lock";

QString idOf(const QString& name, const char* suffix)
{
    return name.chopped(int(qstrlen(suffix)));
}

} // namespace

RecoveryKeeper::RecoveryKeeper(const QString& folder, std::function<ApplicationRecord()> snapshot,
                               std::function<void(const QString&)> failed, QObject* parent)
    : QObject(parent), m_folder(QDir::cleanPath(folder)), m_snapshot(std::move(snapshot)),
      m_failed(std::move(failed)), m_id(QUuid::createUuid().toString(QUuid::WithoutBraces))
{
    m_pause.setSingleShot(true);
    m_pause.setInterval(kPauseMs);
    connect(&m_pause, &QTimer::timeout, this, &RecoveryKeeper::flush);
}

RecoveryKeeper::~RecoveryKeeper() = default; // the lock goes with its file; a written copy stays

void RecoveryKeeper::setDocument(const QString& path)
{
    m_document = path.isEmpty() ? path : QDir::cleanPath(QDir::current().absoluteFilePath(path));
}

QString RecoveryKeeper::pathOf(const QString& id, const char* suffix) const
{
    return m_folder + u'/' + id + QString::fromLatin1(suffix);
}

QString RecoveryKeeper::ownCopy() const
{
    return m_written ? pathOf(m_id, kCopy) : QString();
}

void RecoveryKeeper::setEnabled(bool enabled)
{
    m_enabled = enabled;
    if (!enabled) {
        m_pause.stop();
        m_pending = false;
    }
}

void RecoveryKeeper::edited()
{
    if (!m_enabled)
        return;
    if (!m_pending) {
        m_pending = true;
        m_sinceFirstEdit.start();
    }
    if (m_sinceFirstEdit.elapsed() >= kMostMs)
        flush();
    else
        m_pause.start();
}

void RecoveryKeeper::flush()
{
    m_pause.stop();
    if (!m_pending || !m_enabled)
        return;
    if (write())
        m_pending = false;
    else
        m_sinceFirstEdit.start(); // tried again after the next pause, not at every key
}

FileResult<void> RecoveryKeeper::ensureOwnLock()
{
    if (m_lock)
        return {};
    if (const FileResult<void> made = makeFolders(m_folder, Access::Private); !made)
        return made;
    auto lock = std::make_unique<FileLock>(pathOf(m_id, kLock));
    if (const FileResult<void> locked = lock->tryLock(); !locked)
        return locked;
    m_lock = std::move(lock);
    return {};
}

bool RecoveryKeeper::write()
{
    const auto fail = [this](const FileError& error) {
        if (!m_toldFailure) { // a full disk or a read-only folder: said once, then borne quietly
            m_toldFailure = true;
            m_failed(QDir::toNativeSeparators(m_folder) + QStringLiteral("：") + error.why());
        }
        return false;
    };
    if (const FileResult<void> locked = ensureOwnLock(); !locked)
        return fail(locked.error());
    const ApplicationRecord record = m_snapshot();
    QString error;
    const QByteArray bytes = xdxBytes(record, verify(record), &error);
    if (bytes.isEmpty())
        return fail(FileError::system(error));
    ReplaceOptions options;
    options.access = Access::Private;
    if (const FileResult<void> written = replaceFile(pathOf(m_id, kCopy), bytes, options); !written)
        return fail(written.error());
    QJsonObject about{{QStringLiteral("document"), m_document},
                      {QStringLiteral("written"), QDateTime::currentDateTime().toString(Qt::ISODateWithMs)}};
    if (hasUndecodedBytes(m_document)) // a name in GBK: its bytes, which JSON text cannot hold
        about.insert(QStringLiteral("documentBytes"),
                     QString::fromLatin1(pathToSystem(m_document).toBase64()));
    if (const FileResult<void> noted =
            replaceFile(pathOf(m_id, kAbout), QJsonDocument(about).toJson(), options);
        !noted)
        return fail(noted.error());
    m_written = true;
    if (m_adopted && remove(*m_adopted)) {
        m_adopted.reset();
        m_adoptedLock.reset();
    }
    return true;
}

void RecoveryKeeper::adopt(const RecoveryCopy& copy)
{
    m_adopted = copy;
    m_adoptedLock =
        std::make_unique<FileLock>(copy.path.chopped(int(qstrlen(kCopy))) + QLatin1StringView(kLock));
    (void)m_adoptedLock->tryLock(); // on a full disk it cannot be had: then another window may offer it too
}

void RecoveryKeeper::discard()
{
    m_pause.stop();
    m_pending = false;
    if (m_adopted && remove(*m_adopted)) {
        m_adopted.reset();
        m_adoptedLock.reset();
    }
    if (!m_written)
        return;
    // Gone, or still there for the next start to offer: never a half of it.
    if (removeFile(pathOf(m_id, kCopy)) || pathKind(pathOf(m_id, kCopy)) == PathKind::Missing)
        (void)removeFile(pathOf(m_id, kAbout));
    m_written = false;
}

void RecoveryKeeper::tidy() const
{
    removeLeftoverTemporaries(m_folder);
    const FileResult<std::vector<FolderEntry>> entries = listFolder(m_folder);
    if (!entries)
        return;
    for (const FolderEntry& e : *entries) {
        if (e.kind != PathKind::File)
            continue;
        if (e.name.endsWith(QLatin1StringView(kLock)))
            FileLock::removeIfStale(m_folder + u'/' + e.name);
        else if (e.name.endsWith(QLatin1StringView(kAbout)) &&
                 pathKind(pathOf(idOf(e.name, kAbout), kCopy)) == PathKind::Missing &&
                 !FileLock::isHeld(pathOf(idOf(e.name, kAbout), kLock)))
            (void)removeFile(m_folder + u'/' + e.name); // a note whose copy is gone
    }
}

QString RecoveryKeeper::documentOf(const QString& id) const
{
    const FileResult<QByteArray> about = readRegularFile(pathOf(id, kAbout), 1 << 20);
    if (!about)
        return {};
    const QJsonObject o = QJsonDocument::fromJson(*about).object();
    if (const QString bytes = o.value(QStringLiteral("documentBytes")).toString(); !bytes.isEmpty())
        return pathFromSystem(QByteArray::fromBase64(bytes.toLatin1()));
    return o.value(QStringLiteral("document")).toString();
}

std::vector<RecoveryCopy> RecoveryKeeper::lostCopies() const
{
    std::vector<RecoveryCopy> lost;
    const FileResult<std::vector<FolderEntry>> entries = listFolder(m_folder);
    if (!entries)
        return lost;
    for (const FolderEntry& e : *entries) {
        if (e.kind != PathKind::File || !e.name.endsWith(QLatin1StringView(kCopy)) || e.name.startsWith(u'.'))
            continue;
        const QString id = idOf(e.name, kCopy);
        // A running window's copy is its own. A lock that cannot be taken for want of room or
        // permission says nothing of the kind: such a copy is offered.
        if (id == m_id || FileLock::isHeld(pathOf(id, kLock)))
            continue;
        RecoveryCopy copy{pathOf(id, kCopy), documentOf(id),
                          modificationTime(pathOf(id, kCopy)).value_or(QDateTime()), std::nullopt};
        const FileResult<QByteArray> about = readRegularFile(pathOf(id, kAbout), 1 << 20);
        if (about) {
            const QJsonObject o = QJsonDocument::fromJson(*about).object();
            if (const QDateTime t =
                    QDateTime::fromString(o.value(QStringLiteral("written")).toString(), Qt::ISODateWithMs);
                t.isValid())
                copy.written = t;
        }
        // Saved since (another window, a sync tool): offered all the same, with both times.
        if (!copy.document.isEmpty())
            if (const std::optional<QDateTime> changed = modificationTime(copy.document);
                changed && *changed > copy.written)
                copy.documentChanged = changed;
        lost.push_back(copy);
    }
    std::sort(lost.begin(), lost.end(),
              [](const RecoveryCopy& a, const RecoveryCopy& b) { return a.written > b.written; });
    return lost;
}

bool RecoveryKeeper::heldElsewhere(const QString& document) const
{
    const std::optional<FileIdentity> wanted = fileIdentity(document);
    if (!wanted)
        return false;
    const FileResult<std::vector<FolderEntry>> entries = listFolder(m_folder);
    if (!entries)
        return false;
    for (const FolderEntry& e : *entries) {
        if (e.kind != PathKind::File || !e.name.endsWith(QLatin1StringView(kAbout)))
            continue;
        const QString id = idOf(e.name, kAbout);
        if (id == m_id || pathKind(pathOf(id, kCopy)) != PathKind::File ||
            !FileLock::isHeld(pathOf(id, kLock)))
            continue;
        const QString other = documentOf(id);
        if (!other.isEmpty() && fileIdentity(other) == wanted)
            return true;
    }
    return false;
}

FileResult<void> RecoveryKeeper::remove(const RecoveryCopy& copy) const
{
    if (const FileResult<void> gone = removeFile(copy.path);
        !gone && gone.error().kind != FileError::Kind::Missing)
        return gone;
    (void)removeFile(copy.path.chopped(int(qstrlen(kCopy))) + QString::fromLatin1(kAbout));
    return {};
}

} // namespace shenbao
