// Arbitrary bytes as a table file, plainly and as labelled sections.
#include <cstdint>
#include <string>

#include "platform/headless/headless_host.h"
#include "script/tables.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    qf::HeadlessHost host;
    const int header = data[0] % 4;
    std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    qf::Table table;
    table.Load(text, header, -1);
    for (int r = -1; r <= table.rowCount; ++r)
        for (int c = -1; c <= table.columnCount; ++c) (void)table.Cell(c, r);
    qf::Table section;
    section.LoadLabel(host, text, "[a]");
    (void)section.Cell(0, 0);
    return 0;
}
