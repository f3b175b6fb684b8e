#pragma once

#include "controls/cell_table_model.h"
#include "core/result_files.h"

namespace lumetrix {

// `sgTable`'s cells: a view over a result table.
class ResultTableModel : public CellTableModel {
public:
    explicit ResultTableModel(QObject* parent = nullptr);

    void setTable(ResultTable table);
    const ResultTable& table() const { return m_table; }

private:
    ResultTable m_table = ResultTable::cleared();
};

} // namespace lumetrix
