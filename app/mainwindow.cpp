#include "app/mainwindow.h"

#include "app/anonymitylist.h"
#include "app/clicklabel.h"
#include "app/controlas.h"
#include "app/educodeedit.h"
#include "app/fieldlineedit.h"
#include "app/interaction.h"
#include "app/longtextedit.h"
#include "app/messages.h"
#include "app/pictureicon.h"
#include "app/preview/previewpages.h"
#include "app/preview/reportpreview.h"
#include "app/preview/reportstatus.h"
#include "check/anonymity.h"
#include "check/verify.h"
#include "files/files.h"
#include "record/textrules.h"
#include "report/fillreport.h"
#include "report/fonts.h"
#include "report/sheetlayout.h"
#include "session/session.h"
#include "xdx/xdxfile.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
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
#include <QScrollArea>
#include <QShortcut>
#include <QStandardPaths>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTextCursor>
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
    {u"openxmlfile", QKeySequence::Open, nullptr},
    {u"savexmlfile", QKeySequence::Save, nullptr},
    {u"printreport", QKeySequence::Print, nullptr},
    {u"helpinfo", QKeySequence::HelpContents, "F1"},
    {u"verifydata", QKeySequence::UnknownKey, "F5 Ctrl+E"},
};

// No document is larger (xdx refuses more).
constexpr qint64 kMostDocumentBytes = qint64(64) << 20;

// The gap between the error list (which ends at 369) and the buttons (which start at 384).
constexpr QRect kAnonymityNoticeArea(8, 370, 154, 13);

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
    // Below the error list, in the gap above the buttons: the loose leaves naming their author.
    m_anonymity = new ClickLabel(m_panel);
    m_anonymity->setObjectName(QStringLiteral("AnonymityNotice"));
    m_anonymity->setGeometry(kAnonymityNoticeArea);
    m_anonymity->setToolTip(appmsg::anonymityTitle());
    QPalette warning = m_anonymity->palette();
    warning.setColor(QPalette::WindowText, QColor(0xC0, 0x40, 0x00));
    m_anonymity->setPalette(warning);
    m_anonymity->hide();
    m_anonymity->setKeyboardReachable(); // after the error list in the tab order; Enter opens the list
    QWidget::setTabOrder(m_errorList, m_anonymity);
    connect(m_anonymity, &ClickLabel::clicked, this, &MainWindow::showAnonymityList);
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

// The room a line edit's limit leaves, at the field itself (the long texts show theirs in the
// box): while the field has the focus, as one types, where the eye is on a small screen too.
void MainWindow::addRoomCounter()
{
    m_room = new QLabel(m_pages);
    m_room->setObjectName(QStringLiteral("RoomCounter"));
    m_room->setAccessibleName(appmsg::roomCounterName());
    m_room->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_room->setContentsMargins(4, 1, 4, 1);
    m_room->setAutoFillBackground(true);
    m_room->setFrameShape(QFrame::Box);
    m_room->setAttribute(Qt::WA_TransparentForMouseEvents); // never in the way of a click
    QPalette tip = m_room->palette(); // the look of a tooltip, which people know to read
    tip.setColor(QPalette::Window, tip.color(QPalette::ToolTipBase));
    tip.setColor(QPalette::WindowText, tip.color(QPalette::ToolTipText));
    m_room->setPalette(tip);
    m_room->hide();
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { showRoom(now, {}); });
    for (const FieldSpec& spec : fieldCatalogue()) {
        if (spec.kind != FieldKind::Text || spec.byteLimit <= 0)
            continue;
        auto* edit = controlAs<FieldLineEdit>(fieldControl(spec.field));
        connect(edit, &QLineEdit::textChanged, this, [this, edit] {
            if (edit->hasFocus())
                showRoom(edit, {});
        });
        connect(edit, &FieldLineEdit::cutAtLimit, this, [this, edit](const QString& notice) {
            if (edit->hasFocus())
                showRoom(edit, notice);
        });
    }
}

void MainWindow::showRoom(QWidget* focus, const QString& notice)
{
    auto* edit = qobject_cast<FieldLineEdit*>(focus);
    if (!edit || edit->byteLimit() <= 0 || edit->isReadOnly() || !edit->isEnabled() || edit->window() != this) {
        m_room->hide();
        return;
    }
    const QString room = notice.isEmpty() ? appmsg::room(gbkByteLength(edit->text()), edit->byteLimit(),
                                                         !edit->characterFilter().isEmpty())
                                          : notice;
    m_room->setText(room);
    placeRoom(edit);
    m_room->show();
    m_room->raise();
    // On a screen too small for the form the pages scroll: the room is brought into sight too.
    if (auto* scroller = findChild<QScrollArea*>(QStringLiteral("MainScroller")))
        scroller->ensureWidgetVisible(m_room, 0, 0);
    QAccessibleEvent event(m_room, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

// Just below the field, its left edge at the field's; above it when the page has no room below.
void MainWindow::placeRoom(QWidget* field)
{
    QWidget* page = field->parentWidget();
    if (m_room->parentWidget() != page) {
        m_room->setParent(page);
        m_room->setPalette(m_room->palette()); // kept across the move
    }
    m_room->adjustSize();
    const QRect at(field->mapTo(page, QPoint(0, 0)), field->size());
    QPoint to(at.left(), at.bottom() + 2);
    if (to.y() + m_room->height() > page->height())
        to.setY(at.top() - m_room->height() - 2);
    to.setX(std::clamp(to.x(), 0, std::max(0, page->width() - m_room->width())));
    m_room->move(to);
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
        showError(appmsg::recoveryUnreadable(opened.message().isEmpty() ? rejectedMessage() : opened.message(),
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
        m_interaction->notice(this, appmsg::replacedKept(shownPath(name),
                                                         kept->mid(kept->lastIndexOf(u'/') + 1),
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
                    m_interaction->notice(this, appmsg::draftsKeptOnClose(kept, shownPath(m_drafts->folder())));
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

void MainWindow::showAnonymity(const AnonymityFindings& findings)
{
    // Beside the list, never in it: the check's 48 rules and the stored list stay what they are.
    m_anonymityFindings = findings;
    m_anonymity->setText(findings.total ? appmsg::anonymityNotice(findings.total) : QString());
    m_anonymity->setAccessibleName(m_anonymity->text());
    m_anonymity->setVisible(findings.total > 0);
    if (m_anonymityList)
        m_anonymityList->setFindings(findings);
}

void MainWindow::showAnonymityList()
{
    if (!m_anonymityList) {
        m_anonymityList = new AnonymityList(this);
        connect(m_anonymityList, &AnonymityList::hitChosen, this, &MainWindow::showHit);
    }
    m_anonymityList->setFindings(m_anonymityFindings);
    m_anonymityList->show();
    m_anonymityList->raise();
}

void MainWindow::showHit(const AnonymityHit& hit)
{
    m_pages->setCurrentIndex(fieldSpec(hit.field).page - 1);
    QWidget* control = fieldControl(hit.field);
    control->setFocus(Qt::OtherFocusReason);
    if (auto* memo = qobject_cast<LongTextEdit*>(control)) {
        // The record's text breaks its lines with CR LF, the box with LF alone.
        const QString value = record().value(hit.field);
        const auto boxPosition = [&](qsizetype at) { return int(at - value.left(at).count(QStringLiteral("\r\n"))); };
        QTextCursor cursor = memo->textCursor();
        cursor.setPosition(boxPosition(hit.at));
        cursor.setPosition(boxPosition(hit.at + hit.length), QTextCursor::KeepAnchor);
        memo->setTextCursor(cursor);
        memo->ensureCursorVisible();
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->setSelection(int(hit.at), int(hit.length));
    }
    keepClear(m_anonymityList, selectedArea(control));
}

// Where the selection the list just made stands on the screen: its lines in a long text, the
// field otherwise.
QRect MainWindow::selectedArea(QWidget* control) const
{
    if (auto* memo = qobject_cast<LongTextEdit*>(control)) {
        QTextCursor from = memo->textCursor(), to = from;
        from.setPosition(memo->textCursor().selectionStart());
        to.setPosition(memo->textCursor().selectionEnd());
        const QRect a = memo->cursorRect(from), b = memo->cursorRect(to);
        QRect lines = a.united(b);
        lines.setLeft(0);
        lines.setRight(memo->viewport()->width());
        return QRect(memo->viewport()->mapToGlobal(lines.topLeft()), lines.size());
    }
    return QRect(control->mapToGlobal(QPoint(0, 0)), control->size());
}

// Moves a window of its own off area: beside it, else below or above it, on the same screen.
void MainWindow::keepClear(QWidget* dialog, const QRect& area)
{
    if (!dialog || !dialog->isVisible() || !dialog->frameGeometry().intersects(area))
        return;
    const QScreen* screen = dialog->screen() ? dialog->screen() : this->screen();
    const QRect room = screen ? screen->availableGeometry() : QRect(area.topLeft() - QPoint(2000, 2000), QSize(4000, 4000));
    const QSize size = dialog->frameGeometry().size();
    const QRect window = frameGeometry();
    const QPoint tries[] = {
        {window.right() + 8, area.top()},             // beside the window, at the selection
        {window.left() - 8 - size.width(), area.top()},
        {area.left(), area.bottom() + 8},             // below the selection
        {area.left(), area.top() - 8 - size.height()}, // above it
    };
    for (const QPoint& at : tries) {
        QRect placed(at, size);
        placed.moveLeft(std::clamp(placed.left(), room.left(), std::max(room.left(), room.right() - size.width())));
        placed.moveTop(std::clamp(placed.top(), room.top(), std::max(room.top(), room.bottom() - size.height())));
        if (!placed.intersects(area)) {
            dialog->move(placed.topLeft() + (dialog->pos() - dialog->frameGeometry().topLeft()));
            return;
        }
    }
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
        if (!save.record) {
            m_interaction->plainBox(this, save.record.error());
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
    const QString document = m_drafts && !m_document.isEmpty() && m_drafts->holds(m_document) ? m_saveFileName : m_document;
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
