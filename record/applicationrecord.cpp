#include "record/applicationrecord.h"

#include "record/textrules.h"

namespace shenbao {

TableGrid::TableGrid(int rows, int columns)
    : m_rows(rows), m_columns(columns), m_cells(std::size_t(rows) * std::size_t(columns))
{
}

QString TableGrid::cell(int row, int column) const
{
    if (row < 1 || row > m_rows || column < 0 || column >= m_columns)
        return {};
    return m_cells[std::size_t(row - 1) * std::size_t(m_columns) + std::size_t(column)];
}

void TableGrid::setCell(int row, int column, const QString& text)
{
    if (row < 1 || row > m_rows || column < 0 || column >= m_columns)
        return;
    m_cells[std::size_t(row - 1) * std::size_t(m_columns) + std::size_t(column)] = text;
}

QStringList TableGrid::row(int row) const
{
    QStringList cells;
    for (int c = 0; c < m_columns; ++c)
        cells.append(cell(row, c));
    return cells;
}

void TableGrid::clearRow(int row)
{
    for (int c = 0; c < m_columns; ++c)
        setCell(row, c, QString());
}

void TableGrid::clear()
{
    for (QString& c : m_cells)
        c.clear();
}

QString initialProjectId()
{
    return QString(24, u'0');
}

ApplicationRecord ApplicationRecord::empty()
{
    ApplicationRecord r;
    r.m_values.fill(QString());
    for (TableGrid& t : r.m_tables)
        t.clear();
    r.m_projectId.clear();
    return r;
}

ApplicationRecord::ApplicationRecord() : m_projectId(initialProjectId())
{
    for (const FieldSpec& spec : fieldCatalogue()) {
        if (spec.kind == FieldKind::Table)
            m_tables[std::size_t(tableIndex(spec.field))] =
                TableGrid(tableRows(spec.field), tableColumns(spec.field));
        else if (spec.initial)
            m_values[std::size_t(spec.field)] = QString::fromUtf16(spec.initial);
    }
    table(Field::FinallyProduction).setCell(kPresetRow, kPresetColumn, presetResultForm());
}

QString ApplicationRecord::value(Field f) const
{
    return m_values[std::size_t(f)];
}

void ApplicationRecord::setValue(Field f, const QString& text)
{
    QString& slot = m_values[std::size_t(f)];
    switch (fieldSpec(f).kind) {
    case FieldKind::Choice: {
        const int i = choiceIndex(f, text);
        slot = i < 0 ? QString() : QString::fromUtf16(fieldSpec(f).items[std::size_t(i)]);
        break;
    }
    case FieldKind::Code:
        slot = eduCodeValue(eduCodeDisplay(text));
        break;
    case FieldKind::Table:
        Q_ASSERT_X(false, "ApplicationRecord::setValue", "tables are written cell by cell");
        break;
    default:
        slot = text;
        break;
    }
}

int ApplicationRecord::tableIndex(Field f)
{
    for (int i = 0; i < kTableCount; ++i)
        if (kTableFields[i] == f)
            return i;
    Q_ASSERT_X(false, "ApplicationRecord::table", "not a table field");
    return 0;
}

const TableGrid& ApplicationRecord::table(Field f) const
{
    return m_tables[std::size_t(tableIndex(f))];
}

TableGrid& ApplicationRecord::table(Field f)
{
    return m_tables[std::size_t(tableIndex(f))];
}

} // namespace shenbao
