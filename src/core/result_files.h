#pragma once

#include "core/result.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lumetrix {

// A result file of the kernel as the Results page shows it: row 0 the header line, row r the
// data line h + r; column 0 the row number, column c the c-th field. The cells are produced
// on demand from the file's bytes, so a file of millions of values takes little more memory
// than its own size.
class ResultTable {
public:
    // The cleared table: 2 rows by 10 columns, every cell empty.
    static ResultTable cleared() { return ResultTable(2, 10); }

    int rowCount() const { return m_rows; }
    int columnCount() const { return m_columns; }
    // The same cells in fewer (or more, empty) rows and columns; the file's text is shared.
    ResultTable resized(int rows, int columns) const;
    // The text of a cell: in a fixed-width table without any space, in a TAB-separated one
    // without the spaces at its ends; empty outside the table or past a short line.
    std::string cell(int row, int column) const;
    // Whether a data row holds no text at all (it came from an empty line).
    bool blankRow(int row) const;

private:
    struct Span {
        std::uint32_t start;
        std::uint32_t length;
    };
    struct Cells {
        std::string bytes;
        std::vector<Span> spans; // the fields of every row, row after row
        std::vector<std::uint32_t>
            rowStarts; // index of each row's first field; one more at the end
        bool fixedWidth = false;
    };
    ResultTable(int rows, int columns) : m_rows(rows), m_columns(columns) {}
    friend Result<ResultTable> parseResultTable(std::string bytes, int headerSkip,
                                                const std::string& file);

    std::shared_ptr<const Cells> m_cells; // none in a table without a file
    int m_rows = 0;
    int m_columns = 0;
};

// Reads a result file: `headerSkip` lines are skipped, the next is the header. The first data
// line decides between TAB-separated and fixed-width columns. A file with no lines gives
// 2 rows by 2 empty columns; one with the header only gives the cleared table.
Result<ResultTable> parseResultTable(std::string bytes, int headerSkip, const std::string& file);
Result<ResultTable> readResultTable(const std::string& path, int headerSkip);

// The header skip of an imported file: 4 when the last three characters of its name, every
// "." removed, are "Gl" or "jph" (the generation and photocurrent files), otherwise 0.
int importHeaderSkip(std::string_view fileName);

// The largest result file the viewer reads.
inline constexpr std::size_t kMaxResultFileBytes = std::size_t(1) << 30;

// The totals file "<name>_Sum.jsc" of an on-line result: the photocurrent density of each
// on-line item (R, T, then each layer) and the total, in mA/cm2.
struct JscTotals {
    std::vector<double> items;
    double total = 0;
};

// The totals file of the on-line result file `rtaPath` (".rta" replaced by "_Sum.jsc").
std::string totalsPath(const std::string& rtaPath);
// Reads the totals of `itemCount` on-line items: line 3 + i holds item i, line itemCount + 4
// the total, each a number followed by a TAB.
Result<JscTotals> parseJscTotals(const std::string& bytes, int itemCount, const std::string& file);
Result<JscTotals> readJscTotals(const std::string& path, int itemCount);

// A line of the result graph, for the graph data file.
struct GraphLine {
    std::string label;
    std::vector<double> x;
    std::vector<double> y;
};

// The points (column cx, column cy) of rows 1 .. lastRow of a table, blank rows left out;
// the error names the first cell that is not a number.
Result<GraphLine> tablePoints(const ResultTable& table, int cx, int cy, int lastRow);

// The graph data file: a header of "<label>_X" and "<label>_Y" per line, then one row per
// point index up to the longest line, two empty fields where a line has no such point; every
// field followed by a TAB. Numbers in general format with the decimal separator given.
std::vector<std::string> graphDataLines(const std::vector<GraphLine>& lines, char decimalSeparator);

} // namespace lumetrix
