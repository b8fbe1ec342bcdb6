// The engine's parts that the selection, number, name and record windows and
// the save records work with, gathered for the calls into them.
#pragma once

#include "app/engine.h"
#include "wnd/save_record.h"
#include "wnd/window_services.h"

namespace qf {

inline WindowServices windowServices(Engine& e) {
    return WindowServices{e.input, e.text, e.windows, e.looks, e.audio, e.vars, e.display};
}

inline RecordFiles recordFiles(Engine& e) {
    return RecordFiles{e.files.Root(), e.errorLog, e.host, e.recordKeystream, e.userData.root()};
}

}  // namespace qf
