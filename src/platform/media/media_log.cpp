#include "platform/media/media_log.h"

extern "C" {
#include <libavutil/log.h>
}

#include <mutex>

namespace qf {

void quietMediaLog() {
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

}  // namespace qf
