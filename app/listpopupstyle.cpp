#include "app/listpopupstyle.h"

#include <QApplication>
#include <QPointer>
#include <QProxyStyle>

namespace shenbao {

namespace {

class ListPopupStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == QStyle::SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

QStyle* listPopupStyle()
{
    static QPointer<QProxyStyle> style;
    if (!style || style->baseStyle()->name() != QApplication::style()->name()) {
        style = new ListPopupStyle(QApplication::style()->name());
        style->setParent(qApp);
    }
    return style;
}

} // namespace shenbao
