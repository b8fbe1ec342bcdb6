// The variable text of a save record: one line per variable in table order,
// "name,value,kind", lines separated by CR LF, as the variable dump writes
// them, made exact: in names and string values "\" is written "\\", ","
// "\c", CR "\r" and LF "\n"; reals are written so that they read back to the
// same double; integers as whole numbers. A record of variables without
// those characters and without reals holds exactly the plain dump.
#pragma once

#include <string>
#include <string_view>

namespace qf {

class Variables;

std::string recordVariableText(const Variables& vars);

// Assigns every variable of the text, creating the ones that do not exist;
// variables the text does not name keep their values. The kind decides how
// a value is read: 1 a string, 6 a real, anything else a number kept as an
// integer. Writes the debug line "valAssignMem tokenDat.cnt()" with the
// number of lines, as the dump's restore does.
void restoreRecordVariables(Variables& vars, std::string_view text);

}  // namespace qf

namespace qf {

struct RecordContents;

// A loaded record back into the script's state: its 256 flags replace the
// flags, and its variable text is restored as above.
void restoreRecord(Variables& vars, const RecordContents& record);

}  // namespace qf
