// One interactive engine per user: a lock file held for the life of the process.
#pragma once

namespace qf {

// True when this process now holds the lock (or the lock cannot be made at
// all, in which case running is better than refusing); false when another
// instance holds it.
bool acquireInstanceLock();

}  // namespace qf
