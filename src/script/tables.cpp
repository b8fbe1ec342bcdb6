#include "script/tables.h"

#include <algorithm>
#include <cstring>

#include "platform/report.h"
#include "platform/sjis.h"
#include "script/text.h"

namespace qf {

namespace {

// Integer-looking: empty, or an optional "-" then digits, the check ending
// with success after four characters.
variant cellValue(const std::string& piece) {
    variant v(piece);
    if (strIsShortInt(piece.c_str())) v.toInt();
    return v;
}

}  // namespace

std::vector<std::string> tableLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (true) {
        size_t lf = text.find('\n', start);
        std::string line = text.substr(start, lf == std::string::npos ? std::string::npos : lf - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        // An empty line reads as the integer 0 (so a final line break adds a row holding 0).
        if (line.empty()) line = "0";
        lines.push_back(line);
        if (lf == std::string::npos) break;
        start = lf + 1;
    }
    return lines;
}

std::vector<variant> tableCells(const std::string& line, int capacity, int fill) {
    std::vector<variant> cells;
    size_t start = 0;
    while (true) {
        if (capacity > 0 && static_cast<int>(cells.size()) >= capacity) break;
        size_t comma = line.find(',', start);
        std::string piece = line.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (piece.find_first_not_of(" \t") == std::string::npos) cells.emplace_back(fill);
        else cells.push_back(cellValue(piece));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return cells;
}

bool Table::Load(const std::string& text, int headerLines, int fillValue) {
    fill = fillValue;
    if (text.empty()) return false;
    std::vector<std::string> lines = tableLines(text);
    if (headerLines < 0) headerLines = 0;
    int count = static_cast<int>(lines.size()) - headerLines;
    if (count < 0) count = 0;
    int columns = 0;
    for (int i = 0; i < count && i < static_cast<int>(lines.size()); ++i)
        columns = std::max(columns, strCountPieces(lines[static_cast<size_t>(i)].c_str(), ","));
    rows.clear();
    for (int i = 0; i < count; ++i) rows.push_back(tableCells(lines[static_cast<size_t>(headerLines + i)], columns, fill));
    rowCount = count;
    columnCount = columns;
    return true;
}

bool Table::LoadLabel(Host& host, const std::string& text, const std::string& label) {
    rows.clear();
    rowCount = columnCount = 0;
    if (text.empty()) return false;
    for (const std::string& line : tableLines(text)) {
        if (line.empty()) continue;
        int n = 0;
        size_t start = 0;
        while (start <= line.size()) {
            size_t comma = line.find(',', start);
            size_t end = comma == std::string::npos ? line.size() : comma;
            if (end > start) ++n;
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
        columnCount = n;
        break;
    }
    size_t at = text.find(label);
    if (label.empty() || at == std::string::npos) {
        dialog(host, sj("CsvLoadLabel：ラベルが見つかりません"), label);
        return false;
    }
    size_t lineEnd = text.find('\n', at);
    size_t sectionStart = lineEnd == std::string::npos ? text.size() : lineEnd + 1;
    size_t next = text.find('[', sectionStart);
    std::string section = text.substr(sectionStart, next == std::string::npos ? std::string::npos : next - sectionStart);
    std::vector<std::string> lines = tableLines(section);
    rowCount = static_cast<int>(lines.size());
    if (rowCount == 0) {
        std::string caption = sj("CsvLoadLabelエラー");
        dialog(host, caption + "," + std::to_string(rowCount), caption);
        return false;
    }
    for (const std::string& line : lines) rows.push_back(tableCells(line, columnCount, fill));
    return true;
}

variant Table::Cell(int column, int row) const {
    if (row < 0 || row >= rowCount || row >= static_cast<int>(rows.size())) return variant(0);
    const auto& cells = rows[static_cast<size_t>(row)];
    if (column < 0 || column >= columnCount) return variant(0);
    // Rows keep only the cells they were written with; the rest of the table's width reads as the fill value.
    if (column >= static_cast<int>(cells.size())) return variant(fill);
    return cells[static_cast<size_t>(column)];
}

void S_Bin::Create(int bytes) {
    if (bytes < 0) bytes = 0;
    data.assign(static_cast<size_t>(bytes), 0);
    hasData = true;
    size = bytes;
}

void S_Bin::Resize(int bytes) {
    if (bytes < 0) bytes = 0;
    std::vector<uint8_t> fresh(static_cast<size_t>(bytes), 0);
    if (hasData) std::copy_n(data.begin(), std::min(data.size(), fresh.size()), fresh.begin());
    data.swap(fresh);
    hasData = true;
    size = bytes;
}

long long S_Bin::Peek(int width, int offset) const {
    if (!hasData || size <= 0 || offset < 0 || offset >= size) return 0;
    if (offset + static_cast<long long>(width) > size) return 0;
    const uint8_t* p = data.data() + offset;
    switch (width) {
        case 1: return p[0];
        case 2: {
            int16_t v;
            std::memcpy(&v, p, 2);
            return v;
        }
        case 4: {
            int32_t v;
            std::memcpy(&v, p, 4);
            return v;
        }
        case 8: {
            double d;
            std::memcpy(&d, p, 8);
            return truncInt(d);
        }
        default: return 0;
    }
}

void S_Bin::Poke(int width, int offset, int value) {
    if (width != 1 && width != 4) return;
    if (!hasData) Create(65535);
    if (offset < 0 || offset >= size || offset + static_cast<long long>(width) > size) return;
    if (width == 1) data[static_cast<size_t>(offset)] = static_cast<uint8_t>(value);
    else std::memcpy(data.data() + offset, &value, 4);
}

bool S_Bin::GetString(int length, int offset, std::string& out) const {
    if (length < 0 || length > 255 || !hasData || offset < 0 || offset + static_cast<long long>(length) > size) return false;
    const char* p = reinterpret_cast<const char*>(data.data() + offset);
    out.assign(p, strnlen(p, static_cast<size_t>(length)));
    return true;
}

void S_Bin::SetString(const std::string& text, int offset, int length) {
    if (!hasData || offset < 0 || offset >= size) return;
    size_t n = length > 0 ? static_cast<size_t>(length) : text.size();
    n = std::min(n, static_cast<size_t>(size - offset));
    // Past the text's end, zero bytes are written.
    for (size_t i = 0; i < n; ++i) data[static_cast<size_t>(offset) + i] = i < text.size() ? static_cast<uint8_t>(text[i]) : 0;
}

}  // namespace qf
