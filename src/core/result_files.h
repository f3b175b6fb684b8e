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
    // Hands `take(column, text)` the cells of a row from column 1 on, as cell() gives them,
    // in one pass over the line; a short line gives empty cells.
    template <typename Take> void forEachCell(int row, Take&& take) const;
    // Whether a data row holds no text at all (it came from an empty line).
    bool blankRow(int row) const;

private:
    struct Cells {
        std::string bytes;
        // Each line from the header on: its first byte and its length without the line end
        // (and, TAB-separated, without trailing TABs and blanks).
        std::vector<std::uint32_t> starts, lengths;
        std::vector<std::pair<std::size_t, std::size_t>> cuts; // fixed-width: [begin, end)
        bool fixedWidth = false;
    };
    ResultTable(int rows, int columns) : m_rows(rows), m_columns(columns) {}
    friend Result<ResultTable> parseResultTable(std::string bytes, int headerSkip,
                                                const std::string& file);
    std::string_view line(int row) const;
    // The text of field `index` (from 0) of a line, and the position after it; the line's
    // own text is left when the line has fewer fields.
    static std::string_view tabField(std::string_view line, std::size_t& from);
    static std::string_view trimmedBlanks(std::string_view field);
    static void appendWithoutBlanks(std::string& out, std::string_view field);

    std::shared_ptr<const Cells> m_cells; // none in a table without a file
    int m_rows = 0;
    int m_columns = 0;
};

template <typename Take> void ResultTable::forEachCell(int row, Take&& take) const {
    const std::string_view text = row >= 0 && row < m_rows ? line(row) : std::string_view();
    if (m_cells && m_cells->fixedWidth) {
        std::string cell;
        for (int column = 1; column < m_columns; ++column) {
            cell.clear();
            const auto cut = static_cast<std::size_t>(column) - 1;
            if (cut < m_cells->cuts.size() && m_cells->cuts[cut].first < text.size()) {
                const auto [begin, end] = m_cells->cuts[cut];
                appendWithoutBlanks(cell, text.substr(begin, end - begin));
            }
            take(column, std::string_view(cell));
        }
        return;
    }
    std::size_t from = 0;
    for (int column = 1; column < m_columns; ++column)
        take(column,
             from <= text.size() ? trimmedBlanks(tabField(text, from)) : std::string_view());
}

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
