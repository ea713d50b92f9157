#include "app/gridtable.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyledItemDelegate>

namespace shenbao {

namespace {

// The editor of GridTable's cells.
class GridDelegate : public QStyledItemDelegate
{
public:
    explicit GridDelegate(GridTable* table);
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    GridTable* m_table;
};

} // namespace

GridTable::GridTable(int rows, const QStringList& headers, const QList<int>& widths, QWidget* parent)
    : QTableWidget(rows, int(headers.size()), parent)
{
    setItemDelegate(new GridDelegate(this));
    setEditTriggers(QAbstractItemView::AllEditTriggers);
    setTabKeyNavigation(false);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setShowGrid(true);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(24);
    verticalHeader()->setDefaultSectionSize(24);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    QHeaderView* header = horizontalHeader();
    // Left-aligned, so that the leading blanks of the header texts place them as designed.
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setHighlightSections(false);
    header->setSectionsClickable(false);
    header->setStretchLastSection(false);
    header->setFixedHeight(24);
    for (int c = 0; c < columnCount(); ++c) {
        auto* item = new QTableWidgetItem(headers.at(c));
        item->setData(Qt::AccessibleTextRole, headers.at(c).trimmed()); // spoken without the padding
        setHorizontalHeaderItem(c, item);
        setColumnWidth(c, widths.value(c, 64));
    }
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columnCount(); ++c)
            setItem(r, c, new QTableWidgetItem(QString()));
    setCurrentCell(0, 0, QItemSelectionModel::NoUpdate);
}

QString GridTable::cellText(int row, int column) const
{
    // The cell being typed in holds what the editor shows, although the editor hands it to the
    // item only when the cursor moves on: a save or print started from a flat button, which
    // leaves the focus in the cell, must see it.
    if (state() == QAbstractItemView::EditingState && currentRow() == row - 1 && currentColumn() == column)
        if (const auto* editor = qobject_cast<const QLineEdit*>(indexWidget(currentIndex())))
            return editor->text();
    const QTableWidgetItem* it = item(row - 1, column);
    return it ? it->text() : QString();
}

void GridTable::setCellText(int row, int column, const QString& text)
{
    if (QTableWidgetItem* it = item(row - 1, column))
        it->setText(text);
    // An editor open on the cell would write its old text back when it closes.
    if (state() == QAbstractItemView::EditingState && currentRow() == row - 1 && currentColumn() == column)
        if (QWidget* editor = indexWidget(currentIndex()); editor)
            itemDelegate()->setEditorData(editor, currentIndex());
}

void GridTable::leaveTable(bool forward)
{
    QWidget* next = this;
    for (;;) {
        next = forward ? next->nextInFocusChain() : next->previousInFocusChain();
        if (next == this || !next)
            return;
        if (isAncestorOf(next) || next->window() != window())
            continue;
        if (next->isVisible() && next->isEnabled() && (next->focusPolicy() & Qt::TabFocus) &&
            !next->focusProxy())
            break;
    }
    next->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

void GridTable::focusInEvent(QFocusEvent* event)
{
    QTableWidget::focusInEvent(event);
    if (currentIndex().isValid() && state() != QAbstractItemView::EditingState)
        edit(currentIndex());
}

void GridTable::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    const bool handedOver = previous.isValid() && state() == QAbstractItemView::EditingState;
    QTableWidget::currentChanged(current, previous);
    if (handedOver)
        emit cellHandedOver();
}

GridDelegate::GridDelegate(GridTable* table) : QStyledItemDelegate(table), m_table(table) {}

QWidget* GridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const
{
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        line->setFrame(false);
        connect(line, &QLineEdit::textEdited, m_table, &GridTable::cellHandedOver);
    }
    return editor;
}

bool GridDelegate::eventFilter(QObject* object, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            // Tab leaves the table instead of moving between cells; leaving commits the cell.
            if (auto* editor = qobject_cast<QWidget*>(object))
                emit commitData(editor);
            m_table->leaveTable(key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier));
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

} // namespace shenbao
