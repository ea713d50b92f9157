#pragma once

#include <QLabel>

namespace shenbao {

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
