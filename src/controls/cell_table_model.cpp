#include "controls/cell_table_model.h"

#include <QBrush>
#include <QPalette>

namespace lumetrix {

void CellTableModel::setCells(int rows, int columns, Cell cell) {
    beginResetModel();
    m_rows = rows;
    m_columns = columns;
    m_cell = std::move(cell);
    endResetModel();
}

int CellTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int CellTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_columns;
}

QVariant CellTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !m_cell)
        return {};
    if (role == Qt::DisplayRole)
        return m_cell(index.row(), index.column());
    if (role == Qt::BackgroundRole && (index.row() == 0 || index.column() == 0))
        return QPalette().brush(QPalette::Button); // the fixed row and column
    return {};
}

} // namespace lumetrix
