// The Symbol font's byte encoding: what a "symbol" face draws for each byte.
#pragma once

#include <cstdint>

namespace qf {

// Unicode for a byte of the Symbol encoding; 0 for the bytes that have no character.
char32_t symbolToUnicode(uint8_t byte);

}  // namespace qf
