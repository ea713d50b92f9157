#include "app/recovery.h"

#include "check/verify.h"
#include "files/files.h"
#include "xdx/xdxfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QUuid>

#include <algorithm>

namespace shenbao {
namespace {

constexpr char kCopy[] = ".xdx";
constexpr char kAbout[] = ".json";
constexpr char kLock[] = ".lock";

QString setAsideFolder(const QString& folder)
{
    return folder + QStringLiteral("/set-aside");
}

} // namespace

RecoveryKeeper::RecoveryKeeper(const QString& folder, std::function<ApplicationRecord()> snapshot,
                               std::function<void(const QString&)> failed, QObject* parent)
    : QObject(parent), m_folder(QDir::cleanPath(folder)), m_snapshot(std::move(snapshot)), m_failed(std::move(failed)),
      m_id(QUuid::createUuid().toString(QUuid::WithoutBraces))
{
    m_pause.setSingleShot(true);
    m_pause.setInterval(kPauseMs);
    connect(&m_pause, &QTimer::timeout, this, &RecoveryKeeper::flush);
}

RecoveryKeeper::~RecoveryKeeper() = default; // the lock goes with its file; a written copy stays

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

bool RecoveryKeeper::ensureOwnLock()
{
    if (m_lock)
        return true;
    if (!makeFolders(m_folder))
        return false;
    auto lock = std::make_unique<QLockFile>(pathOf(m_id, kLock));
    if (!lock->tryLock(0))
        return false;
    m_lock = std::move(lock);
    return true;
}

bool RecoveryKeeper::write()
{
    const auto fail = [this](const QString& why) {
        if (!m_toldFailure) { // a full disk or a read-only folder: said once, then borne quietly
            m_toldFailure = true;
            m_failed(why);
        }
        return false;
    };
    if (!ensureOwnLock()) {
        const FileResult<void> made = makeFolders(m_folder);
        return fail(made ? QDir::toNativeSeparators(m_folder) : made.error().why());
    }
    const ApplicationRecord record = m_snapshot();
    const WriteResult written = saveXdxFile(pathOf(m_id, kCopy), record, verify(record));
    if (!written.ok)
        return fail(written.error);
    const QJsonObject about{{QStringLiteral("document"), m_document},
                            {QStringLiteral("written"), QDateTime::currentDateTime().toString(Qt::ISODateWithMs)}};
    const FileResult<void> noted = replaceFile(pathOf(m_id, kAbout), QJsonDocument(about).toJson());
    if (!noted)
        return fail(noted.error().why());
    m_written = true;
    return true;
}

void RecoveryKeeper::discard()
{
    m_pause.stop();
    m_pending = false;
    if (!m_written)
        return;
    QFile::remove(pathOf(m_id, kCopy));
    QFile::remove(pathOf(m_id, kAbout));
    m_written = false;
}

void RecoveryKeeper::letGo()
{
    flush();
    m_pending = false;
    if (!m_written)
        return;
    // Under a name no running program holds: a lost copy like any other.
    const QString id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    QFile::rename(pathOf(m_id, kAbout), pathOf(id, kAbout));
    QFile::rename(pathOf(m_id, kCopy), pathOf(id, kCopy));
    m_written = false;
}

std::vector<RecoveryCopy> RecoveryKeeper::lostCopies() const
{
    std::vector<RecoveryCopy> lost;
    const FileResult<std::vector<FolderEntry>> listing = listFolder(m_folder);
    for (const FolderEntry& e : listing.value_or(std::vector<FolderEntry>())) {
        if (e.kind != PathKind::File || !e.name.endsWith(QLatin1StringView(kCopy)) || e.name.startsWith(u'.'))
            continue;
        const QString id = e.name.chopped(int(qstrlen(kCopy)));
        if (id == m_id)
            continue;
        QLockFile lock(pathOf(id, kLock));
        if (!lock.tryLock(0))
            continue; // its program still runs
        lock.unlock();
        RecoveryCopy copy{pathOf(id, kCopy), {}, QFileInfo(pathOf(id, kCopy)).lastModified()};
        const FileResult<QByteArray> about = readRegularFile(pathOf(id, kAbout), 1 << 20);
        const QJsonObject o = QJsonDocument::fromJson(about.value_or(QByteArray())).object();
        copy.document = o.value(QStringLiteral("document")).toString();
        if (const QDateTime t = QDateTime::fromString(o.value(QStringLiteral("written")).toString(), Qt::ISODateWithMs);
            t.isValid())
            copy.written = t;
        // Saved since: the copy is older than what it would restore.
        if (!copy.document.isEmpty() && QFileInfo(copy.document).isFile() &&
            QFileInfo(copy.document).lastModified() >= QFileInfo(copy.path).lastModified()) {
            setAside(copy);
            continue;
        }
        lost.push_back(copy);
    }
    std::sort(lost.begin(), lost.end(), [](const RecoveryCopy& a, const RecoveryCopy& b) { return a.written > b.written; });
    return lost;
}

void RecoveryKeeper::remove(const RecoveryCopy& copy) const
{
    QFile::remove(copy.path);
    QFile::remove(copy.path.chopped(int(qstrlen(kCopy))) + QString::fromLatin1(kAbout));
}

QString RecoveryKeeper::setAside(const RecoveryCopy& copy) const
{
    const QString aside = setAsideFolder(m_folder);
    (void)makeFolders(aside);
    const QString name = QFileInfo(copy.path).fileName();
    const QString about = copy.path.chopped(int(qstrlen(kCopy))) + QString::fromLatin1(kAbout);
    QFile::rename(about, aside + u'/' + QFileInfo(about).fileName());
    const QString moved = aside + u'/' + name;
    return QFile::rename(copy.path, moved) ? moved : copy.path;
}

} // namespace shenbao
