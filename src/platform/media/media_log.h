// The media libraries print their complaints about broken input themselves;
// the engine reports failures its own way, so their log is silenced.
#pragma once

namespace qf {

void quietMediaLog();

}  // namespace qf
