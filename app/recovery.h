#pragma once

#include "record/applicationrecord.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

class QLockFile;

namespace shenbao {

// A recovery copy left by a program that is no longer running.
struct RecoveryCopy
{
    QString path;      // the copy, an XDX
    QString document;  // the document it was made from, or empty for one never saved
    QDateTime written; // when it was last written
};

// Keeps a copy of the form while it holds unsaved edits, so that a crash, a power cut or a
// closed window costs the applicant at most the last few seconds: an XDX written by the save's
// own writer, through the same atomic replace, in a folder of the user's own (never beside the
// document, never for an official one). Each window keeps its own copy under a lock, so that a
// copy whose program still runs is never taken for a lost one.
class RecoveryKeeper : public QObject
{
    Q_OBJECT

public:
    // snapshot reads the form; failed tells the applicant, once, that no copy can be written.
    RecoveryKeeper(const QString& folder, std::function<ApplicationRecord()> snapshot,
                   std::function<void(const QString& why)> failed, QObject* parent = nullptr);
    ~RecoveryKeeper() override;

    QString folder() const { return m_folder; }
    // The copy of this window, once written (empty before).
    QString ownCopy() const;

    // The document the form now belongs to (empty: never saved).
    void setDocument(const QString& path) { m_document = path; }
    // Official documents are read-only: nothing is copied while one is open.
    void setEnabled(bool enabled);

    // An edit: the copy is written once typing pauses for a few seconds, and at least every
    // half minute while it goes on.
    void edited();
    // Writes what is pending now (the window lost the focus, or is closing).
    void flush();
    // The form was saved, or its edits given up: the copy goes.
    void discard();
    // The form's edits are replaced without being saved (another document opened over them):
    // the copy is kept as a lost one, to be offered again.
    void letGo();

    // The copies of programs that no longer run, newest first. Copies older than the document
    // they belong to (it was saved since) are set aside on the way.
    std::vector<RecoveryCopy> lostCopies() const;
    // What to do with a lost copy.
    void remove(const RecoveryCopy& copy) const;
    // Moved into the folder "set-aside", kept for the applicant to find; the new path.
    QString setAside(const RecoveryCopy& copy) const;

    bool pending() const { return m_pending; }
    static constexpr int kPauseMs = 3000;
    static constexpr int kMostMs = 30000;

private:
    bool write();
    bool ensureOwnLock();
    QString pathOf(const QString& id, const char* suffix) const;

    QString m_folder;
    std::function<ApplicationRecord()> m_snapshot;
    std::function<void(const QString&)> m_failed;
    QString m_id; // this window's copy: <id>.xdx, <id>.json, <id>.lock
    std::unique_ptr<QLockFile> m_lock;
    QString m_document;
    bool m_enabled = true;
    bool m_pending = false;
    bool m_written = false;
    bool m_toldFailure = false;
    QTimer m_pause;
    QElapsedTimer m_sinceFirstEdit; // of the edits not yet written
};

} // namespace shenbao
