#include "app/educodeedit.h"

#include "app/interaction.h"
#include "record/textrules.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QTabWidget>

namespace shenbao {

namespace {

bool isDigitPosition(int pos)
{
    return pos >= 0 && pos < EduCodeEdit::kDisplayDigits && !isEduCodeSeparator(pos);
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

EduCodeEdit::EduCodeEdit(QWidget* parent) : QLineEdit(parent)
{
    setAcceptDrops(false);
    setInputMethodHints(Qt::ImhDigitsOnly);
    setText(eduCodeDisplay(u""));
}

QString EduCodeEdit::incompleteMessage()
{
    return QStringLiteral("Invalid input value.  Use escape key to abandon changes");
}

QString EduCodeEdit::value() const
{
    return eduCodeValue(text());
}

void EduCodeEdit::setValue(const QString& value)
{
    setText(eduCodeDisplay(value));
    // The program's write starts a new history: undo never brings back another document's number.
    m_undo.clear();
    m_redo.clear();
}

bool EduCodeEdit::canUndo() const
{
    return !isReadOnly() && !m_undo.isEmpty();
}

bool EduCodeEdit::canRedo() const
{
    return !isReadOnly() && !m_redo.isEmpty();
}

void EduCodeEdit::undoEdit()
{
    if (!canUndo())
        return;
    m_redo.append(text());
    setText(m_undo.takeLast());
    setCursorPosition(0);
}

void EduCodeEdit::redoEdit()
{
    if (!canRedo())
        return;
    m_undo.append(text());
    setText(m_redo.takeLast());
    setCursorPosition(0);
}

void EduCodeEdit::beep()
{
    if (m_interaction)
        m_interaction->beep();
}

void EduCodeEdit::commit(const QString& display, int cursor)
{
    // The field's own editing replaces the text whole, which QLineEdit's history does not keep:
    // the field keeps its own, for Ctrl+Z and Ctrl+Y and the menu's 撤消 and 重做.
    if (display != text()) {
        m_undo.append(text());
        m_redo.clear();
        setText(display);
    }
    deselect();
    setCursorPosition(std::clamp(cursor, 0, int(display.size())));
}

void EduCodeEdit::emptyRange(QString& display, int from, int to) const
{
    for (int i = from; i < to && i < display.size(); ++i)
        if (isDigitPosition(i))
            display[i] = u'_';
}

void EduCodeEdit::typeCharacter(QChar c)
{
    QString display = text();
    int pos = cursorPosition();
    if (hasSelectedText()) {
        pos = selectionStart();
        if (selectionLength() > 1) {
            if (!isDigit(c)) {
                beep();
                return;
            }
            emptyRange(display, selectionStart(), selectionEnd());
        }
    }
    if (c == u'-' && isEduCodeSeparator(pos)) {
        commit(display, pos + 1);
        return;
    }
    if (!isDigit(c)) {
        beep();
        return;
    }
    while (pos < kDisplayDigits && isEduCodeSeparator(pos))
        ++pos;
    if (pos >= kDisplayDigits) {
        beep();
        return;
    }
    display[pos] = c;
    ++pos;
    while (pos < kDisplayDigits && isEduCodeSeparator(pos))
        ++pos;
    commit(display, pos);
}

void EduCodeEdit::deleteSelection()
{
    QString display = text();
    const int from = selectionStart();
    emptyRange(display, from, selectionEnd());
    commit(display, from);
}

void EduCodeEdit::backspace()
{
    if (hasSelectedText()) {
        deleteSelection();
        return;
    }
    QString display = text();
    int pos = cursorPosition() - 1;
    if (pos >= kDisplayDigits) { // characters a document put beyond the last group
        display.remove(pos, 1);
        commit(display, pos);
        return;
    }
    while (pos >= 0 && isEduCodeSeparator(pos))
        --pos;
    if (pos < 0)
        return;
    display[pos] = u'_';
    commit(display, pos);
}

void EduCodeEdit::deleteForward()
{
    if (hasSelectedText()) {
        deleteSelection();
        return;
    }
    QString display = text();
    const int cursor = cursorPosition();
    int pos = cursor;
    while (pos < kDisplayDigits && isEduCodeSeparator(pos))
        ++pos;
    if (pos >= kDisplayDigits) {
        if (pos < display.size())
            display.remove(pos, 1);
    } else {
        display[pos] = u'_';
    }
    commit(display, cursor);
}

void EduCodeEdit::pasteText(const QString& clip)
{
    QString display = text();
    int pos = cursorPosition();
    if (hasSelectedText()) {
        pos = selectionStart();
        emptyRange(display, selectionStart(), selectionEnd());
    }
    for (QChar c : clip) {
        if (pos >= kDisplayDigits)
            break; // text beyond the last position is ignored
        if (isEduCodeSeparator(pos)) {
            ++pos; // the separator: met by one in the text, or inserted
            if (c == u'-')
                continue;
        }
        display[pos] = isDigit(c) ? c : QChar(u'_');
        ++pos;
    }
    commit(display, pos);
}

void EduCodeEdit::cutSelection()
{
    if (!hasSelectedText())
        return;
    QApplication::clipboard()->setText(selectedText());
    deleteSelection();
}

int EduCodeEdit::firstIncomplete() const
{
    const QString display = text();
    for (int i = 0; i < kDisplayDigits; ++i)
        if (isDigitPosition(i) && (i >= display.size() || !isDigit(display[i])))
            return i;
    return -1;
}

bool EduCodeEdit::validate()
{
    const int pos = firstIncomplete();
    if (pos < 0)
        return true;
    beep();
    deselect();
    setCursorPosition(pos);
    if (m_interaction)
        m_interaction->errorBox(window(), errorBoxText(incompleteMessage()));
    return false;
}

void EduCodeEdit::keyPressEvent(QKeyEvent* event)
{
    if (isReadOnly()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        pasteText(QApplication::clipboard()->text());
        return;
    }
    if (event->matches(QKeySequence::Cut)) {
        cutSelection();
        return;
    }
    if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::SelectAll)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (event->matches(QKeySequence::Undo)) {
        undoEdit();
        return;
    }
    if (event->matches(QKeySequence::Redo)) {
        redoEdit();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Backspace:
        backspace();
        return;
    case Qt::Key_Delete:
        deleteForward();
        return;
    case Qt::Key_Escape:
        if (text() != m_remembered) {
            commit(m_remembered, 0);
            selectAll();
        } else {
            event->ignore();
        }
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        validate();
        return;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
        QLineEdit::keyPressEvent(event);
        return;
    default:
        break;
    }
    const QString typed = event->text();
    if (!typed.isEmpty() && typed.at(0).isPrint() &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))) {
        for (QChar c : typed)
            typeCharacter(c);
        return;
    }
    event->ignore(); // other chords are shortcuts of the window, not edits of the field
}

void EduCodeEdit::inputMethodEvent(QInputMethodEvent* event)
{
    for (QChar c : event->commitString())
        typeCharacter(c);
    event->accept();
}

void EduCodeEdit::focusInEvent(QFocusEvent* event)
{
    // Entering the field remembers its text for Esc. Focus coming back from a box, a dialog or a
    // menu, or brought back by the check itself, is not entering it; but the first focus the
    // field ever gets, whatever brings it, is.
    const Qt::FocusReason reason = event->reason();
    const bool comingBack = reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
    if (!m_returning && (!comingBack || !m_entered))
        m_remembered = text();
    m_entered = true;
    QLineEdit::focusInEvent(event);
}

void EduCodeEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (isReadOnly() || m_returning)
        return;
    // Only leaving for another control checks: not the window losing activation, nor a popup.
    const Qt::FocusReason reason = event->reason();
    const bool toAnotherControl = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                                  reason == Qt::MouseFocusReason || reason == Qt::ShortcutFocusReason ||
                                  reason == Qt::OtherFocusReason;
    if (toAnotherControl)
        m_entered = false;
    if (toAnotherControl && text() != m_remembered && firstIncomplete() >= 0)
        // The box must not open in the middle of the focus change: do it once that is done.
        QMetaObject::invokeMethod(this, &EduCodeEdit::returnAfterLeaving, Qt::QueuedConnection);
}

void EduCodeEdit::returnAfterLeaving()
{
    if (hasFocus())
        return;
    m_returning = true;
    // The focus may have left with the page the field stands on (a click on another tab): that
    // page is shown again, which may bring the focus back by itself.
    for (QWidget* w = this; w->parentWidget(); w = w->parentWidget())
        if (auto* tabs = qobject_cast<QTabWidget*>(w->parentWidget()->parentWidget());
            tabs && tabs->indexOf(w) >= 0)
            tabs->setCurrentWidget(w);
    if (isVisible() && isEnabled() && !hasFocus())
        setFocus(Qt::OtherFocusReason);
    m_returning = false;
    if (hasFocus())
        validate();
}

void EduCodeEdit::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::MiddleButton) {
        event->accept(); // the selection paste would bypass the typing rules
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void EduCodeEdit::contextMenuEvent(QContextMenuEvent* event)
{
    // The standard edit menu, in Qt's own words (the translated texts of every other field's
    // menu) and with its shortcuts, routed through the field's own rules.
    const auto words = [](const char* text, QKeySequence::StandardKey key) {
        QString label = QCoreApplication::translate("QLineEdit", text);
        if (key != QKeySequence::UnknownKey)
            label += u'\t' + QKeySequence(key).toString(QKeySequence::NativeText);
        return label;
    };
    QMenu menu(this);
    const bool editable = !isReadOnly() && isEnabled();
    menu.addAction(words("&Undo", QKeySequence::Undo), this, &EduCodeEdit::undoEdit)->setEnabled(canUndo());
    menu.addAction(words("&Redo", QKeySequence::Redo), this, &EduCodeEdit::redoEdit)->setEnabled(canRedo());
    menu.addSeparator();
    menu.addAction(words("Cu&t", QKeySequence::Cut), this, &EduCodeEdit::cutSelection)
        ->setEnabled(editable && hasSelectedText());
    menu.addAction(words("&Copy", QKeySequence::Copy), this, &QLineEdit::copy)->setEnabled(hasSelectedText());
    menu.addAction(words("&Paste", QKeySequence::Paste), this,
                   [this] { pasteText(QApplication::clipboard()->text()); })
        ->setEnabled(editable && !QApplication::clipboard()->text().isEmpty());
    menu.addAction(words("Delete", QKeySequence::UnknownKey), this, &EduCodeEdit::deleteSelection)
        ->setEnabled(editable && hasSelectedText());
    menu.addSeparator();
    menu.addAction(words("Select All", QKeySequence::SelectAll), this, &QLineEdit::selectAll)
        ->setEnabled(!text().isEmpty());
    menu.exec(event->globalPos());
}

} // namespace shenbao
