#pragma once

#include "app/form.h"
#include "record/applicationrecord.h"
#include "record/fields.h"

#include <QStringList>
#include <QWidget>
#include <array>
#include <memory>

class QLabel;
class QListWidget;
class QTabWidget;

namespace shenbao {

class Interaction;

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

    QString openDialogDirectory() const { return m_openDirectory; }

    QWidget* fieldControl(Field f) const { return m_fields[std::size_t(f)]; }
    QWidget* control(const QString& name) const;
    QTabWidget* pageControl() const { return m_pages; }

public slots:
    void helpinfoClick();
    void Label41Click();
    // Preview and print: the print command comes with the printed form.
    void printreportClick();

private:
    void buildControls();
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
    std::array<QWidget*, kFieldCount> m_fields{};

    bool m_modified = false;
    QString m_startupFileName;
    QString m_programDirectory;
    QString m_openDirectory;
};

} // namespace shenbao
