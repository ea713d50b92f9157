#pragma once

#include "record/applicationrecord.h"
#include "record/fields.h"

#include <functional>
#include <memory>

class QObject;
class QWidget;

namespace shenbao {

// How one field's value passes between its control and the record, and which of the control's
// changes are edits: one class per field kind, made where the control is made.
class FieldBinding
{
public:
    virtual ~FieldBinding();

    Field field() const { return m_field; }
    QWidget* control() const { return m_control; }

    virtual void read(ApplicationRecord& record) const = 0;
    virtual void write(const ApplicationRecord& record) = 0;
    // Calls edited, in context, at every change that counts as an edit of the field.
    virtual void onEdited(QObject* context, std::function<void()> edited) = 0;

    // The binding of field's kind for control. A control of another class than the kind needs
    // is a fault of the layout tables, stopped here rather than met later as a bad cast.
    static std::unique_ptr<FieldBinding> make(Field field, QWidget* control);

protected:
    FieldBinding(Field field, QWidget* control) : m_field(field), m_control(control) {}

private:
    Field m_field;
    QWidget* m_control;
};

} // namespace shenbao
