#pragma once

#include <string>
#include <vector>

#include "platform/headless/headless_host.h"
#include "platform/sjis.h"

namespace qf::test {

// The log lines of a headless host that were added after `from`.
inline std::vector<std::string> linesSince(const HeadlessHost& host, size_t from) {
    auto all = host.logLines();
    if (from > all.size()) from = all.size();
    return {all.begin() + static_cast<long>(from), all.end()};
}

}  // namespace qf::test
