// The file names a Windows plug-in name stands for here, and the check that
// keeps a name given by a game from leaving the folder it is looked for in.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qf {

// The name as given and, when it ends in `windowsExtension` (any letter case,
// e.g. ".dll"), also "X.so" and "libX.so" in the same directory.
std::vector<std::string> pluginFileNames(const std::string& file, std::string_view windowsExtension);

// The name with "/" separators when it is relative and never climbs ("..");
// empty otherwise.
std::string plainRelativePath(const std::string& name);

}  // namespace qf
