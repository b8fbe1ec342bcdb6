// Which button "#keyConfig" sets: the button a key constant names, or the
// button number given.
#pragma once

#include <string_view>

namespace qf {

// The button 0..11, or -1 when there is no such button.
int keyConfigButton(std::string_view argumentName, int argumentValue);

}  // namespace qf
