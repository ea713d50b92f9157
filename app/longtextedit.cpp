#include "app/longtextedit.h"

#include "app/messages.h"
#include "record/textrules.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>

namespace shenbao {

LongTextEdit::LongTextEdit(QWidget* parent) : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        m_cut.clear();
        updateRoom();
    });
}

QString LongTextEdit::roomShown() const
{
    return m_room && m_room->isVisible() ? m_room->text() : QString();
}

void LongTextEdit::showRoom(bool shown)
{
    if (m_byteLimit <= 0 || isReadOnly())
        return;
    if (!m_room) {
        m_room = new QLabel(this);
        m_room->setObjectName(objectName() + QStringLiteral("Room"));
        m_room->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_room->setAutoFillBackground(true);
        m_room->setContentsMargins(4, 0, 4, 0);
        QPalette p = m_room->palette();
        // The text's own colour: a strip to be read, not a hint (4.5 : 1 at least).
        p.setColor(QPalette::Window, p.color(QPalette::AlternateBase));
        p.setColor(QPalette::WindowText, p.color(QPalette::Text));
        m_room->setPalette(p);
    }
    // The strip is a margin of the viewport: it takes room from the text's height, never its
    // width, so the lines wrap as they did.
    setViewportMargins(0, 0, 0, shown ? m_room->fontMetrics().height() + 2 : 0);
    m_room->setVisible(shown);
    if (shown) {
        placeRoom();
        updateRoom();
        ensureCursorVisible();
    }
}

void LongTextEdit::placeRoom()
{
    if (!m_room)
        return;
    const QRect text = viewport()->geometry();
    m_room->setGeometry(text.left(), text.bottom() + 1, text.width(),
                        contentsRect().bottom() - text.bottom());
}

void LongTextEdit::updateRoom()
{
    if (!m_room || !m_room->isVisible())
        return;
    const QString plain = toPlainText();
    const QString shown = m_cut.isEmpty() ? appmsg::room(gbkByteLength(plain), m_byteLimit, false) : m_cut;
    if (shown == m_room->text())
        return;
    m_room->setText(shown);
    setAccessibleDescription(shown);
    QAccessibleEvent event(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}

void LongTextEdit::cutAtLimit(const QString& wanted, const QString& kept, bool pasted)
{
    const int lost = characterCount(wanted) - characterCount(kept);
    if (lost <= 0)
        return;
    const QString cut = kept.isEmpty() && !pasted ? appmsg::limitReached()
                        : pasted                  ? appmsg::pasteCut(lost)
                                                  : appmsg::typingCut(lost);
    // After the edit that the text's change reports, which clears the last one.
    QMetaObject::invokeMethod(
        this,
        [this, cut] {
            m_cut = cut;
            updateRoom();
        },
        Qt::QueuedConnection);
}

void LongTextEdit::focusInEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusInEvent(event);
    showRoom(true);
}

void LongTextEdit::focusOutEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusOutEvent(event);
    // A menu or a box of its own takes the focus only for a moment.
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason)
        showRoom(false);
}

void LongTextEdit::resizeEvent(QResizeEvent* event)
{
    QPlainTextEdit::resizeEvent(event);
    placeRoom();
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
    return bytesLeft(toPlainText(), m_byteLimit) + gbkByteLength(textCursor().selectedText());
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
            cutAtLimit(lineBreak ? QStringLiteral("\n") : text, {}, false);
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
    const QString kept = fitGbkBytes(event->commitString(), std::max(0, roomFor()));
    cutAtLimit(event->commitString(), kept, false);
    fitted.setCommitString(kept, event->replacementStart(), event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&fitted);
}

void LongTextEdit::insertFromMimeData(const QMimeData* source)
{
    if (m_byteLimit <= 0 || !source) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    const QString text = fitGbkBytes(source->text(), std::max(0, roomFor()));
    cutAtLimit(source->text(), text, true);
    if (!text.isEmpty())
        insertPlainText(text);
}

} // namespace shenbao
