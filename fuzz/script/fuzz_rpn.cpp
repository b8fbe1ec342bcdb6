// Arbitrary bytes as an infix expression for rpnConv (then evaluated in both modes),
// and as a postfix text for rpnRun. Every evaluation is also checked against the
// literal, step-by-step evaluator (tests/script/rpn_reference.h):
// a different result, last element name, variable table or flag table aborts.
// The first byte picks the mode and extra table operations (sorting, clearing) so
// the cached variable indexes meet them.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "../../tests/script/rpn_reference.h"
#include "platform/headless/headless_host.h"
#include "script/rpn.h"

namespace {

void seed(qf::Variables& v) {
    v.valSetInt("i", 3);
    v.valSetStr("s", "ab");
    v.valSet("r", qf::variant(1.5));
    v.valSetInt("a[3]", 7);
    v.valLimit("lim", -5, 5, 2);
    v.flagSet(3, 9);
}

std::string describe(qf::variant v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d:%.17g:", v.type(), v.isNumber() ? v.m_dValue : 0.0);
    return buf + std::string(v.text());
}

std::string state(const qf::Variables& v) {
    std::string out = v.valDump();
    for (int n = 0; n < qf::Variables::kFlags; ++n)
        if (v.m_flag[n]) out += "|" + std::to_string(n) + "=" + std::to_string(v.m_flag[n]);
    return out;
}

void same(const std::string& a, const std::string& b, const char* what, const std::string& postfix) {
    if (a == b) return;
    std::fprintf(stderr, "evaluator and reference differ (%s) on postfix [%s]:\n  %s\n  %s\n", what,
                 postfix.c_str(), a.c_str(), b.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096) return 0;
    // The host's log grows with every message box: a new host now and then keeps it small.
    static int runs = 0;
    static std::unique_ptr<qf::HeadlessHost> host;
    if (!host || ++runs % 512 == 0) host = std::make_unique<qf::HeadlessHost>();
    auto vars = std::make_unique<qf::Variables>(*host);
    auto refVars = std::make_unique<qf::Variables>(*host);
    qf::Rpn rpn(*vars, *host);
    qf::test::ReferenceRpn ref(*refVars);
    seed(*vars);
    seed(*refVars);

    const uint8_t flags = size ? data[0] : 0;
    std::string text(reinterpret_cast<const char*>(data) + (size ? 1 : 0), size ? size - 1 : 0);
    text = text.c_str();  // up to the first zero byte, as a C string

    auto both = [&](const std::string& postfix, int mode) {
        qf::RpnExpr expr = qf::rpnCompile(postfix.c_str());
        qf::variant a = rpn.rpnRun(expr, mode);
        if (expr.refused) {  // beyond 32 stack entries: integer 0, nothing changed
            same(describe(a), "2:0:0", "refused", postfix);
            return;
        }
        qf::variant b = ref.run(postfix.c_str(), mode);
        same(describe(a), describe(b), "result", postfix);
        same(describe(rpn.lastElementName()), describe(ref.lastName), "last element name", postfix);
        same(state(*vars), state(*refVars), "variables", postfix);
    };

    if (flags & 1) rpn.traceOn();
    int n = rpn.rpnConv(text.c_str());
    if (std::strlen(rpn.postfix()) > 255 || n > 64) std::abort();
    if (rpn.converted().postfix != rpn.postfix()) std::abort();
    std::string postfix = rpn.postfix();
    both(postfix, 0);
    if (flags & 2) {
        vars->valSort();
        refVars->valSort();
    }
    both(postfix, 1);
    if (flags & 4) {
        vars->valClear();
        refVars->valClear();
    }
    both(text, (flags >> 3) & 1);

    qf::variant d = rpn.rpnFirst(text.c_str(), -1, 0);
    d.d(*host);
    d.toStr();
    return 0;
}
