// Numbers written in sound files' comments and in MCI command strings.
#pragma once

#include <string>

namespace qf {

// The number at the start of `text` as atoi reads it (blanks, a sign, digits),
// clamped to the int range; text that does not start with one counts as 0.
int leadingInteger(const std::string& text);

}  // namespace qf
