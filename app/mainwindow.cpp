#include "app/mainwindow.h"

#include "app/anonymitylist.h"
#include "app/clicklabel.h"
#include "app/controlas.h"
#include "app/educodeedit.h"
#include "app/fieldlineedit.h"
#include "app/interaction.h"
#include "app/messages.h"
#include "app/pictureicon.h"
#include "check/anonymity.h"
#include "check/verify.h"
#include "files/files.h"
#include "report/fonts.h"
#include "report/sheetlayout.h"
#include "session/session.h"
#include "xdx/xdxfile.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QScrollArea>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

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

// The keys of the commands, which people expect of a desktop program: the flat buttons never
// take the focus, so a key is the keyboard's only way to them. A shortcut leaves the focus
// where it is, as a click on a flat button does.
struct CommandKeys
{
    const char16_t* button;
    QKeySequence::StandardKey standard;
    const char* keys; // others, separated by blanks
};
constexpr CommandKeys kCommandKeys[] = {
    {u"openxmlfile", QKeySequence::Open, nullptr},          {u"savexmlfile", QKeySequence::Save, nullptr},
    {u"printreport", QKeySequence::Print, nullptr},         {u"helpinfo", QKeySequence::HelpContents, "F1"},
    {u"verifydata", QKeySequence::UnknownKey, "F5 Ctrl+E"},
};

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

// The application outlives the window: its focus signal would otherwise reach the room counter
// while QWidget's destructor hides what is left of the window.
MainWindow::~MainWindow()
{
    qApp->removeEventFilter(this);
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
}

void MainWindow::buildControls()
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(programTitle());
    setWindowIcon(pictureIcon(u"shenbao"));
    setFont(formFontPixels(QStringLiteral("MS Sans Serif"), 11));
    QPalette p = palette();
    p.setColor(QPalette::Window, p.color(QPalette::Button));
    setPalette(p);

    // The pages and the panel in a scroll area that shows no bar where the screen holds the
    // window: where it cannot (1366 × 768 at 150 %), every control stays reachable. Below the
    // design height the pages scroll; narrower, the tables narrow as they always did.
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* scroller = new QScrollArea(this);
    scroller->setObjectName(QStringLiteral("MainScroller"));
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidgetResizable(true);
    scroller->setFocusPolicy(Qt::NoFocus);
    auto* content = new QWidget(scroller);
    content->setObjectName(QStringLiteral("MainContent"));
    content->setMinimumHeight(kClientHeight);
    scroller->setWidget(content);
    outer->addWidget(scroller);
    auto* layout = new QHBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_pages = new QTabWidget(content);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    m_pages->setUsesScrollButtons(false);
    m_pages->tabBar()->setExpanding(false);
    // Narrow tabs, so that the ten captions fit in one row. Only the tab bar has a style sheet
    // (a widget with one does not pass its font on) and it is given its font directly.
    m_pages->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 3px 5px; }"));
    m_pages->tabBar()->setFont(font());
    m_panel = new QWidget(content);
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
    m_builder.qualifyRepeatedNames();

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
    addCommandKeys();
    addRoomCounter();
    addAnonymityNotice();
    // The tab bar's own buttons (shown when the tabs do not fit) speak as everything else does.
    if (auto* left = m_pages->tabBar()->findChild<QToolButton*>(QStringLiteral("ScrollLeftButton")))
        left->setAccessibleName(appmsg::scrollTabsLeft());
    if (auto* right = m_pages->tabBar()->findChild<QToolButton*>(QStringLiteral("ScrollRightButton")))
        right->setAccessibleName(appmsg::scrollTabsRight());

    resize(kClientWidth, kClientHeight);
    m_pages->setCurrentIndex(0);
}

// A field that would take a command's key for itself (a line edit moves to the line's end on
// Ctrl+E) leaves it to the command: the keys work wherever the focus is.
bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride && watched->isWidgetType() &&
        isAncestorOf(static_cast<QWidget*>(watched))) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(key->keyCombination());
        if (m_commandKeys.contains(pressed)) {
            event->ignore();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::addCommandKeys()
{
    qApp->installEventFilter(this);
    for (const CommandKeys& c : kCommandKeys) {
        auto* button = controlAs<QAbstractButton>(control(QString::fromUtf16(c.button)));
        QList<QKeySequence> keys;
        if (c.standard != QKeySequence::UnknownKey)
            keys = QKeySequence::keyBindings(c.standard).mid(0, 1);
        if (c.keys)
            for (const QString& k : QString::fromLatin1(c.keys).split(u' '))
                if (!keys.contains(QKeySequence(k))) // two shortcuts of one key would cancel each other
                    keys.append(QKeySequence(k));
        QStringList shown;
        for (const QKeySequence& k : std::as_const(keys)) {
            m_commandKeys.append(k);
            auto* shortcut = new QShortcut(k, this);
            connect(shortcut, &QShortcut::activated, button, &QAbstractButton::click);
            shown.append(k.toString(QKeySequence::NativeText));
        }
        const QString hint = button->toolTip().isEmpty() ? button->accessibleName() : button->toolTip();
        button->setToolTip(appmsg::withKeys(hint, shown));
        button->setAccessibleDescription(appmsg::keysOf(shown));
    }
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
    if (m_recovery)
        m_recovery->edited();
}

void MainWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // The applicant turns to another program: what was typed is copied now.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && m_recovery)
        m_recovery->flush();
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
    // Once the window shows: what an earlier run lost is offered in a box of its own, and what
    // a window that closed kept is said.
    if (m_recovery)
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (const QStringList kept = m_drafts->takeRemembered(); !kept.isEmpty())
                    m_interaction->notice(this,
                                          appmsg::draftsKeptOnClose(kept, shownPath(m_drafts->folder())));
                offerLostCopies();
            },
            Qt::QueuedConnection);
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
    if (m_recovery)
        m_recovery->setEnabled(!official); // an official document is never copied
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
    if (m_drafts)
        request.places.append(m_drafts->folder());
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
    // Announced, for a screen reader: how many gaps the check found.
    m_errorList->setAccessibleDescription(appmsg::errorListSummary(entries.size()));
    QAccessibleEvent event(m_errorList, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
    showAnonymity(findNamesInLooseLeaves(record()));
}

} // namespace shenbao
