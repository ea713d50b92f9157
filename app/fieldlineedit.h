#pragma once

#include <QLineEdit>

namespace shenbao {

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

signals:
    // A paste or typing lost characters at the limit: the notice that says how many.
    void cutAtLimit(const QString& notice);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    friend class ByteLimitValidator;
    bool passes(QChar c) const;
    void noteCut(QStringView wanted, QStringView kept);

    int m_byteLimit = 0;
    QString m_allowed;
    QString m_accepted; // the text before the change the validator is looking at
    bool m_programWrite = false;
};

} // namespace shenbao
