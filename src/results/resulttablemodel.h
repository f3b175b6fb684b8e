#pragma once

#include "core/result_files.h"

#include <QAbstractTableModel>

namespace lumetrix {

// `sgTable`'s cells: a view over a result table, each cell made when it is shown, so a file of
// millions of values opens at once. Column 0 and row 0 are the fixed column and row.
class ResultTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ResultTableModel(QObject* parent = nullptr);

    void setTable(ResultTable table);
    const ResultTable& table() const { return m_table; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // The header strip over the columns carries no titles.
    QVariant headerData(int, Qt::Orientation, int) const override { return {}; }

private:
    ResultTable m_table = ResultTable::cleared();
};

} // namespace lumetrix
