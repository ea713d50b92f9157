#include "app/fieldlineedit.h"

#include "app/messages.h"
#include "record/textrules.h"

#include <QKeyEvent>
#include <QValidator>

namespace shenbao {

// Sees every change the user makes before the box takes it. A change that would pass the byte
// limit keeps only what fits of the inserted text; a change of which nothing fits is refused.
class ByteLimitValidator : public QValidator
{
public:
    explicit ByteLimitValidator(FieldLineEdit* edit) : QValidator(edit), m_edit(edit) {}

    State validate(QString& input, int& pos) const override
    {
        const int limit = m_edit->m_byteLimit;
        if (m_edit->m_programWrite || limit <= 0 || bytesLeft(input, limit) >= 0)
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
        m_edit->noteCut(inserted, fitted);
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

void FieldLineEdit::noteCut(QStringView wanted, QStringView kept)
{
    const int lost = characterCount(wanted) - characterCount(kept);
    if (lost <= 0)
        return;
    const QString notice = kept.isEmpty() && lost == 1 ? appmsg::limitReached() : appmsg::pasteCut(lost);
    // Told once the box has taken what fits (the validator runs in the middle of the change).
    QMetaObject::invokeMethod(
        this, [this, notice] { emit cutAtLimit(notice); }, Qt::QueuedConnection);
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

} // namespace shenbao
