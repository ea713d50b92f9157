#include "app/fieldbinding.h"

#include "app/controlas.h"
#include "app/educodeedit.h"
#include "app/fieldlineedit.h"
#include "app/gridtable.h"
#include "app/longtextedit.h"

#include <QComboBox>

namespace shenbao {

FieldBinding::~FieldBinding() = default;

namespace {

class TextBinding : public FieldBinding
{
public:
    TextBinding(Field f, QWidget* c) : FieldBinding(f, c), m_edit(controlAs<FieldLineEdit>(c)) {}
    void read(ApplicationRecord& r) const override { r.setValue(field(), m_edit->text()); }
    void write(const ApplicationRecord& r) override { m_edit->setValue(r.value(field())); }
    void onEdited(QObject* context, std::function<void()> edited) override
    {
        // Typed, pasted, deleted or written by the program: every change of the text.
        QObject::connect(m_edit, &QLineEdit::textChanged, context, std::move(edited));
    }

private:
    FieldLineEdit* m_edit;
};

class CodeBinding : public FieldBinding
{
public:
    CodeBinding(Field f, QWidget* c) : FieldBinding(f, c), m_edit(controlAs<EduCodeEdit>(c)) {}
    void read(ApplicationRecord& r) const override { r.setValue(field(), m_edit->value()); }
    void write(const ApplicationRecord& r) override { m_edit->setValue(r.value(field())); }
    void onEdited(QObject* context, std::function<void()> edited) override
    {
        QObject::connect(m_edit, &QLineEdit::textChanged, context, std::move(edited));
    }

private:
    EduCodeEdit* m_edit;
};

class ChoiceBinding : public FieldBinding
{
public:
    ChoiceBinding(Field f, QWidget* c) : FieldBinding(f, c), m_combo(controlAs<QComboBox>(c)) {}
    void read(ApplicationRecord& r) const override
    {
        r.setValue(field(), m_combo->currentIndex() < 0 ? QString() : m_combo->currentText());
    }
    void write(const ApplicationRecord& r) override
    {
        m_combo->setCurrentIndex(choiceIndex(field(), r.value(field())));
    }
    void onEdited(QObject* context, std::function<void()> edited) override
    {
        // Only the user's choice counts, not one the program makes.
        QObject::connect(m_combo, &QComboBox::activated, context, std::move(edited));
    }

private:
    QComboBox* m_combo;
};

class LongTextBinding : public FieldBinding
{
public:
    LongTextBinding(Field f, QWidget* c) : FieldBinding(f, c), m_edit(controlAs<LongTextEdit>(c)) {}
    void read(ApplicationRecord& r) const override { r.setValue(field(), m_edit->value()); }
    void write(const ApplicationRecord& r) override { m_edit->setValue(r.value(field())); }
    void onEdited(QObject* context, std::function<void()> edited) override
    {
        QObject::connect(m_edit, &QPlainTextEdit::textChanged, context, std::move(edited));
    }

private:
    LongTextEdit* m_edit;
};

class TableBinding : public FieldBinding
{
public:
    TableBinding(Field f, QWidget* c) : FieldBinding(f, c), m_grid(controlAs<GridTable>(c)) {}
    void read(ApplicationRecord& r) const override
    {
        TableGrid& table = r.table(field());
        for (int row = 1; row <= table.rows(); ++row)
            for (int column = 0; column < table.columns(); ++column)
                table.setCell(row, column, m_grid->cellText(row, column));
    }
    void write(const ApplicationRecord& r) override
    {
        const TableGrid& table = r.table(field());
        for (int row = 1; row <= table.rows(); ++row)
            for (int column = 0; column < table.columns(); ++column)
                m_grid->setCellText(row, column, table.cell(row, column));
    }
    void onEdited(QObject* context, std::function<void()> edited) override
    {
        QObject::connect(m_grid, &GridTable::cellHandedOver, context, std::move(edited));
    }

private:
    GridTable* m_grid;
};

} // namespace

std::unique_ptr<FieldBinding> FieldBinding::make(Field field, QWidget* control)
{
    switch (fieldSpec(field).kind) {
    case FieldKind::Text:
        return std::make_unique<TextBinding>(field, control);
    case FieldKind::Code:
        return std::make_unique<CodeBinding>(field, control);
    case FieldKind::Choice:
        return std::make_unique<ChoiceBinding>(field, control);
    case FieldKind::LongText:
        return std::make_unique<LongTextBinding>(field, control);
    case FieldKind::Table:
        return std::make_unique<TableBinding>(field, control);
    }
    return nullptr;
}

} // namespace shenbao
