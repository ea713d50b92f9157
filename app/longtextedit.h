#pragma once

#include <QPlainTextEdit>

class QLabel;

namespace shenbao {

// A long-text field: word wrap, vertical scroll bar, Tab moves on. The byte limit binds typing,
// pasting and dropping, a line break counting 2 bytes; setValue() is never limited. While it
// has the focus, a strip below the text (a margin of the viewport, covering no text) says how
// much of the limit is used and left, and what a paste or typing lost at the limit.
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

    // The strip's text, for tests and screen readers; empty while it is not shown.
    QString roomShown() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int roomFor() const; // bytes left once the selection is replaced
    void showRoom(bool shown);
    void updateRoom();
    void placeRoom();
    void cutAtLimit(const QString& wanted, const QString& kept, bool pasted);

    int m_byteLimit = 0;
    QLabel* m_room = nullptr;
    QString m_cut; // what the last paste or typing lost at the limit, until the next edit
};

} // namespace shenbao
