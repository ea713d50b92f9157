// The window's assistants: the room left in a field, the names in the loose leaves.
#include "app/mainwindow.h"

#include "app/anonymitylist.h"
#include "app/clicklabel.h"
#include "app/controlas.h"
#include "app/fieldlineedit.h"
#include "app/longtextedit.h"
#include "app/messages.h"
#include "check/anonymity.h"
#include "record/textrules.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QScrollArea>
#include <QTabWidget>
#include <QTextCursor>

namespace shenbao {
namespace {

// The gap between the error list (which ends at 369) and the buttons (which start at 384).
constexpr QRect kAnonymityNoticeArea(8, 370, 154, 13);

} // namespace

// Below the error list, in the gap above the buttons: the loose leaves naming their author.
void MainWindow::addAnonymityNotice()
{
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
    if (!edit || edit->byteLimit() <= 0 || edit->isReadOnly() || !edit->isEnabled() ||
        edit->window() != this) {
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
        const auto boxPosition = [&](qsizetype at) {
            return int(at - value.left(at).count(QStringLiteral("\r\n")));
        };
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
    const QRect room =
        screen ? screen->availableGeometry() : QRect(area.topLeft() - QPoint(2000, 2000), QSize(4000, 4000));
    const QSize size = dialog->frameGeometry().size();
    const QRect window = frameGeometry();
    const QPoint tries[] = {
        {window.right() + 8, area.top()}, // beside the window, at the selection
        {window.left() - 8 - size.width(), area.top()},
        {area.left(), area.bottom() + 8},              // below the selection
        {area.left(), area.top() - 8 - size.height()}, // above it
    };
    for (const QPoint& at : tries) {
        QRect placed(at, size);
        placed.moveLeft(
            std::clamp(placed.left(), room.left(), std::max(room.left(), room.right() - size.width())));
        placed.moveTop(
            std::clamp(placed.top(), room.top(), std::max(room.top(), room.bottom() - size.height())));
        if (!placed.intersects(area)) {
            dialog->move(placed.topLeft() + (dialog->pos() - dialog->frameGeometry().topLeft()));
            return;
        }
    }
}

} // namespace shenbao
