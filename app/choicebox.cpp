#include "app/choicebox.h"

#include <QAccessibleWidget>

namespace shenbao {
namespace {

class ChoiceBoxAccessible : public QAccessibleWidget
{
public:
    explicit ChoiceBoxAccessible(QWidget* w) : QAccessibleWidget(w, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override
    {
        const auto* box = static_cast<const QComboBox*>(widget());
        switch (t) {
        case QAccessible::Name:
            return box->accessibleName();
        case QAccessible::Value:
            return box->currentText();
        default:
            return QAccessibleWidget::text(t);
        }
    }

    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString& action) override
    {
        if (action == showMenuAction() || action == pressAction())
            static_cast<QComboBox*>(widget())->showPopup();
    }
};

QAccessibleInterface* choiceBoxFactory(const QString& key, QObject* object)
{
    if (key == QLatin1StringView(ChoiceBox::staticMetaObject.className()) && object && object->isWidgetType())
        return new ChoiceBoxAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace

ChoiceBox::ChoiceBox(QWidget* parent) : QComboBox(parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(choiceBoxFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace shenbao
