// The plug-in's side of the engine's reports. Inside a plug-in the host is
// the program that loaded it: every message box goes to that program's
// message box (QF_MESSAGE_BOX_SYMBOL), or to the error output when the
// program provides none.
#pragma once

#include <string_view>

namespace qf {

// Within the plug-in the host carries no state: the value code's reports
// (variant::d) name it and reach the loading program through showMessage.
class Host {};

Host& pluginHost();
void showMessage(std::string_view text, std::string_view caption = "dialog");

}  // namespace qf
