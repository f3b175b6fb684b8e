#include "results/resulttablemodel.h"

namespace lumetrix {

ResultTableModel::ResultTableModel(QObject* parent) : CellTableModel(parent) {
    setTable(ResultTable::cleared());
}

void ResultTableModel::setTable(ResultTable table) {
    m_table = std::move(table);
    setCells(m_table.rowCount(), m_table.columnCount(), [this](int row, int column) {
        return QString::fromStdString(m_table.cell(row, column));
    });
}

} // namespace lumetrix
