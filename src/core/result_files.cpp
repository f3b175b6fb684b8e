#include "core/result_files.h"

#include "core/numbertext.h"
#include "core/result_list.h"
#include "core/textfile.h"

#include <algorithm>

namespace lumetrix {
namespace {

// The lines of a file as spans of its bytes, as LineCursor reads them.
std::vector<std::string_view> splitViews(std::string_view bytes) {
    std::vector<std::string_view> lines;
    LineCursor cursor(bytes);
    for (std::string_view line; cursor.next(line);)
        lines.push_back(line);
    return lines;
}

// Where the fixed-width columns are cut, from the first data line: [begin, end) per column,
// the last one open to the end of the line.
std::vector<std::pair<std::size_t, std::size_t>> fixedColumns(std::string_view first) {
    struct Field {
        std::size_t begin, width;
    };
    std::vector<Field> fields;
    for (std::size_t i = 0; i < first.size();) {
        if (first[i] == ' ') {
            ++i;
            continue;
        }
        const std::size_t begin = i;
        while (i < first.size() && first[i] != ' ')
            ++i;
        fields.push_back({begin, i - begin});
    }
    std::vector<std::pair<std::size_t, std::size_t>> cuts;
    constexpr std::size_t open = std::string_view::npos;
    if (fields.size() <= 1)
        return {{0, open}};
    // Column 1: the leading blanks, the first field and one separator; every other column the
    // blank before its field and the field; the last to the end of the line.
    cuts.emplace_back(0, fields[0].begin + fields[0].width + 1);
    for (std::size_t c = 1; c + 1 < fields.size(); ++c)
        cuts.emplace_back(fields[c].begin - 1, fields[c].begin + fields[c].width);
    cuts.emplace_back(fields.back().begin - 1, open);
    return cuts;
}

} // namespace

std::string_view ResultTable::line(int row) const {
    if (!m_cells || static_cast<std::size_t>(row) >= m_cells->starts.size())
        return {};
    const auto r = static_cast<std::size_t>(row);
    return std::string_view(m_cells->bytes).substr(m_cells->starts[r], m_cells->lengths[r]);
}

std::string_view ResultTable::tabField(std::string_view line, std::size_t& from) {
    const std::size_t tab = line.find('\t', from);
    const std::string_view field = line.substr(from, tab - from);
    from = tab == std::string_view::npos ? line.size() + 1 : tab + 1;
    return field;
}

std::string_view ResultTable::trimmedBlanks(std::string_view field) {
    const auto first = field.find_first_not_of(' ');
    return first == std::string_view::npos
               ? std::string_view()
               : field.substr(first, field.find_last_not_of(' ') - first + 1);
}

void ResultTable::appendWithoutBlanks(std::string& out, std::string_view field) {
    for (const char ch : field)
        if (ch != ' ')
            out += ch;
}

std::string ResultTable::cell(int row, int column) const {
    if (row < 0 || row >= m_rows || column < 0 || column >= m_columns)
        return {};
    if (!m_cells) // the cleared table
        return {};
    if (column == 0)
        return row == 0 ? std::string() : std::to_string(row);
    const std::string_view text = line(row);
    if (m_cells->fixedWidth) {
        const auto cut = static_cast<std::size_t>(column) - 1;
        std::string cell;
        if (cut < m_cells->cuts.size() && m_cells->cuts[cut].first < text.size()) {
            const auto [begin, end] = m_cells->cuts[cut];
            appendWithoutBlanks(cell, text.substr(begin, end - begin));
        }
        return cell;
    }
    // A TAB-separated cell keeps the blanks inside it.
    std::size_t from = 0;
    for (int c = 1; c < column && from <= text.size(); ++c)
        tabField(text, from);
    return from <= text.size() ? std::string(trimmedBlanks(tabField(text, from))) : std::string();
}

bool ResultTable::blankRow(int row) const {
    bool blank = true;
    forEachCell(row, [&blank](int, std::string_view text) { blank = blank && text.empty(); });
    return blank;
}

ResultTable ResultTable::resized(int rows, int columns) const {
    ResultTable table(std::max(rows, 0), std::max(columns, 0));
    table.m_cells = m_cells;
    return table;
}

Result<ResultTable> parseResultTable(std::string bytes, int headerSkip, const std::string& file) {
    if (bytes.size() > kMaxResultFileBytes)
        return ReadError{file, 0, "the file is too large for a result file"};
    const std::vector<std::string_view> lines = splitViews(bytes);
    const auto count = static_cast<int>(lines.size());
    if (count == 0)
        return ResultTable(2, 2);
    if (count < headerSkip + 1)
        return ReadError{file, count,
                         "the file ends before its header line " + std::to_string(headerSkip + 1)};
    if (count == headerSkip + 1)
        return ResultTable::cleared();

    ResultTable table(count - headerSkip, 0);
    auto cells = std::make_shared<ResultTable::Cells>();
    const std::string_view firstData = lines[static_cast<std::size_t>(headerSkip) + 1];
    cells->fixedWidth = firstData.find('\t') == std::string_view::npos;
    if (cells->fixedWidth)
        cells->cuts = fixedColumns(firstData);
    cells->starts.reserve(static_cast<std::size_t>(table.m_rows));
    cells->lengths.reserve(static_cast<std::size_t>(table.m_rows));
    std::string_view lastWithFields;
    for (int j = headerSkip; j < count; ++j) {
        std::string_view line = lines[static_cast<std::size_t>(j)];
        if (!cells->fixedWidth) {
            // Trailing TABs and blanks make no empty last column.
            const auto last = line.find_last_not_of("\t ");
            line = line.substr(0, last == std::string_view::npos ? 0 : last + 1);
            if (!line.empty())
                lastWithFields = line;
        }
        cells->starts.push_back(static_cast<std::uint32_t>(line.data() - bytes.data()));
        cells->lengths.push_back(static_cast<std::uint32_t>(line.size()));
    }
    // The last line with fields sets the columns of a TAB-separated table.
    table.m_columns =
        cells->fixedWidth
            ? static_cast<int>(cells->cuts.size()) + 1
            : (lastWithFields.empty() ? 0
                                      : static_cast<int>(std::count(lastWithFields.begin(),
                                                                    lastWithFields.end(), '\t')) +
                                            2);
    cells->bytes = std::move(bytes); // the lines are offsets, so they hold in the moved text
    table.m_cells = std::move(cells);
    return table;
}

Result<ResultTable> readResultTable(const std::string& path, int headerSkip) {
    auto bytes = readSmallFile(path, kMaxResultFileBytes, "result file");
    if (!bytes)
        return bytes.error();
    return parseResultTable(std::move(bytes).value(), headerSkip, path);
}

int importHeaderSkip(std::string_view fileName) {
    std::string tail(fileName.substr(fileName.size() >= 3 ? fileName.size() - 3 : 0));
    std::erase(tail, '.');
    return tail == "Gl" || tail == "jph" ? static_cast<int>(kRunInformationLines) : 0;
}

std::string totalsPath(const std::string& rtaPath) {
    return rtaPath.substr(0, rtaPath.size() >= 4 ? rtaPath.size() - 4 : 0) + "_Sum.jsc";
}

Result<JscTotals> parseJscTotals(const std::string& bytes, int itemCount, const std::string& file) {
    const std::vector<std::string_view> lines = splitViews(bytes);
    const auto value = [&](int index) -> Result<double> {
        const int lineNumber = index + 1;
        if (index >= static_cast<int>(lines.size()))
            return ReadError{file, lineNumber,
                             "the file ends before the photocurrent of line " +
                                 std::to_string(lineNumber) + " (" + std::to_string(itemCount) +
                                 " on-line items need " + std::to_string(itemCount + 5) +
                                 " lines)"};
        const std::string_view line = lines[static_cast<std::size_t>(index)];
        const auto tab = line.find('\t');
        const std::string text(line.substr(0, tab));
        const auto number = parseFileNumber(text, '.');
        if (tab == std::string_view::npos || !number)
            return ReadError{file, lineNumber,
                             "\"" + std::string(line) + "\" is not a number followed by a TAB"};
        return static_cast<double>(*number);
    };
    JscTotals totals;
    for (int i = 0; i < itemCount; ++i) {
        const auto item = value(3 + i);
        if (!item)
            return item.error();
        totals.items.push_back(item.value());
    }
    const auto total = value(itemCount + 4);
    if (!total)
        return total.error();
    totals.total = total.value();
    return totals;
}

Result<JscTotals> readJscTotals(const std::string& path, int itemCount) {
    const auto bytes = readSmallFile(path, 1 << 20, "totals file");
    if (!bytes)
        return bytes.error();
    return parseJscTotals(bytes.value(), itemCount, path);
}

Result<GraphLine> tablePoints(const ResultTable& table, int cx, int cy, int lastRow) {
    GraphLine line;
    for (int r = 1; r <= lastRow; ++r) {
        // An empty line (the kernel ends its on-line file with one) gives no point.
        if (table.blankRow(r))
            continue;
        double point[2];
        for (int axis = 0; axis < 2; ++axis) {
            const int column = axis == 0 ? cx : cy;
            const std::string text = table.cell(r, column);
            const auto number = parseFileNumber(text, '.');
            if (!number)
                return ReadError{{},
                                 0,
                                 "\"" + text + "\" in row " + std::to_string(r) + ", column " +
                                     std::to_string(column) + " is not a number"};
            point[axis] = static_cast<double>(*number);
        }
        line.x.push_back(point[0]);
        line.y.push_back(point[1]);
    }
    return line;
}

std::vector<std::string> graphDataLines(const std::vector<GraphLine>& lines,
                                        char decimalSeparator) {
    std::string header;
    std::size_t points = 0;
    for (const GraphLine& line : lines) {
        header += line.label + "_X\t" + line.label + "_Y\t";
        points = std::max(points, std::min(line.x.size(), line.y.size()));
    }
    std::vector<std::string> out{header};
    for (std::size_t i = 0; i < points; ++i) {
        std::string row;
        for (const GraphLine& line : lines) {
            if (i < line.x.size() && i < line.y.size())
                row += formatGeneral(line.x[i], decimalSeparator) + '\t' +
                       formatGeneral(line.y[i], decimalSeparator) + '\t';
            else
                row += "\t\t";
        }
        out.push_back(std::move(row));
    }
    return out;
}

} // namespace lumetrix
