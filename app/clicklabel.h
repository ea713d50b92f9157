#pragma once

#include <QLabel>

namespace shenbao {

// A label that reacts to a click, without looking like a link.
class ClickLabel : public QLabel
{
    Q_OBJECT

public:
    using QLabel::QLabel;

    // Reachable with Tab and pressed with Enter or Space, as a button is.
    void setKeyboardReachable();

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace shenbao
