#pragma once

#include <QTableWidget>

namespace shenbao {

// A table field: header row as the horizontal header, fixed data rows, the cell editor always
// open on the current cell while the table has the focus, Tab leaving the table.
class GridTable : public QTableWidget
{
    Q_OBJECT

public:
    GridTable(int rows, const QStringList& headers, const QList<int>& widths, QWidget* parent = nullptr);

    QString cellText(int row, int column) const; // row from 1
    void setCellText(int row, int column, const QString& text);

    bool isEditing() const { return state() == QAbstractItemView::EditingState; }

    // Moves the focus to the next (or previous) control after the table, as Tab does elsewhere.
    void leaveTable(bool forward);

signals:
    // The cell editor handed its text to the table: a change while typing, or the cell cursor
    // moving on from a cell.
    void cellHandedOver();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
};

} // namespace shenbao
