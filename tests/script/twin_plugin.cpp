// A plug-in for the tests. It registers "#funcUser1" like Tovlet, so a line
// with that word calls both, and takes its registration text from the
// script's variable "twinRegistration" when there is one (odd piece counts,
// missing exports, long lists), read through the host block.
#include <cstring>
#include <string>

#include <quillfen/plugin.h>

#include "host_link.h"
#include "script/variant.h"

namespace {

int calls = 0;

const qf_Variable* findVariable(const qf_HostBlock* host, const char* name) {
    for (int32_t i = 0; i < *host->m_pVariableCount; ++i)
        if (std::strcmp(host->m_pVariables[i].m_name.m_pText, name) == 0) return &host->m_pVariables[i];
    return nullptr;
}

}  // namespace

extern "C" {

QF_PLUGIN_EXPORT int QF_PLUGIN_CALL dllInitA(qf_HostBlock* host, qf_variant* registration) {
    qf::showMessage("twin dllInitA");
    if (!host || !registration) return 0;
    qf::variant& r = static_cast<qf::variant&>(*registration);
    const qf_Variable* custom = findVariable(host, "twinRegistration");
    if (custom && custom->m_value.m_nKind == QF_KIND_STRING) r.cat(custom->m_value.m_pText);
    else r.cat("#funcUser1,twinUser1,#twinCount,twinCount,#twinOdd,");
    return 1;
}

QF_PLUGIN_EXPORT int dllClose(void) {
    qf::showMessage("twin dllClose");
    return 1;
}

QF_PLUGIN_EXPORT int QF_PLUGIN_CALL twinUser1(qf_variant*) {
    qf::showMessage("twin #funcUser1");
    return 1;
}

// Shows how often it ran and the kind and value of its first argument.
QF_PLUGIN_EXPORT int QF_PLUGIN_CALL twinCount(qf_variant* args) {
    ++calls;
    std::string text = "twinCount " + std::to_string(calls) + " kind " + std::to_string(args[0].m_nKind) + " value " +
                       std::to_string(static_cast<int>(args[0].m_dValue));
    qf::showMessage(text);
    return 1;
}

}  // extern "C"
