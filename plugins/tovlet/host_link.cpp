#include "host_link.h"

#include <dlfcn.h>

#include <cstdio>
#include <string>

#include <quillfen/plugin.h>

#include "platform/report.h"

namespace qf {

Host& pluginHost() {
    static Host host;
    return host;
}

void showMessage(std::string_view text, std::string_view caption) {
    auto box = reinterpret_cast<qf_messageBox_fn>(dlsym(RTLD_DEFAULT, QF_MESSAGE_BOX_SYMBOL));
    std::string t(text), c(caption);
    if (box) box(t.c_str(), c.c_str());
    else std::fprintf(stderr, "[%s] %s\n", c.c_str(), t.c_str());
}

// The reports the value code makes.
void dialog(Host&, std::string_view text) { showMessage(text); }
void dialog(Host&, std::string_view text, std::string_view caption) { showMessage(text, caption); }

}  // namespace qf
