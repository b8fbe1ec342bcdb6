#include "platform/report.h"

#include <cstdio>

#include "platform/host.h"
#include "platform/sjis.h"

namespace qf {

namespace {
std::string formatInt(int n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d", n);
    return buf;
}
}  // namespace

void dialog(Host& host, std::string_view text) { host.messageBox("dialog", text); }

void dialog(Host& host, int number) { host.messageBox("dialog", formatInt(number)); }

void dialog(Host& host, std::string_view text, std::string_view caption) { host.messageBox(caption, text); }

void dialog(Host& host, std::string_view caption, int number) {
    std::string text(caption);
    text += ',';
    text += formatInt(number);
    host.messageBox(caption, text);
}

void dialogVaInt(Host& host, std::initializer_list<int> numbers) {
    std::string text;
    for (int n : numbers) {
        text += formatInt(n);
        text += '\n';
    }
    host.messageBox("dialog_va_int()", text);
}

void dbg(Host& host, std::string_view text) { host.debugOutput(text); }

void dbg(Host& host, std::string_view label, std::string_view text) {
    std::string line = sj("【");
    line += label;
    line += sj("】");
    line += text;
    host.debugOutput(line);
}

void dbg(Host& host, std::string_view label, int number) { dbg(host, label, formatInt(number)); }

}  // namespace qf
