#include "results/resulttablemodel.h"

#include <QBrush>
#include <QPalette>

namespace lumetrix {

ResultTableModel::ResultTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void ResultTableModel::setTable(ResultTable table) {
    beginResetModel();
    m_table = std::move(table);
    endResetModel();
}

int ResultTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_table.rowCount();
}

int ResultTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_table.columnCount();
}

QVariant ResultTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromStdString(m_table.cell(index.row(), index.column()));
    if (role == Qt::BackgroundRole && (index.row() == 0 || index.column() == 0))
        return QPalette().brush(QPalette::Button); // the fixed row and column
    return {};
}

} // namespace lumetrix
