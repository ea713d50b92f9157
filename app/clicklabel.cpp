#include "app/clicklabel.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace shenbao {

void ClickLabel::setKeyboardReachable()
{
    setFocusPolicy(Qt::StrongFocus);
    // Its focus shown as a line edit's is, by a frame.
    setStyleSheet(QStringLiteral("shenbao--ClickLabel:focus { border: 1px dotted palette(text); }"));
}

void ClickLabel::keyPressEvent(QKeyEvent* event)
{
    if (focusPolicy() != Qt::NoFocus &&
        (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space)) {
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

} // namespace shenbao
