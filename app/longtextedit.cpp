#include "app/longtextedit.h"

#include "record/textrules.h"

#include <QKeyEvent>
#include <QMimeData>

namespace shenbao {

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

} // namespace shenbao
