// The window's commands: check, save, open, close, help, print.
#include "app/mainwindow.h"

#include "app/controlas.h"
#include "app/interaction.h"
#include "app/messages.h"
#include "app/preview/previewpages.h"
#include "app/preview/reportpreview.h"
#include "app/preview/reportstatus.h"
#include "check/anonymity.h"
#include "check/verify.h"
#include "files/files.h"
#include "record/textrules.h"
#include "report/fillreport.h"
#include "session/session.h"
#include "xdx/xdxfile.h"

#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QStandardPaths>

namespace shenbao {
namespace {

// Runs a command; an error it does not handle itself ends it in the error box.
template <class Command> bool guarded(MainWindow* window, Interaction* interaction, Command command)
{
    try {
        command();
        return true;
    } catch (const std::exception& e) {
        interaction->errorBox(window, errorBoxText(QString::fromLocal8Bit(e.what())));
        return false;
    }
}

} // namespace

void MainWindow::verifydataClick()
{
    guarded(this, m_interaction, [this] { runCheck(); });
}

void MainWindow::verifylistClick()
{
    const QList<QListWidgetItem*> selected = m_errorList->selectedItems();
    if (selected.isEmpty())
        return;
    const QString entry = selected.first()->text();
    const int page = entryPage(entry);
    if (page >= 1 && page <= m_pages->count())
        m_pages->setCurrentIndex(page - 1);
    m_errorList->setToolTip(entry);
}

MainWindow::SaveOutcome MainWindow::saveDocument()
{
    SaveOutcome outcome = SaveOutcome::Failed;
    guarded(this, m_interaction, [this, &outcome] {
        const PreparedSave save = prepareSave(record());
        showErrorList(save.errorList);
        if (!save.record) {
            m_interaction->plainBox(this, save.record.error());
            outcome = SaveOutcome::Refused;
            return;
        }
        QString name =
            m_interaction->saveFileName(this, dialogRequest(appmsg::saveCaption(), m_saveFileName));
        if (name.isEmpty()) {
            outcome = SaveOutcome::Cancelled;
            return;
        }
        name = withDefaultSuffix(name, QStringLiteral("xdx"));
        m_saveFileName = name; // kept for the next save, also when this one fails
        keepReplacedFile(name);
        m_projectId->setText(save.record->projectId());
        const WriteResult written = saveXdxFile(name, *save.record, save.errorList);
        if (!written) {
            showError(written.error());
            outcome = SaveOutcome::Failed;
            return;
        }
        m_modified = false;
        m_document = name;
        if (m_recovery) {
            m_recovery->discard();
            m_recovery->setDocument(name);
        }
        outcome = SaveOutcome::Saved;
    });
    return outcome;
}

void MainWindow::savexmlfileClick()
{
    // Its button is disabled in official mode; saving there would store the official
    // document as an ordinary one.
    if (!isOfficial())
        saveDocument();
}

void MainWindow::openxmlfileClick()
{
    guarded(this, m_interaction, [this] {
        QString name = m_startupFileName;
        if (name.isEmpty()) {
            FileRequest request = dialogRequest(appmsg::openCaption(), m_openFileName);
            request.directory = m_openDirectory;
            name = m_interaction->openFileName(this, request);
            if (!name.isEmpty()) {
                name = withDefaultSuffix(name, request.defaultSuffix);
                m_openFileName = name;
            }
        }
        m_startupFileName.clear(); // also when the open fails: the next one asks with the dialog
        bool loaded = false;
        if (!name.isEmpty()) {
            const OpenedDocument opened = openDocument(name, record());
            switch (opened.status()) {
            case OpenStatus::Unreadable:
                // Nothing was taken from the document: fields, mode, error list, save name and
                // Modified stay as they were.
                showError(opened.message());
                return;
            case OpenStatus::Hollow:
                break;
            case OpenStatus::Rejected:
                m_interaction->informationBox(this, opened.message());
                break;
            case OpenStatus::Loaded:
                // Unsaved edits that the document replaces are kept as a draft (failing that,
                // as this window's recovery copy, offered at the next start).
                if (m_recovery && m_modified && !isOfficial()) {
                    if (keepDraft(true))
                        m_recovery->discard();
                    else
                        m_recovery->flush();
                }
                setRecord(opened.record);
                setOfficial(opened.official());
                loaded = true;
                break;
            }
            // The check of what was read, made below: the record holds each value as its
            // control shows it (a choice the list lacks as none), so both read the same.
            showErrorList(opened.errorList.value_or(QStringList()));
        }
        m_saveFileName = name;
        // Only a loaded document replaces the edits. After a cancelled dialog, a rejected document
        // or an empty root the fields still hold the user's unsaved edits, and the close question
        // must still offer to save them.
        if (loaded) {
            m_modified = false;
            m_document = name;
            if (m_drafts && m_drafts->holds(name))
                m_saveFileName = homeOfDraft(name); // saved where it belongs, not among the drafts
            if (m_recovery) {
                m_recovery->discard(); // the program's own writes are no edits
                m_recovery->setDocument(m_drafts->holds(name) ? m_saveFileName : name);
                if (m_recovery->heldElsewhere(name))
                    m_interaction->notice(this, appmsg::heldElsewhere());
                offerLostCopies(name);
            }
        }
    });
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    const auto* name = controlAs<QLineEdit>(fieldControl(Field::ProjectName));
    const auto* presider = controlAs<QLineEdit>(fieldControl(Field::Presider));
    if (isOfficial() || name->text().isEmpty() || presider->text().isEmpty() || !m_modified) {
        // Unsaved edits the question does not protect (no title or leader yet) stay a copy.
        if (m_recovery)
            m_modified ? m_recovery->flush() : m_recovery->discard();
        event->accept();
        return;
    }
    // Yes saves; whatever the save did the window closes, unless it failed with an error.
    const bool yes = m_interaction->questionBox(this, appmsg::saveBeforeClosing());
    if (yes && saveDocument() == SaveOutcome::Failed) {
        event->ignore();
        return;
    }
    // The applicant's own No gives the edits up, into the drafts (where they stay a recovery copy
    // when no draft can be written); a cancelled save keeps them for the next start.
    if (m_recovery) {
        if (!yes && keepDraft(false))
            m_recovery->discard();
        else
            m_recovery->flush();
    }
    event->accept();
}

// The printed form's name: the document's own, as a PDF beside it; for one never saved, its
// title in the user's documents.
QString MainWindow::reportFileName() const
{
    const QString document =
        m_drafts && !m_document.isEmpty() && m_drafts->holds(m_document) ? m_saveFileName : m_document;
    if (!document.isEmpty()) {
        const qsizetype slash = document.lastIndexOf(u'/'), dot = document.lastIndexOf(u'.');
        return (dot > slash + 1 ? document.left(dot) : document) + QStringLiteral(".pdf");
    }
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (pathKind(folder) != PathKind::Folder)
        folder = QDir::homePath();
    const QString title = record().value(Field::ProjectName).trimmed();
    return folder + u'/' + draftFileName(title, {}, QDateTime()).chopped(4) + QStringLiteral(".pdf");
}

QString MainWindow::helpDocument() const
{
    // Beside the program first; an installed program keeps its documents in the data directory.
    const QString candidates[] = {
        QDir::cleanPath(m_programDirectory + QStringLiteral("/help.doc")),
        QDir::cleanPath(m_programDirectory + QStringLiteral("/../share/shenbao/help.doc")),
    };
    for (const QString& path : candidates)
        if (pathKind(path) == PathKind::File) // a folder of that name is no help document
            return path;
    return {};
}

void MainWindow::helpinfoClick()
{
    const QString path = helpDocument();
    if (path.isEmpty()) {
        m_interaction->plainBox(this, appmsg::helpMissing());
        return;
    }
    // Help is never silent: where nothing opens the document, the program shows it itself.
    if (!m_interaction->openUrl(QUrl::fromLocalFile(path))) {
        m_interaction->notice(this, appmsg::helpNotOpened(shownPath(path)));
        m_interaction->showHelp(this);
    }
}

void MainWindow::Label41Click()
{
    (void)m_interaction->openUrl(QUrl(registrationSite())); // its answer is not reported
}

void MainWindow::printreportClick()
{
    guarded(this, m_interaction, [this] {
        ReportLayout layout;
        {
            ReportStatus status(appmsg::generatingSheet(), this);
            status.show();
            layout = layoutForm(record(), isOfficial(),
                                [&status](int sheet) { return status.sheetBegins(sheet); });
        }
        if (layout.tooLong) {
            m_interaction->errorBox(this, errorBoxText(tooManySheetsMessage()));
        } else if (!layout.cancelled) {
            ReportPreview preview(m_interaction, std::make_unique<SheetPages>(std::move(layout.sheets)),
                                  this);
            preview.setSaveName(reportFileName());
            // Read before printing, never in the way of it.
            if (const AnonymityFindings findings = findNamesInLooseLeaves(record()); findings.total)
                preview.setNotice(appmsg::anonymityPreview(findings));
            m_interaction->runModal(&preview);
        }
        // Back to the field being edited, whatever the window manager makes of the closed windows.
        if (isVisible())
            activateWindow();
    });
}

} // namespace shenbao
