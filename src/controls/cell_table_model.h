#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <functional>

namespace lumetrix {

// The cells of a table for a QTableView, each made when it is shown, so a file of millions of
// values opens at once. Row 0 and column 0 are drawn as the fixed heading row and column; the
// header strips over them carry no titles.
class CellTableModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;
    using Cell = std::function<QString(int row, int column)>;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int, Qt::Orientation, int) const override { return {}; }

protected:
    // Shows a table of this size whose cells `cell` gives.
    void setCells(int rows, int columns, Cell cell);

private:
    int m_rows = 0;
    int m_columns = 0;
    Cell m_cell;
};

} // namespace lumetrix
