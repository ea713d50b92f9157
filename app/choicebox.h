#pragma once

#include <QComboBox>

namespace shenbao {

// A choice field's drop-down list. A screen reader announces it by its field ("性别") and then
// its value ("女"): Qt's own combo box on Linux gives its value as its name once one is chosen.
class ChoiceBox : public QComboBox
{
    Q_OBJECT

public:
    explicit ChoiceBox(QWidget* parent = nullptr);
};

} // namespace shenbao
