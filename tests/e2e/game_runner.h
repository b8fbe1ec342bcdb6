// Runs a game directory of tests/games with the real program, headless, and
// checks what its test.txt expects of the exit status, the log, the variable
// dump, the screenshots, the sound and the files left behind.
//
// test.txt, one expectation a line ("#" starts a comment line):
//   args ARGS...            extra command-line words (file names relative to the game)
//   path NAME               the PATH to run, relative to the game (default: the game directory)
//   exit N                  the exit status (default 0)
//   var NAME VALUE          the dump's value of variable NAME
//   flag N VALUE            flag N's value (a flag missing from the dump is 0)
//   log F1 | F2 | F3        the log has the line F1<TAB>F2<TAB>F3
//   logcontains TEXT        some log line contains TEXT
//   nolog TEXT              no log line contains TEXT
//   logorder T1 || T2 ...   log lines contain T1, T2 … in this order
//   screenshot N FILE.png   the frame presented at frame N equals FILE.png pixel for pixel
//   file NAME / nofile NAME a file exists / does not exist in the game directory after the run
//   stderr TEXT             the program's error output contains TEXT
//   filecontains NAME TEXT  the file left in the game directory contains TEXT
//                           (the file is read as Shift-JIS, TEXT is UTF-8)
//   audio FROM TO CHECK     the sound played from FROM to TO ms of the virtual
//                           clock (the run then writes --audio-out), one of
//     silent                  no sample of either channel above 32 in magnitude
//     rms MIN MAX             the level of the mono mix, (left + right) / 2
//     tone HZ                 the mix's dominant frequency (a Hann-windowed DFT
//                             scan) lies within 3 % of HZ
//     ratio FROM2 TO2 MIN MAX the level here divided by the level from FROM2 to TO2
//     found FROM2 TO2 MIN     this stretch, slid to every start from FROM2 to TO2
//                             ms, reaches a normalised correlation of MIN
//     notfound FROM2 TO2 MAX  ... and stays at or below MAX there
//   outsidecontains NAME TEXT  the file NAME beside the game directory (see "outside") holds exactly TEXT
//   outsideonly NAMES...    the directory beside the game holds exactly these files
//   noparent NAME           nothing named NAME appeared in the directory that holds the game
//   noabsolute PATH         nothing exists at the absolute PATH after the run
// and set-up steps, done in the copy of the game before the run, in order:
//   outside NAME TEXT       a file NAME holding TEXT in a directory beside the game ("../outside")
//   symlink NAME TARGET     a symbolic link NAME in the game pointing at TARGET
//   pack DIR ARCHIVE        packs DIR with "quillfen pack", then removes DIR
//   corrupt ARCHIVE OFFSET  inverts the byte at OFFSET (negative: from the end)
#pragma once

#include <string>
#include <vector>

namespace qf::e2e {

struct GameResult {
    std::vector<std::string> failures;  // empty when every expectation held
};

// Every directory of `gamesDir` that has a test.txt, sorted.
std::vector<std::string> listGames(const std::string& gamesDir);

GameResult runGame(const std::string& program, const std::string& gameDir, const std::string& outputDir);

}  // namespace qf::e2e
