#pragma once

#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableWidget>

namespace shenbao {

class Interaction;

// A control from the layout tables as the class the code needs. Another class is a fault of the
// tables: it stops the program with the control's name instead of becoming a bad cast.
template <class T> T* controlAs(QWidget* control)
{
    auto* t = qobject_cast<T*>(control);
    if (!t)
        qFatal("The control %s is not a %s", control ? qPrintable(control->objectName()) : "(none)",
               T::staticMetaObject.className());
    return t;
}

// A single-line field. The GBK byte limit binds what the user types, pastes or drops (a paste
// inserts what fits, whole characters); setValue(), the program's own write, is never limited.
// An optional character filter drops every typed character outside its set and closes the
// other paste routes.
class FieldLineEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit FieldLineEdit(QWidget* parent = nullptr);

    void setByteLimit(int bytes) { m_byteLimit = bytes; }
    int byteLimit() const { return m_byteLimit; }
    // Only these characters (and backspace) may be typed; clipboard shortcuts, Shift+Insert,
    // middle-click paste, drops and the context menu are blocked too.
    void setCharacterFilter(const QString& allowed);
    QString characterFilter() const { return m_allowed; }

    void setValue(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    friend class ByteLimitValidator;
    bool passes(QChar c) const;

    int m_byteLimit = 0;
    QString m_allowed;
    QString m_accepted; // the text before the change the validator is looking at
    bool m_programWrite = false;
};

// A long-text field: word wrap, vertical scroll bar, Tab moves on. The byte limit binds typing,
// pasting and dropping, a line break counting 2 bytes; setValue() is never limited.
class LongTextEdit : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit LongTextEdit(QWidget* parent = nullptr);

    void setByteLimit(int bytes) { m_byteLimit = bytes; }
    int byteLimit() const { return m_byteLimit; }

    // The text with CR LF line breaks, and back.
    QString value() const;
    void setValue(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    int roomFor() const; // bytes left once the selection is replaced

    int m_byteLimit = 0;
};

// The education electronic-ID number: ten digit positions shown as "000-000-0000". The field
// overwrites, keeps its separators in place and checks completeness on Enter and on leaving.
class EduCodeEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit EduCodeEdit(QWidget* parent = nullptr);

    void setInteraction(Interaction* interaction) { m_interaction = interaction; }

    QString value() const; // the digits without separators, see eduCodeValue()
    void setValue(const QString& value);

    // The positions of the display that hold digits.
    static constexpr int kDisplayDigits = 12; // ten digits and two separators
    static QString incompleteMessage();       // "Invalid input value.  Use escape key to abandon changes"

    void cutSelection();
    void pasteText(const QString& text);
    void deleteSelection();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void typeCharacter(QChar c);
    void backspace();
    void deleteForward();
    void commit(const QString& display, int cursor);
    void emptyRange(QString& display, int from, int to) const;
    int firstIncomplete() const; // display position of the first empty or blank digit, or -1
    bool validate();             // false after reporting an incomplete entry
    void returnAfterLeaving();
    void beep();

    Interaction* m_interaction = nullptr;
    QString m_remembered; // the display when the field received the focus
    bool m_entered = false; // the focus is in the field, or went only to a box or a menu
    bool m_returning = false;
};

// A table field: header row as the horizontal header, fixed data rows, the cell editor always
// open on the current cell while the table has the focus, Tab leaving the table.
class GridTable : public QTableWidget
{
    Q_OBJECT

public:
    GridTable(int rows, const QStringList& headers, const QList<int>& widths, QWidget* parent = nullptr);

    QString cellText(int row, int column) const; // row from 1
    void setCellText(int row, int column, const QString& text);

    bool isEditing() const { return state() == QAbstractItemView::EditingState; }

    // Moves the focus to the next (or previous) control after the table, as Tab does elsewhere.
    void leaveTable(bool forward);

signals:
    // The cell editor handed its text to the table: a change while typing, or the cell cursor
    // moving on from a cell.
    void cellHandedOver();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
};

// The editor of GridTable's cells.
class GridDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit GridDelegate(GridTable* table);
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    GridTable* m_table;
};

// The application's style, except that a drop-down list opens as a list below the box that
// honours QComboBox::maxVisibleItems: some styles (Fusion) otherwise pop up every item at once.
// One instance for the process.
QStyle* listPopupStyle();

// One of the program's pictures by name ("verifydata", "shenbao"): drawn from SVG where Qt
// draws SVG, else from a PNG rendered at build time.
QIcon pictureIcon(QStringView name);

// A label that reacts to a click, without looking like a link.
class ClickLabel : public QLabel
{
    Q_OBJECT

public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace shenbao
