// Tovlet, the sample script plug-in: registers "#funcUser1" and "#funcUser2",
// shows its arguments and reads the engine's variable table through the host
// block. "dllFunc" and "dllFuncV" are exported samples the engine never calls.
#include <cstring>

#include <quillfen/plugin.h>

#include "host_link.h"
#include "platform/sjis.h"
#include "script/variant.h"

namespace {

// The host block stored by "dllInitA" (null until then).
qf_HostBlock* g_tov = nullptr;

// The constant of the two arithmetic samples.
constexpr int kSampleConstant = 5;

qf::variant& asVariant(qf_variant& v) { return static_cast<qf::variant&>(v); }

// A value received or returned by value keeps an inline text in its own storage.
void settle(qf_variant& v) {
    if (v.m_nSize <= 0) v.m_pText = v.m_szInline;
}

}  // namespace

extern "C" {

QF_PLUGIN_EXPORT int QF_PLUGIN_CALL dllInitA(qf_HostBlock* host, qf_variant* registration) {
    qf::showMessage("dllInitA");
    if (!host) return 0;
    g_tov = host;
    if (registration) {
        qf::variant& r = asVariant(*registration);
        r.cat("#funcUser1,");
        r.cat("dllFuncUser1,");
        r.cat("#funcUser2,");
        r.cat("dllFuncUser2,");
    }
    return 1;
}

QF_PLUGIN_EXPORT int QF_PLUGIN_CALL dllInit(int32_t) { return 1; }

QF_PLUGIN_EXPORT int dllClose(void) {
    qf::showMessage("dllClose");
    return 1;
}

QF_PLUGIN_EXPORT int QF_PLUGIN_CALL dllFuncUser1(qf_variant* args) {
    qf::showMessage("dllFuncUser1");
    if (!args) return 1;
    qf::variant first(asVariant(args[0]));
    first.d(qf::pluginHost());
    return 1;
}

QF_PLUGIN_EXPORT int QF_PLUGIN_CALL dllFuncUser2(qf_variant*) {
    qf::showMessage("dllFuncUser2");
    if (!g_tov) {
        qf::showMessage(qf::sj("g_tovが無い"));
        return 1;
    }
    const int32_t count = *g_tov->m_pVariableCount;
    qf::showMessage(qf::intText(count).c_str());
    for (int32_t i = 0; i < count; ++i) {
        qf_Variable& v = g_tov->m_pVariables[i];
        if (std::strcmp(v.m_name.m_pText, "_mouseX") == 0) {
            asVariant(v.m_value).d(qf::pluginHost());
            return 1;
        }
    }
    qf::showMessage(qf::sj("_mouseXがまだ無い"));
    return 1;
}

QF_PLUGIN_EXPORT int QF_PLUGIN_CALL dllFunc(int32_t a, int32_t b) {
    const int32_t difference = a - b;
    return difference < 0 ? difference : a + b + kSampleConstant;
}

// x - y when that is a number below 0, otherwise x + y + 5, each step with the
// value operators. The result belongs to the caller; a text block in it is
// released with free().
QF_PLUGIN_EXPORT qf_variant QF_PLUGIN_CALL dllFuncV(qf_variant x, qf_variant y) {
    settle(x);
    settle(y);
    const qf::variant& vx = asVariant(x);
    const qf::variant& vy = asVariant(y);
    qf::variant result = vx - vy;
    if (!(result.isNumber() && result.num() < 0)) result = (vx + vy) + qf::variant(kSampleConstant);
    qf_variant out;
    std::memcpy(&out, static_cast<qf_variant*>(&result), sizeof out);
    settle(out);
    // The text block now belongs to `out`.
    result.m_nSize = 0;
    result.m_pText = result.m_szInline;
    return out;
}

}  // extern "C"
