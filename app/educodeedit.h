#pragma once

#include <QLineEdit>

namespace shenbao {

class Interaction;

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

    // The field's own history of edits (a program's write clears it).
    bool canUndo() const;
    bool canRedo() const;
    void undoEdit();
    void redoEdit();

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
    QString m_remembered;   // the display when the field received the focus
    bool m_entered = false; // the focus is in the field, or went only to a box or a menu
    bool m_returning = false;
    QStringList m_undo, m_redo; // displays before and after the edits undone
};

} // namespace shenbao
