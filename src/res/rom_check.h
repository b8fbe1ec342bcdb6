// Which layout an archive file has, and whether this engine reads its version.
#pragma once

#include <memory>
#include <string>

namespace qf {

class ErrorLog;
class GameRoot;
class Host;
class PosixFile;
class S_Rom;

// 1 layout 1, 0 layout 0 (also every file whose inner magic does not match),
// -1 a layout 1 version newer than 1.0, refused with a message box.
int romLayoutCheck(Host& host, const GameRoot& dir, const std::string& name);
int romLayoutCheck(Host& host, const PosixFile& file);

// A closed archive object for the layout (S_Rom1 for 1, S_Rom for 0); null for -1.
std::unique_ptr<S_Rom> makeRom(int layout, Host& host, ErrorLog& log);

}  // namespace qf
