#include "input/key_config.h"

#include "input/pad.h"

namespace qf {

int keyConfigButton(std::string_view argumentName, int argumentValue) {
    static constexpr std::string_view kConstants[kPadButtons] = {
        "_KEY_U", "_KEY_D", "_KEY_L", "_KEY_R", "_KEY_A", "_KEY_B",
        "_KEY_SEL", "_KEY_ST", "_KEY_X", "_KEY_Y", "_KEY_L1", "_KEY_R1",
    };
    for (int b = 0; b < kPadButtons; ++b)
        if (argumentName == kConstants[b]) return b;
    return argumentValue >= 0 && argumentValue < kPadButtons ? argumentValue : -1;
}

}  // namespace qf
