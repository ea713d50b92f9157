#include "app/mainwindow.h"

#include "app/interaction.h"
#include "app/messages.h"
#include "app/preview/previewpages.h"
#include "app/preview/reportpreview.h"
#include "app/preview/reportstatus.h"
#include "app/clicklabel.h"
#include "app/controlas.h"
#include "app/educodeedit.h"
#include "app/fieldlineedit.h"
#include "app/pictureicon.h"
#include "check/verify.h"
#include "report/fillreport.h"
#include "report/fonts.h"
#include "report/sheetlayout.h"
#include "session/session.h"
#include "xdx/xdxfile.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>

namespace shenbao {
namespace {

// The two fields whose typing is filtered character by character; their hints promise that
// nothing can be pasted, so every paste route is closed as well.
struct KeyFilter
{
    Field field;
    const char16_t* allowed;
    bool inputMethod;
};
constexpr KeyFilter kKeyFilters[] = {
    {Field::ApplyOutlay, u"0123456789.", false},
    {Field::IDcard, u"0123456789Xx", true},
};

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

MainWindow::MainWindow(Interaction* interaction, QWidget* parent)
    : QWidget(parent), m_interaction(interaction), m_anchors(new AnchorKeeper(this)), m_builder(m_anchors)
{
    if (!m_interaction) {
        m_ownInteraction = std::make_unique<DesktopInteraction>();
        m_interaction = m_ownInteraction.get();
    }
    m_programDirectory = QCoreApplication::applicationDirPath();
    buildControls();
    connectFields();
    setRecord(ApplicationRecord());
    m_modified = false;
}

MainWindow::~MainWindow() = default;

void MainWindow::buildControls()
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(programTitle());
    setWindowIcon(pictureIcon(u"shenbao"));
    setFont(formFontPixels(QStringLiteral("MS Sans Serif"), 11));
    QPalette p = palette();
    p.setColor(QPalette::Window, p.color(QPalette::Button));
    setPalette(p);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    m_pages->setUsesScrollButtons(false);
    m_pages->tabBar()->setExpanding(false);
    // Narrow tabs, so that the ten captions fit in one row. Only the tab bar has a style sheet
    // (a widget with one does not pass its font on) and it is given its font directly.
    m_pages->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 3px 5px; }"));
    m_pages->tabBar()->setFont(font());
    m_panel = new QWidget(this);
    m_panel->setFixedWidth(kPanelWidth);
    layout->addWidget(m_pages, 1);
    layout->addWidget(m_panel, 0);

    QList<QWidget*> tabChain =
        m_builder.build(m_panel, QSize(kPanelWidth, kClientHeight), commandPanelLayout());
    tabChain.append(m_pages); // its tabs, through the focus proxy
    const QColor tabColour = colourValue(Colour::Navy);
    for (const PageSpec& spec : pageLayouts()) {
        auto* page = new QWidget(m_pages); // a parent now, so that sizes are measured in the window's font
        page->resize(kPageWidth, kPageHeight);
        tabChain += m_builder.build(page, QSize(kPageWidth, kPageHeight), spec);
        const int index = m_pages->addTab(page, QString::fromUtf16(spec.caption));
        m_pages->tabBar()->setTabTextColor(index, tabColour);
    }
    for (qsizetype i = 1; i < tabChain.size(); ++i)
        QWidget::setTabOrder(tabChain[i - 1], tabChain[i]);

    for (const FieldSpec& spec : fieldCatalogue())
        if (!m_builder.binding(spec.field))
            qFatal("The layout has no control for %s", qPrintable(fieldName(spec.field)));
    m_errorList = qobject_cast<QListWidget*>(control(QStringLiteral("verifylist")));
    m_projectId = qobject_cast<QLabel*>(control(QStringLiteral("ProjectID")));

    for (const KeyFilter& filter : kKeyFilters) {
        auto* edit = controlAs<FieldLineEdit>(fieldControl(filter.field));
        edit->setCharacterFilter(QString::fromUtf16(filter.allowed));
        if (!filter.inputMethod)
            edit->setAttribute(Qt::WA_InputMethodEnabled, false);
    }
    controlAs<EduCodeEdit>(fieldControl(Field::EduCode))->setInteraction(m_interaction);

    resize(kClientWidth, kClientHeight);
    m_pages->setCurrentIndex(0);
}

QWidget* MainWindow::control(const QString& name) const
{
    return m_builder.controls().value(name);
}

void MainWindow::connectFields()
{
    for (const FieldSpec& spec : fieldCatalogue())
        m_builder.binding(spec.field)->onEdited(this, [this] { markModified(); });
    // The copies on page 2 follow every change, typed or written, after Modified is set.
    auto* presider = controlAs<QLineEdit>(fieldControl(Field::Presider));
    auto* presider1 = controlAs<FieldLineEdit>(control(QStringLiteral("Presider1")));
    connect(presider, &QLineEdit::textChanged, presider1, &FieldLineEdit::setValue);
    auto* eduCode = controlAs<EduCodeEdit>(fieldControl(Field::EduCode));
    auto* eduCode1 = controlAs<EduCodeEdit>(control(QStringLiteral("EduCode1")));
    connect(eduCode, &QLineEdit::textChanged, eduCode1,
            [eduCode, eduCode1] { eduCode1->setValue(eduCode->value()); });

    const auto button = [this](const char16_t* name) {
        return controlAs<QAbstractButton>(control(QString::fromUtf16(name)));
    };
    connect(button(u"verifydata"), &QAbstractButton::clicked, this, &MainWindow::verifydataClick);
    connect(button(u"openxmlfile"), &QAbstractButton::clicked, this, &MainWindow::openxmlfileClick);
    connect(button(u"savexmlfile"), &QAbstractButton::clicked, this, &MainWindow::savexmlfileClick);
    // Every selection the user makes, by mouse or keyboard, and a click on the entry already
    // selected, which brings its page back after the user has moved on.
    connect(m_errorList, &QListWidget::itemSelectionChanged, this, &MainWindow::verifylistClick);
    connect(m_errorList, &QListWidget::itemClicked, this, &MainWindow::verifylistClick);
    connect(button(u"helpinfo"), &QAbstractButton::clicked, this, &MainWindow::helpinfoClick);
    connect(button(u"printreport"), &QAbstractButton::clicked, this, &MainWindow::printreportClick);
    connect(controlAs<ClickLabel>(control(QStringLiteral("Label41"))), &ClickLabel::clicked, this,
            &MainWindow::Label41Click);
}

void MainWindow::markModified()
{
    m_modified = true;
}

void MainWindow::start(const QStringList& arguments)
{
    m_modified = false;
    m_openDirectory = m_programDirectory;
    m_startupFileName = arguments.join(u' ');
    // Before the window is shown: a large document is loaded before anything is visible.
    if (!m_startupFileName.isEmpty())
        openxmlfileClick();
    m_pages->setCurrentIndex(0);
}

ApplicationRecord MainWindow::record() const
{
    ApplicationRecord r = ApplicationRecord::empty();
    for (const FieldSpec& spec : fieldCatalogue())
        m_builder.binding(spec.field)->read(r);
    r.setProjectId(m_projectId->text());
    return r;
}

void MainWindow::setRecord(const ApplicationRecord& r)
{
    m_projectId->setText(r.projectId());
    for (const FieldSpec& spec : fieldCatalogue())
        m_builder.binding(spec.field)->write(r);
}

bool MainWindow::isOfficial() const
{
    return !control(QStringLiteral("passby"))->isHidden();
}

void MainWindow::setOfficial(bool official)
{
    control(QStringLiteral("passby"))->setVisible(official);
    control(QStringLiteral("savexmlfile"))->setEnabled(!official);
    // Every field but EduCode, which stays editable; the disabled controls still show their values.
    for (const FieldSpec& spec : fieldCatalogue())
        if (spec.field != Field::EduCode)
            fieldControl(spec.field)->setEnabled(!official);
}

QStringList MainWindow::errorList() const
{
    QStringList entries;
    for (int i = 0; i < m_errorList->count(); ++i)
        entries.append(m_errorList->item(i)->text());
    return entries;
}

void MainWindow::showError(const QString& message)
{
    m_interaction->errorBox(this, errorBoxText(message));
}

FileRequest MainWindow::dialogRequest(const QString& title, const QString& fileName) const
{
    FileRequest request;
    request.title = title;
    request.fileName = fileName;
    request.filterName = appmsg::documentFilter();
    request.filterPattern = QStringLiteral("*.xdx");
    request.defaultSuffix = QStringLiteral("xdx");
    return request;
}

void MainWindow::runCheck()
{
    showErrorList(verify(record()));
}

void MainWindow::showErrorList(const QStringList& entries)
{
    // Only the list changes: no page switch, no selection, the focus stays where it is.
    const QSignalBlocker blocker(m_errorList);
    m_errorList->clear();
    m_errorList->addItems(entries);
}

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
        if (!save.refusal.isEmpty()) {
            m_interaction->plainBox(this, save.refusal);
            outcome = SaveOutcome::Refused;
            return;
        }
        QString name = m_interaction->saveFileName(
            this, dialogRequest(appmsg::saveCaption(), m_saveFileName));
        if (name.isEmpty()) {
            outcome = SaveOutcome::Cancelled;
            return;
        }
        name = withDefaultSuffix(name, QStringLiteral("xdx"));
        m_saveFileName = name; // kept for the next save, also when this one fails
        m_projectId->setText(save.record.projectId());
        const WriteResult written = saveXdxFile(name, save.record, save.errorList);
        if (!written.ok) {
            showError(written.error);
            outcome = SaveOutcome::Failed;
            return;
        }
        m_modified = false;
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
            switch (opened.status) {
            case OpenResult::Status::Failed:
                // Nothing was taken from the document: fields, mode, error list, save name and
                // Modified stay as they were.
                showError(opened.message);
                return;
            case OpenResult::Status::NoChildren:
                break;
            case OpenResult::Status::Rejected:
                m_interaction->informationBox(this, opened.message);
                break;
            case OpenResult::Status::Loaded:
                setRecord(opened.record);
                setOfficial(opened.official);
                loaded = true;
                break;
            }
            // The check of what was read, made below: the record holds each value as its
            // control shows it (a choice the list lacks as none), so both read the same.
            showErrorList(opened.errorList);
        }
        m_saveFileName = name;
        // Only a loaded document replaces the edits. After a cancelled dialog, a rejected document
        // or an empty root the fields still hold the user's unsaved edits, and the close question
        // must still offer to save them.
        if (loaded)
            m_modified = false;
    });
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    const auto* name = controlAs<QLineEdit>(fieldControl(Field::ProjectName));
    const auto* presider = controlAs<QLineEdit>(fieldControl(Field::Presider));
    if (isOfficial() || name->text().isEmpty() || presider->text().isEmpty() || !m_modified) {
        event->accept();
        return;
    }
    // Yes saves; whatever the save did the window closes, unless it failed with an error.
    if (m_interaction->questionBox(this, appmsg::saveBeforeClosing()) && saveDocument() == SaveOutcome::Failed) {
        event->ignore();
        return;
    }
    event->accept();
}

QString MainWindow::helpDocument() const
{
    // Beside the program first; an installed program keeps its documents in the data directory.
    const QString candidates[] = {
        QDir::cleanPath(m_programDirectory + QStringLiteral("/help.doc")),
        QDir::cleanPath(m_programDirectory + QStringLiteral("/../share/shenbao/help.doc")),
    };
    for (const QString& path : candidates)
        if (QFileInfo(path).isFile()) // a folder of that name is no help document
            return path;
    return {};
}

void MainWindow::helpinfoClick()
{
    const QString path = helpDocument();
    if (!path.isEmpty())
        m_interaction->openUrl(QUrl::fromLocalFile(path));
    else
        m_interaction->plainBox(this, appmsg::helpMissing());
}

void MainWindow::Label41Click()
{
    m_interaction->openUrl(QUrl(registrationSite()));
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
            m_interaction->runModal(&preview);
        }
        // Back to the field being edited, whatever the window manager makes of the closed windows.
        if (isVisible())
            activateWindow();
    });
}

} // namespace shenbao
