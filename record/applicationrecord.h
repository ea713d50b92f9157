#pragma once

#include "record/fields.h"

#include <QString>
#include <QStringList>

#include <array>
#include <vector>

namespace shenbao {

// The data rows of one table field: rows 1..rows() by columns 0..columns()-1.
// The header row is fixed and lives in the catalogue, not here.
class TableGrid
{
public:
    TableGrid() = default;
    TableGrid(int rows, int columns);

    int rows() const { return m_rows; }
    int columns() const { return m_columns; }

    // row counts from 1 (the first data row), column from 0. Out of range reads empty.
    QString cell(int row, int column) const;
    void setCell(int row, int column, const QString& text);
    QStringList row(int row) const;
    void clearRow(int row);
    void clear();

    bool operator==(const TableGrid&) const = default;

private:
    int m_rows = 0;
    int m_columns = 0;
    std::vector<QString> m_cells;
};

// One application: every field of the ten pages plus the hidden project identifier.
// Text, choice, code and long-text values are held as text: a choice field as the chosen
// item's text ("" while none is chosen), EduCode as its value (digits without separators),
// a long text with CR LF line breaks. The official mode and the error list are not part of it.
class ApplicationRecord
{
public:
    // The start-up state: every field empty, EduCode "0000000000", ProjectID 24 zeros,
    // and the preset "研究报告" in FinallyProduction row 1, column 3.
    ApplicationRecord();
    // Every field empty and every cell empty, no preset; what a document without elements reads as.
    static ApplicationRecord empty();

    // Text, choice, code and long-text fields.
    QString value(Field f) const;
    // Writes a value by the field kind's write rule: a choice field takes the first item equal
    // to text ignoring case (or none); the code field is normalised the way its masked box would
    // show and read it back; other kinds take the text whole, whatever its length.
    void setValue(Field f, const QString& text);
    // Whether a choice field has an item chosen.
    bool isChosen(Field f) const { return !value(f).isEmpty(); }

    const TableGrid& table(Field f) const;
    TableGrid& table(Field f);

    QString projectId() const { return m_projectId; }
    void setProjectId(const QString& id) { m_projectId = id; }

    bool operator==(const ApplicationRecord&) const = default;

private:
    static int tableIndex(Field f);

    std::array<QString, kFieldCount> m_values;
    std::array<TableGrid, kTableCount> m_tables;
    QString m_projectId;
};

QString initialProjectId(); // 24 zeros

} // namespace shenbao
