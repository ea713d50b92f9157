#include "app/widgets.h"

#include "app/interaction.h"
#include "record/textrules.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QProxyStyle>
#include <QTabWidget>
#include <QValidator>

namespace shenbao {

// ---------------------------------------------------------------------------------------------
// FieldLineEdit

// Sees every change the user makes before the box takes it. A change that would pass the byte
// limit keeps only what fits of the inserted text; a change of which nothing fits is refused.
class ByteLimitValidator : public QValidator
{
public:
    explicit ByteLimitValidator(FieldLineEdit* edit) : QValidator(edit), m_edit(edit) {}

    State validate(QString& input, int& pos) const override
    {
        const int limit = m_edit->m_byteLimit;
        if (m_edit->m_programWrite || limit <= 0 || gbkByteLength(input) <= limit)
            return Acceptable;
        const QString& old = m_edit->m_accepted;
        qsizetype prefix = 0;
        while (prefix < old.size() && prefix < input.size() && old[prefix] == input[prefix])
            ++prefix;
        if (prefix > 0 && input[prefix - 1].isHighSurrogate())
            --prefix;
        qsizetype suffix = 0;
        while (suffix < old.size() - prefix && suffix < input.size() - prefix &&
               old[old.size() - 1 - suffix] == input[input.size() - 1 - suffix])
            ++suffix;
        const QStringView inserted = QStringView(input).mid(prefix, input.size() - prefix - suffix);
        const int kept = gbkByteLength(input) - gbkByteLength(inserted);
        const QString fitted = fitGbkBytes(inserted, std::max(0, limit - kept));
        const QString result = input.left(prefix) + fitted + input.right(suffix);
        if (result == old)
            return Invalid;
        input = result;
        pos = int(prefix + fitted.size());
        return Acceptable;
    }

private:
    FieldLineEdit* m_edit;
};

FieldLineEdit::FieldLineEdit(QWidget* parent) : QLineEdit(parent)
{
    // Connected first, so that the validator always compares with the text as it stood.
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) { m_accepted = text; });
    setValidator(new ByteLimitValidator(this));
}

void FieldLineEdit::setCharacterFilter(const QString& allowed)
{
    m_allowed = allowed;
    const bool filtered = !allowed.isEmpty();
    setAcceptDrops(!filtered);
    // The empty context menu: nothing is offered, so nothing can be pasted from it.
    setContextMenuPolicy(filtered ? Qt::PreventContextMenu : Qt::DefaultContextMenu);
}

void FieldLineEdit::setValue(const QString& text)
{
    m_programWrite = true;
    setText(text);
    m_programWrite = false;
    // A text wider than the box shows its beginning, not its end.
    setCursorPosition(0);
}

bool FieldLineEdit::passes(QChar c) const
{
    return m_allowed.contains(c);
}

void FieldLineEdit::keyPressEvent(QKeyEvent* event)
{
    if (m_allowed.isEmpty()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const int key = event->key();
    // Keys that produce no character work as usual.
    const bool navigation = key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Home ||
                            key == Qt::Key_End || key == Qt::Key_Delete || key == Qt::Key_Up ||
                            key == Qt::Key_Down;
    if (key == Qt::Key_Backspace ||
        (navigation && !event->matches(QKeySequence::Paste) && !event->matches(QKeySequence::Cut))) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    // Control chords type control characters (Ctrl+V is 0x16): none of them passes, so the
    // clipboard shortcuts and undo do nothing here. Shift+Insert is closed the same way.
    const bool chord = event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
    const QString text = event->text();
    bool pass = !chord && !text.isEmpty() && !event->matches(QKeySequence::Paste);
    for (QChar c : text)
        pass = pass && passes(c);
    if (pass)
        QLineEdit::keyPressEvent(event);
    else if (text.isEmpty() && !chord && !event->matches(QKeySequence::Paste))
        QLineEdit::keyPressEvent(event); // modifiers alone, function keys
    else
        event->accept(); // dropped silently
}

void FieldLineEdit::inputMethodEvent(QInputMethodEvent* event)
{
    if (m_allowed.isEmpty() || event->commitString().isEmpty()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QString kept;
    for (QChar c : event->commitString())
        if (passes(c))
            kept += c;
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    filtered.setCommitString(kept, event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&filtered);
}

void FieldLineEdit::mouseReleaseEvent(QMouseEvent* event)
{
    // The X11 middle-click paste of the selection.
    if (!m_allowed.isEmpty() && event->button() == Qt::MiddleButton) {
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

// ---------------------------------------------------------------------------------------------
// LongTextEdit

LongTextEdit::LongTextEdit(QWidget* parent) : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
}

QString LongTextEdit::value() const
{
    return withCrLf(toPlainText());
}

void LongTextEdit::setValue(const QString& text)
{
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    plain.replace(u'\r', u'\n');
    // setPlainText() reports a change even when the text stays the same.
    if (plain != toPlainText())
        setPlainText(plain);
}

int LongTextEdit::roomFor() const
{
    const int used = gbkByteLength(toPlainText()) - gbkByteLength(textCursor().selectedText());
    return m_byteLimit - used;
}

void LongTextEdit::keyPressEvent(QKeyEvent* event)
{
    if (m_byteLimit > 0 && !isReadOnly()) {
        const int key = event->key();
        const bool lineBreak = key == Qt::Key_Return || key == Qt::Key_Enter;
        const QString text = event->text();
        const bool typed = !text.isEmpty() && text.at(0).isPrint() &&
                           !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier));
        if ((lineBreak && roomFor() < 2) || (typed && roomFor() < gbkByteLength(text))) {
            event->accept();
            return;
        }
    }
    QPlainTextEdit::keyPressEvent(event);
}

void LongTextEdit::inputMethodEvent(QInputMethodEvent* event)
{
    if (m_byteLimit <= 0 || event->commitString().isEmpty()) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent fitted(event->preeditString(), event->attributes());
    fitted.setCommitString(fitGbkBytes(event->commitString(), std::max(0, roomFor())),
                           event->replacementStart(), event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&fitted);
}

void LongTextEdit::insertFromMimeData(const QMimeData* source)
{
    if (m_byteLimit <= 0 || !source) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    const QString text = fitGbkBytes(source->text(), std::max(0, roomFor()));
    if (!text.isEmpty())
        insertPlainText(text);
}

// ---------------------------------------------------------------------------------------------
// EduCodeEdit

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
}

void EduCodeEdit::beep()
{
    if (m_interaction)
        m_interaction->beep();
}

void EduCodeEdit::commit(const QString& display, int cursor)
{
    if (display != text())
        setText(display);
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
    if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo)) {
        event->accept();
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
    // The standard edit actions, routed through the field's own rules.
    QMenu menu(this);
    const bool editable = !isReadOnly() && isEnabled();
    QAction* cut = menu.addAction(tr("Cu&t"), this, &EduCodeEdit::cutSelection);
    cut->setEnabled(editable && hasSelectedText());
    QAction* copy = menu.addAction(tr("&Copy"), this, &QLineEdit::copy);
    copy->setEnabled(hasSelectedText());
    QAction* paste =
        menu.addAction(tr("&Paste"), this, [this] { pasteText(QApplication::clipboard()->text()); });
    paste->setEnabled(editable && !QApplication::clipboard()->text().isEmpty());
    QAction* del = menu.addAction(tr("Delete"), this, &EduCodeEdit::deleteSelection);
    del->setEnabled(editable && hasSelectedText());
    menu.addSeparator();
    menu.addAction(tr("Select All"), this, &QLineEdit::selectAll);
    menu.exec(event->globalPos());
}

// ---------------------------------------------------------------------------------------------
// GridTable

GridTable::GridTable(int rows, const QStringList& headers, const QList<int>& widths, QWidget* parent)
    : QTableWidget(rows, int(headers.size()), parent)
{
    setItemDelegate(new GridDelegate(this));
    setEditTriggers(QAbstractItemView::AllEditTriggers);
    setTabKeyNavigation(false);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setShowGrid(true);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(24);
    verticalHeader()->setDefaultSectionSize(24);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    QHeaderView* header = horizontalHeader();
    // Left-aligned, so that the leading blanks of the header texts place them as designed.
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setHighlightSections(false);
    header->setSectionsClickable(false);
    header->setStretchLastSection(false);
    header->setFixedHeight(24);
    for (int c = 0; c < columnCount(); ++c) {
        setHorizontalHeaderItem(c, new QTableWidgetItem(headers.at(c)));
        setColumnWidth(c, widths.value(c, 64));
    }
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columnCount(); ++c)
            setItem(r, c, new QTableWidgetItem(QString()));
    setCurrentCell(0, 0, QItemSelectionModel::NoUpdate);
}

QString GridTable::cellText(int row, int column) const
{
    // The cell being typed in holds what the editor shows, although the editor hands it to the
    // item only when the cursor moves on: a save or print started from a flat button, which
    // leaves the focus in the cell, must see it.
    if (state() == QAbstractItemView::EditingState && currentRow() == row - 1 && currentColumn() == column)
        if (const auto* editor = qobject_cast<const QLineEdit*>(indexWidget(currentIndex())))
            return editor->text();
    const QTableWidgetItem* it = item(row - 1, column);
    return it ? it->text() : QString();
}

void GridTable::setCellText(int row, int column, const QString& text)
{
    if (QTableWidgetItem* it = item(row - 1, column))
        it->setText(text);
    // An editor open on the cell would write its old text back when it closes.
    if (state() == QAbstractItemView::EditingState && currentRow() == row - 1 && currentColumn() == column)
        if (QWidget* editor = indexWidget(currentIndex()); editor)
            itemDelegate()->setEditorData(editor, currentIndex());
}

void GridTable::leaveTable(bool forward)
{
    QWidget* next = this;
    for (;;) {
        next = forward ? next->nextInFocusChain() : next->previousInFocusChain();
        if (next == this || !next)
            return;
        if (isAncestorOf(next) || next->window() != window())
            continue;
        if (next->isVisible() && next->isEnabled() && (next->focusPolicy() & Qt::TabFocus) &&
            !next->focusProxy())
            break;
    }
    next->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

void GridTable::focusInEvent(QFocusEvent* event)
{
    QTableWidget::focusInEvent(event);
    if (currentIndex().isValid() && state() != QAbstractItemView::EditingState)
        edit(currentIndex());
}

void GridTable::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    const bool handedOver = previous.isValid() && state() == QAbstractItemView::EditingState;
    QTableWidget::currentChanged(current, previous);
    if (handedOver)
        emit cellHandedOver();
}

GridDelegate::GridDelegate(GridTable* table) : QStyledItemDelegate(table), m_table(table) {}

QWidget* GridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const
{
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        line->setFrame(false);
        connect(line, &QLineEdit::textEdited, m_table, &GridTable::cellHandedOver);
    }
    return editor;
}

bool GridDelegate::eventFilter(QObject* object, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            // Tab leaves the table instead of moving between cells; leaving commits the cell.
            if (auto* editor = qobject_cast<QWidget*>(object))
                emit commitData(editor);
            m_table->leaveTable(key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier));
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

// ---------------------------------------------------------------------------------------------
// listPopupStyle

namespace {

class ListPopupStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == QStyle::SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

QStyle* listPopupStyle()
{
    static QPointer<QProxyStyle> style;
    if (!style || style->baseStyle()->name() != QApplication::style()->name()) {
        style = new ListPopupStyle(QApplication::style()->name());
        style->setParent(qApp);
    }
    return style;
}

// ---------------------------------------------------------------------------------------------
// ClickLabel

void ClickLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

QIcon pictureIcon(QStringView name)
{
    return QIcon(QStringLiteral(":/icons/") + name.toString() + QStringLiteral(SHENBAO_PICTURE_SUFFIX));
}

} // namespace shenbao
