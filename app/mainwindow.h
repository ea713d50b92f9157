#pragma once

#include "app/form.h"
#include "app/interaction.h"
#include "check/anonymity.h"
#include "record/applicationrecord.h"
#include "record/fields.h"
#include "session/drafts.h"
#include "session/recovery.h"

#include <QStringList>
#include <QWidget>
#include <array>
#include <memory>

class QLabel;
class QListWidget;
class QTabWidget;

namespace shenbao {

class AnonymityList;
class ClickLabel;

// The program's one window: ten pages holding the fields of one application, the command panel
// with the error list, and the state the commands share (Modified, StartupFileName, the
// dialogs' file names). The controls are the application's only holder; record() and
// setRecord() convert to and from ApplicationRecord for the core.
class MainWindow : public QWidget
{
    Q_OBJECT

public:
    // interaction answers every dialog and box; nullptr uses the real ones.
    explicit MainWindow(Interaction* interaction = nullptr, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The start-up steps that follow the window's creation, before it is shown: Modified
    // cleared, the open dialog pointed at the program's directory, and the arguments after
    // the program name joined with single blanks into StartupFileName.
    void start(const QStringList& arguments);

    // Reads every control into a record.
    ApplicationRecord record() const;
    // Writes a record into the controls by each kind's write rule: a choice write does not set
    // Modified, the copies on page 2 follow, nothing is limited.
    void setRecord(const ApplicationRecord& record);

    bool isModified() const { return m_modified; }
    QString startupFileName() const { return m_startupFileName; }

    // The directory that holds the program: where help.doc is looked for and where the open
    // dialog starts. Settable for tests.
    QString programDirectory() const { return m_programDirectory; }
    void setProgramDirectory(const QString& directory) { m_programDirectory = directory; }

    // The help document: help.doc beside the program, else in the installed data directory
    // <program dir>/../share/shenbao; empty when neither exists.
    QString helpDocument() const;

    // Keeps a recovery copy of unsaved edits in recoveryFolder and what the applicant gives up
    // in draftsFolder (both in the user's data folder), and offers the copies of earlier runs
    // that were lost; off unless called (tests choose their own folders). What earlier windows
    // left behind is tidied, and drafts past their time removed.
    void keepRecoveryCopies(const QString& recoveryFolder, const QString& draftsFolder);
    RecoveryKeeper* recovery() const { return m_recovery.get(); }
    const Drafts* drafts() const { return m_drafts.get(); }
    // Offers the lost recovery copies, all of them or those of one document, one box each until
    // one is restored.
    void offerLostCopies(const QString& document = {});

    QString openDialogDirectory() const { return m_openDirectory; }
    // The names the dialogs propose; kept from one command to the next.
    QString openDialogFileName() const { return m_openFileName; }
    QString saveDialogFileName() const { return m_saveFileName; }

    // Official mode: the notice passby is visible, saving and the 48 field controls disabled.
    bool isOfficial() const;
    // The entries of the error list, in order.
    QStringList errorList() const;

    QWidget* fieldControl(Field f) const { return m_builder.binding(f)->control(); }
    QWidget* control(const QString& name) const;
    QTabWidget* pageControl() const { return m_pages; }

    // How a save ended; only Failed (an error shown in the error box) keeps the window open
    // when the save was asked for on closing.
    enum class SaveOutcome { Saved, Refused, Cancelled, Failed };
    SaveOutcome saveDocument();

public slots:
    // "检 查": the error list rebuilt from the fields as they stand.
    void verifydataClick();
    // An entry selected: its page shown, its text the list's tooltip.
    void verifylistClick();
    // "保 存"
    void savexmlfileClick();
    // "打 开", and the start-up open of the file named on the command line.
    void openxmlfileClick();
    void helpinfoClick();
    void Label41Click();
    // "预览\打印": the printed form filled from the fields as they stand, marked official when
    // passby shows, generated under the status window and shown in the preview. No check runs;
    // the fields, the error list and Modified stay as they are.
    void printreportClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void runCheck(); // the check inside a command: an error ends that command
    void showErrorList(const QStringList& entries);
    void setOfficial(bool official);
    void showError(const QString& message);
    FileRequest dialogRequest(const QString& title, const QString& fileName) const;
    void buildControls();
    void addCommandKeys();
    void addRoomCounter();
    void addAnonymityNotice();
    void showAnonymity(const AnonymityFindings& findings);
    void showAnonymityList();
    void showHit(const AnonymityHit& hit);
    QRect selectedArea(QWidget* control) const;
    void keepClear(QWidget* dialog, const QRect& area);
    void restoreCopy(const RecoveryCopy& copy);
    void discardCopy(const RecoveryCopy& copy);
    FileResult<QString> copyToDrafts(const RecoveryCopy& copy);
    // The form's unsaved edits kept as a draft; false when they could not be.
    bool keepDraft(bool sayItNow);
    // Before a save replaces name: its content kept as a draft when it is not this window's own
    // document.
    void keepReplacedFile(const QString& name);
    // What the save dialog proposes for a document opened from the drafts: where it belongs.
    QString homeOfDraft(const QString& draft) const;
    QString reportFileName() const;
    void showRoom(QWidget* focus, const QString& notice);
    void placeRoom(QWidget* field);
    void connectFields();
    void markModified();

    Interaction* m_interaction;
    std::unique_ptr<Interaction> m_ownInteraction;
    AnchorKeeper* m_anchors;
    FormBuilder m_builder;
    QTabWidget* m_pages = nullptr;
    QWidget* m_panel = nullptr;
    QListWidget* m_errorList = nullptr;
    QLabel* m_projectId = nullptr;
    QLabel* m_room = nullptr;          // the room a focused line edit's limit leaves
    ClickLabel* m_anonymity = nullptr; // the loose leaves naming their author, below the list
    AnonymityList* m_anonymityList = nullptr;
    AnonymityFindings m_anonymityFindings;
    std::unique_ptr<RecoveryKeeper> m_recovery;
    std::unique_ptr<Drafts> m_drafts;
    QString m_document; // the document this window opened or last saved, or empty

    QList<QKeySequence> m_commandKeys;
    bool m_modified = false;
    QString m_startupFileName;
    QString m_programDirectory;
    QString m_openDirectory;
    QString m_openFileName;
    QString m_saveFileName;
};

} // namespace shenbao
