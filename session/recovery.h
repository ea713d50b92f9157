#pragma once

#include "files/files.h"
#include "record/applicationrecord.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace shenbao {

// A recovery copy left by a window that no longer runs.
struct RecoveryCopy
{
    QString path;      // the copy, an XDX
    QString document;  // the document it was made from, or empty for one never saved
    QDateTime written; // when it was last written
    // When the document was written after the copy (another window saved it, a sync tool
    // touched it): the copy may be older than what it would restore.
    std::optional<QDateTime> documentChanged;
};

// Keeps a copy of the form while it holds unsaved edits, so that a crash, a power cut or a
// closed window costs the applicant at most the last few seconds: an XDX written by the save's
// own writer, through the same atomic replace, in a folder of the user's own (0700, the files
// 0600; never beside the document, never for an official one). Each window keeps its own copy
// under a lock, so that a copy whose window still runs is never taken for a lost one.
class RecoveryKeeper : public QObject
{
    Q_OBJECT

public:
    // snapshot reads the form; failed tells the applicant, once, that no copy can be written
    // and why.
    RecoveryKeeper(const QString& folder, std::function<ApplicationRecord()> snapshot,
                   std::function<void(const QString& why)> failed, QObject* parent = nullptr);
    ~RecoveryKeeper() override;

    QString folder() const { return m_folder; }
    // The copy of this window, once written (empty before).
    QString ownCopy() const;

    // The document the form now belongs to (empty: never saved), kept absolute: the next start
    // may be in another folder.
    void setDocument(const QString& path);
    QString document() const { return m_document; }
    // Official documents are read-only: nothing is copied while one is open.
    void setEnabled(bool enabled);

    // An edit: the copy is written once typing pauses for a few seconds, and at least every
    // half minute while it goes on.
    void edited();
    // Writes what is pending now (the window lost the focus, or is closing).
    void flush();
    // The form was saved, or its edits kept elsewhere: the copy goes.
    void discard();

    // What earlier windows left behind: the temporary files of copies cut short and the locks
    // of windows no longer running (never a running window's).
    void tidy() const;
    // The copies of windows that no longer run, newest first; offered also when no lock can be
    // written here (a full disk, a read-only folder).
    std::vector<RecoveryCopy> lostCopies() const;
    // Whether another running window keeps unsaved edits of document.
    bool heldElsewhere(const QString& document) const;
    // A lost copy given up: its files removed.
    FileResult<void> remove(const RecoveryCopy& copy) const;
    // A lost copy restored into this window: removed once this window's own copy holds its
    // content (or the form is saved), not before, so that a disk too full for a new copy
    // loses nothing.
    void adopt(const RecoveryCopy& copy);

    bool pending() const { return m_pending; }
    static constexpr int kPauseMs = 3000;
    static constexpr int kMostMs = 30000;

private:
    bool write();
    FileResult<void> ensureOwnLock();
    QString pathOf(const QString& id, const char* suffix) const;
    // The document a copy's note names.
    QString documentOf(const QString& id) const;

    QString m_folder;
    std::function<ApplicationRecord()> m_snapshot;
    std::function<void(const QString&)> m_failed;
    QString m_id; // this window's copy: <id>.xdx, <id>.json, <id>.lock
    std::unique_ptr<FileLock> m_lock;
    QString m_document;
    std::optional<RecoveryCopy> m_adopted;
    std::unique_ptr<FileLock> m_adoptedLock; // so that no other window offers it meanwhile
    bool m_enabled = true;
    bool m_pending = false;
    bool m_written = false;
    bool m_toldFailure = false;
    QTimer m_pause;
    QElapsedTimer m_sinceFirstEdit; // of the edits not yet written
};

} // namespace shenbao
