#pragma once

#include <QWidget>

namespace shenbao {

// A control from the layout tables as the class the code needs. Another class is a fault of the
// tables: it stops the program with the control's name instead of becoming a bad cast.
template <class T> T* controlAs(QWidget* control)
{
    auto* t = qobject_cast<T*>(control);
    if (!t)
        qFatal("The control %s is not a %s", control ? qPrintable(control->objectName()) : "(none)",
               T::staticMetaObject.className());
    return t;
}

} // namespace shenbao
