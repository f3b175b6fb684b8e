#pragma once

#include "controls/cell_table_model.h"
#include "core/result.h"

#include <QStringList>
#include <string>
#include <vector>

namespace lumetrix {

// A "_ratio.jph" file as the LPIF window shows it. Line 0 is the heading row, line 1 the first
// data row, and line 1 decides the layout (in a file of the kernel, the lines are counted
// from the header below its run information):
// - TAB-separated: the fields of each line stand in columns 0, 1, 2, ... (no row numbers),
//   and the column count is the field count of the last line;
// - fixed-width: as the Results page cuts it, row numbers in column 0 and the fields from
//   column 1.
// A file of fewer than two lines gives 2 by 2 empty cells. A TAB-separated cell loses the
// blanks at its ends, a fixed-width cell every blank.
struct LpifTable {
    bool tabSeparated = false;
    int columns = 2;
    std::vector<QStringList> rows{QStringList(), QStringList()};

    int rowCount() const { return static_cast<int>(rows.size()); }
    QString cell(int row, int column) const;
    // The column of the file's table as the Results page numbers it (row numbers in column 0,
    // the first field in column 1), which the LPIF calculation takes.
    int resultColumn(int column) const { return tabSeparated ? column + 1 : column; }
};

LpifTable parseLpifTable(const std::string& bytes, const std::string& file);
Result<LpifTable> readLpifTable(const std::string& path);

// The cells of a table.
class LpifTableModel : public CellTableModel {
public:
    explicit LpifTableModel(QObject* parent = nullptr);

    void setTable(LpifTable table);
    const LpifTable& table() const { return m_table; }

private:
    LpifTable m_table;
};

} // namespace lumetrix
