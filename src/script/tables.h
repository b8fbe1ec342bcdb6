// Tables loaded from comma-separated text and binary buffers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "script/variant.h"

namespace qf {

class Host;

struct Table {
    std::vector<std::vector<variant>> rows;
    int rowCount = 0;
    int columnCount = 0;
    int fill = -1;

    // Loads a plain table from the file's text; false leaves the table as it was.
    bool Load(const std::string& text, int headerLines, int fillValue);
    // Loads the section after the line holding `label`; reports through `host`.
    bool LoadLabel(Host& host, const std::string& text, const std::string& label);
    // The cell, or integer 0 outside the table.
    variant Cell(int column, int row) const;
};

struct S_Bin {
    std::vector<uint8_t> data;  // empty while the slot has no data
    bool hasData = false;
    int size = 0;               // -1 after a failed load

    void Create(int bytes);
    void Resize(int bytes);
    // Little-endian reads; 0 when the value does not lie wholly inside the buffer.
    long long Peek(int width, int offset) const;
    void Poke(int width, int offset, int value);
    // Text of `length` bytes at `offset`, ending early at a zero byte; false reads nothing.
    bool GetString(int length, int offset, std::string& out) const;
    void SetString(const std::string& text, int offset, int length);
};

struct DataSlots {
    static constexpr int kTables = 8;
    static constexpr int kBuffers = 8;
    Table tables[kTables];
    S_Bin buffers[kBuffers];
};

// The lines of a table file: cut at "\n", each losing its "\r"; cells are
// split at "," with integer-looking cells made integers.
std::vector<std::string> tableLines(const std::string& text);
// At most `capacity` cells (0: no limit); empty cells hold `fill`. Cells
// beyond the line's own are not stored: Table::Cell reads them as the fill value.
std::vector<variant> tableCells(const std::string& line, int capacity, int fill);

}  // namespace qf
