#include "tools/lpif_table.h"

#include "core/listing.h"
#include "core/result_files.h"
#include "core/result_list.h"
#include "core/text_codec.h"
#include "core/textfile.h"

#include <algorithm>
#include <string_view>

namespace lumetrix {
namespace {

LpifTable tabTable(const std::vector<std::string>& lines) {
    LpifTable table;
    table.tabSeparated = true;
    table.rows.clear();
    for (std::string line : lines) {
        while (!line.empty() && (line.back() == '\t' || line.back() == ' '))
            line.pop_back();
        QStringList fields = QString::fromStdString(cp1252ToUtf8(line)).split(QLatin1Char('\t'));
        for (QString& field : fields) // a title keeps the blanks inside it
            field = field.trimmed();
        table.columns = static_cast<int>(fields.size()); // the last line's count stands
        table.rows.push_back(std::move(fields));
    }
    return table;
}

} // namespace

QString LpifTable::cell(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columns)
        return {};
    const QStringList& fields = rows[static_cast<std::size_t>(row)];
    return column < fields.size() ? fields[column] : QString();
}

LpifTable parseLpifTable(const std::string& bytes, const std::string& file) {
    std::vector<std::string> lines = splitLines(bytes);
    std::size_t skip = 0;
    // The table of a file with run information starts at its header.
    if (!lines.empty() && lines.front() == kRunInformationHeading)
        skip = std::min(kRunInformationLines, lines.size());
    lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(skip));
    if (lines.size() < 2)
        return {};
    if (lines[1].find('\t') != std::string::npos)
        return tabTable(lines);
    // Fixed-width columns are cut as on the Results page.
    const Result<ResultTable> parsed = parseResultTable(bytes, static_cast<int>(skip), file);
    if (!parsed)
        return {};
    const ResultTable& cut = parsed.value();
    LpifTable table;
    table.columns = cut.columnCount();
    table.rows.assign(static_cast<std::size_t>(cut.rowCount()), QStringList());
    for (int r = 0; r < cut.rowCount(); ++r)
        for (int c = 0; c < cut.columnCount(); ++c)
            table.rows[static_cast<std::size_t>(r)].append(
                QString::fromStdString(cp1252ToUtf8(cut.cell(r, c))));
    return table;
}

Result<LpifTable> readLpifTable(const std::string& path) {
    Result<std::string> bytes = readSmallFile(path, kMaxResultFileBytes, "result file");
    if (!bytes)
        return bytes.error();
    return parseLpifTable(bytes.value(), path);
}

LpifTableModel::LpifTableModel(QObject* parent) : CellTableModel(parent) {
    setTable(LpifTable{});
}

void LpifTableModel::setTable(LpifTable table) {
    m_table = std::move(table);
    setCells(m_table.rowCount(), m_table.columns,
             [this](int row, int column) { return m_table.cell(row, column); });
}

} // namespace lumetrix
