// Arbitrary bytes as a save record, read both as the plain file and as the
// scrambled file on disk: the loader must never crash, hang or read outside
// the bytes, and a record that loads must restore into the variable table.
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "platform/headless/headless_host.h"
#include "res/keystream.h"
#include "script/variables.h"
#include "wnd/record_variables.h"
#include "wnd/save_record.h"

namespace {

qf::HeadlessHost& host() {
    static qf::HeadlessHost h;
    return h;
}

// The name stored in the input's own header, so that well-formed inputs load.
std::string nameOf(std::span<const uint8_t> bytes) {
    if (bytes.size() < qf::kRecordHeaderSize) return "quill";
    const char* p = reinterpret_cast<const char*>(bytes.data() + 32);
    return std::string(p, strnlen(p, qf::kRecordNameLimit));
}

void check(std::span<const uint8_t> bytes) {
    qf::RecordContents out;
    if (qf::parseRecord(bytes, nameOf(bytes), out) != qf::RecordCheck::Loaded) return;
    static qf::Variables* vars = new qf::Variables(host());
    vars->valClear();
    qf::restoreRecord(*vars, out);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::span<const uint8_t> input(data, size);
    check(input);
    static qf::Keystream keystream;
    std::vector<uint8_t> unscrambled(input.begin(), input.end());
    keystream.apply(unscrambled.data(), unscrambled.size());
    check(unscrambled);
    return 0;
}
