// The window's safety net: recovery copies offered again, drafts kept of what a close or an
// open would lose.
#include "app/mainwindow.h"

#include "app/interaction.h"
#include "app/messages.h"
#include "files/files.h"
#include "session/session.h"
#include "xdx/xdxfile.h"

#include <QDir>
#include <QStandardPaths>

namespace shenbao {
namespace {

// No document is larger (xdx refuses more).
constexpr qint64 kMostDocumentBytes = qint64(64) << 20;

} // namespace

void MainWindow::keepRecoveryCopies(const QString& recoveryFolder, const QString& draftsFolder)
{
    m_recovery = std::make_unique<RecoveryKeeper>(
        recoveryFolder, [this] { return record(); },
        [this](const QString& why) { m_interaction->notice(this, appmsg::recoveryFailed(why)); });
    m_recovery->setEnabled(!isOfficial());
    m_recovery->setDocument(m_document);
    m_recovery->tidy();
    m_drafts = std::make_unique<Drafts>(draftsFolder);
    (void)makeFolders(draftsFolder, Access::Private); // a place of its own in the open dialog
    m_drafts->adoptFolder(recoveryFolder + QStringLiteral("/set-aside"));
    m_drafts->removeExpired(QDateTime::currentDateTime());
}

void MainWindow::offerLostCopies(const QString& document)
{
    if (!m_recovery)
        return;
    const std::optional<FileIdentity> wanted = document.isEmpty() ? std::nullopt : fileIdentity(document);
    for (const RecoveryCopy& copy : m_recovery->lostCopies()) {
        if (!document.isEmpty() && (!wanted || fileIdentity(copy.document) != wanted))
            continue;
        const RecoveryOffer offer{shownPath(copy.document), copy.written,
                                  copy.documentChanged.value_or(QDateTime()), shownPath(m_drafts->folder())};
        switch (m_interaction->offerRecovery(this, offer)) {
        case RecoveryChoice::Restore:
            restoreCopy(copy);
            return; // one at a time: the others wait for the next start
        case RecoveryChoice::Later:
            break;
        case RecoveryChoice::Discard:
            discardCopy(copy);
            break;
        }
    }
}

// A lost copy moved into the drafts: written there first, and only then removed.
FileResult<QString> MainWindow::copyToDrafts(const RecoveryCopy& copy)
{
    const FileResult<QByteArray> bytes = readRegularFile(copy.path, kMostDocumentBytes);
    if (!bytes)
        return fileFailure(bytes.error());
    FileResult<QString> kept = m_drafts->keepBytes(*bytes, copy.document, copy.written);
    if (kept)
        if (const FileResult<void> gone = m_recovery->remove(copy); !gone)
            return fileFailure(gone.error());
    return kept;
}

// Given up, but not lost: into the drafts, no longer offered. What cannot be moved there stays
// a lost copy, offered again.
void MainWindow::discardCopy(const RecoveryCopy& copy)
{
    if (const FileResult<QString> kept = copyToDrafts(copy); !kept)
        m_interaction->notice(this, appmsg::recoveryNotDiscarded(kept.error().why()));
}

void MainWindow::restoreCopy(const RecoveryCopy& copy)
{
    const OpenedDocument opened = openDocument(copy.path, record());
    if (opened.status() != OpenStatus::Loaded) {
        // Reported, and kept where the applicant can find it: never deleted unseen.
        const FileResult<QString> kept = copyToDrafts(copy);
        showError(
            appmsg::recoveryUnreadable(opened.message().isEmpty() ? rejectedMessage() : opened.message(),
                                       shownPath(kept ? *kept : copy.path)));
        return;
    }
    // As opening fills the form, but the edits are not saved: the close question protects them.
    setRecord(opened.record);
    setOfficial(false);
    showErrorList(opened.errorList.value_or(QStringList()));
    m_saveFileName = copy.document;
    m_document = copy.document;
    m_recovery->setDocument(copy.document);
    m_modified = true;
    m_recovery->adopt(copy); // gone once this window's own copy holds it
    m_recovery->edited();
    m_recovery->flush();
}

bool MainWindow::keepDraft(bool sayItNow)
{
    if (!m_drafts)
        return false;
    const FileResult<QString> kept = m_drafts->keep(record(), m_document, QDateTime::currentDateTime());
    if (!kept)
        return false;
    const QString name = kept->mid(kept->lastIndexOf(u'/') + 1);
    if (sayItNow)
        m_interaction->notice(this, appmsg::draftKept(name, shownPath(m_drafts->folder())));
    else
        m_drafts->remember(*kept); // said at the next start: this window is going
    return true;
}

void MainWindow::keepReplacedFile(const QString& name)
{
    if (!m_drafts || pathKind(name) != PathKind::File)
        return;
    const std::optional<FileIdentity> target = fileIdentity(name);
    if (!m_document.isEmpty() && target == fileIdentity(m_document))
        return; // its own document: replacing it is what saving means
    const FileResult<QByteArray> bytes = readRegularFile(name, kMostDocumentBytes);
    if (!bytes)
        return; // what cannot be read, the save cannot replace either: it says why
    if (const FileResult<QString> kept = m_drafts->keepBytes(*bytes, name, QDateTime::currentDateTime()))
        m_interaction->notice(this,
                              appmsg::replacedKept(shownPath(name), kept->mid(kept->lastIndexOf(u'/') + 1),
                                                   shownPath(m_drafts->folder())));
}

QString MainWindow::homeOfDraft(const QString& draft) const
{
    // Where it belongs, or the user's documents: never the hidden folder of drafts.
    const QString original = m_drafts->originalOf(draft);
    const QString folderOfOriginal = original.left(std::max<qsizetype>(0, original.lastIndexOf(u'/')));
    if (!original.isEmpty() && pathKind(folderOfOriginal) == PathKind::Folder)
        return original;
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (pathKind(documents) != PathKind::Folder)
        documents = QDir::homePath();
    const QString name = original.isEmpty() ? draft : original;
    return documents + u'/' + name.mid(name.lastIndexOf(u'/') + 1);
}

} // namespace shenbao
