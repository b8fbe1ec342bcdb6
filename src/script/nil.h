// _NIL: the value an argument holds when the script left it out.
#pragma once

namespace qf {

inline constexpr int kNil = -2147483647 - 1;

}  // namespace qf
