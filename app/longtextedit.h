#pragma once

#include <QPlainTextEdit>

namespace shenbao {

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

} // namespace shenbao
