#include "tests/e2e/game_runner.h"

#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "platform/png_io.h"
#include "platform/sjis.h"

namespace fs = std::filesystem;

namespace qf::e2e {

namespace {

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::stringstream ss(text);
    std::string line;
    while (std::getline(ss, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out.push_back(line);
    }
    return out;
}

std::string trim(const std::string& s) {
    size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return "";
    size_t b = s.find_last_not_of(" \t");
    return s.substr(a, b - a + 1);
}

std::string quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        if (c == '\'') q += "'\\''";
        else q += c;
    }
    return q + "'";
}

std::vector<std::string> splitWords(const std::string& s) {
    std::vector<std::string> out;
    std::stringstream ss(s);
    std::string w;
    while (ss >> w) out.push_back(w);
    return out;
}

struct Screenshot {
    long long frame;
    std::string reference;
};

void comparePictures(const fs::path& actualPath, const fs::path& referencePath, const fs::path& outputDir,
                     const std::string& label, std::vector<std::string>& failures) {
    std::vector<uint8_t> actual, reference;
    int aw = 0, ah = 0, rw = 0, rh = 0;
    fs::create_directories(outputDir);
    fs::path kept = outputDir / (label + ".actual.png");
    if (!readPngBgr(actualPath.string(), actual, aw, ah)) {
        failures.push_back(label + ": no screenshot was written");
        return;
    }
    if (!readPngBgr(referencePath.string(), reference, rw, rh)) {
        fs::copy_file(actualPath, kept, fs::copy_options::overwrite_existing);
        failures.push_back(label + ": reference " + referencePath.string() + " is missing; the actual frame is " + kept.string());
        return;
    }
    if (aw != rw || ah != rh) {
        fs::copy_file(actualPath, kept, fs::copy_options::overwrite_existing);
        failures.push_back(label + ": size " + std::to_string(aw) + "x" + std::to_string(ah) + " differs from the reference " +
                           std::to_string(rw) + "x" + std::to_string(rh) + "; actual frame: " + kept.string());
        return;
    }
    std::vector<uint8_t> diff(actual.size(), 0);
    long long differing = 0;
    int firstX = -1, firstY = -1;
    for (size_t i = 0; i < actual.size(); i += 3) {
        if (actual[i] != reference[i] || actual[i + 1] != reference[i + 1] || actual[i + 2] != reference[i + 2]) {
            if (differing++ == 0) {
                firstX = static_cast<int>((i / 3) % aw);
                firstY = static_cast<int>((i / 3) / aw);
            }
            diff[i + 2] = 255;  // differing pixels red on black
        }
    }
    if (differing) {
        fs::copy_file(actualPath, kept, fs::copy_options::overwrite_existing);
        fs::path diffPath = outputDir / (label + ".diff.png");
        writePngBgr(diffPath.string(), diff.data(), aw, ah);
        failures.push_back(label + ": " + std::to_string(differing) + " pixels differ (first at " + std::to_string(firstX) + "," +
                           std::to_string(firstY) + "); actual " + kept.string() + ", difference " + diffPath.string());
    }
}

}  // namespace

std::vector<std::string> listGames(const std::string& gamesDir) {
    std::vector<std::string> out;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(gamesDir, ec))
        if (entry.is_directory() && fs::exists(entry.path() / "test.txt")) out.push_back(entry.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

GameResult runGame(const std::string& program, const std::string& gameDir, const std::string& outputDir) {
    GameResult result;
    auto& failures = result.failures;
    const fs::path source(gameDir);
    const std::string name = source.filename().string();
    fs::path work = fs::temp_directory_path() / ("quillfen-e2e-" + name + "-" + std::to_string(getpid()));
    fs::remove_all(work);
    fs::path game = work / "game";
    fs::create_directories(work);
    fs::copy(source, game, fs::copy_options::recursive);
    fs::remove(game / "test.txt");

    std::vector<std::string> args;
    std::string path;
    int expectedExit = 0;
    std::vector<Screenshot> shots;
    std::vector<std::pair<std::string, std::string>> checks;  // kind, argument
    auto setUpFailure = [&](const std::string& what) { failures.push_back("set-up: " + what); };
    for (const std::string& raw : lines(readFile(source / "test.txt"))) {
        std::string line = trim(raw);
        if (line.empty() || line[0] == '#') continue;
        size_t space = line.find(' ');
        std::string kind = line.substr(0, space);
        std::string rest = space == std::string::npos ? "" : trim(line.substr(space + 1));
        if (kind == "args") {
            for (auto& w : splitWords(rest)) args.push_back(w);
        } else if (kind == "path") {
            path = rest;
        } else if (kind == "exit") {
            expectedExit = std::stoi(rest);
        } else if (kind == "screenshot") {
            auto w = splitWords(rest);
            if (w.size() != 2) {
                failures.push_back("test.txt: bad line '" + line + "'");
                continue;
            }
            shots.push_back({std::stoll(w[0]), w[1]});
        } else if (kind == "pack") {
            auto w = splitWords(rest);
            if (w.size() != 2) {
                failures.push_back("test.txt: bad line '" + line + "'");
                continue;
            }
            std::string command = "cd " + quote(game.string()) + " && " + quote(program) + " pack " + quote(w[0]) + " " +
                                  quote(w[1]) + " >/dev/null 2>&1";
            if (std::system(command.c_str()) != 0) setUpFailure("packing " + w[0] + " failed");
            fs::remove_all(game / w[0]);
        } else if (kind == "corrupt") {
            auto w = splitWords(rest);
            if (w.size() != 2) {
                failures.push_back("test.txt: bad line '" + line + "'");
                continue;
            }
            std::fstream f(game / w[0], std::ios::in | std::ios::out | std::ios::binary);
            f.seekg(0, std::ios::end);
            long long size = f.tellg(), offset = std::stoll(w[1]);
            if (offset < 0) offset += size;
            if (!f || offset < 0 || offset >= size) {
                setUpFailure("cannot corrupt byte " + w[1] + " of " + w[0]);
                continue;
            }
            char byte = 0;
            f.seekg(offset);
            f.get(byte);
            f.seekp(offset);
            f.put(static_cast<char>(~byte));
        } else if (kind == "var" || kind == "flag" || kind == "log" || kind == "logcontains" || kind == "nolog" ||
                   kind == "file" || kind == "nofile" || kind == "stderr" || kind == "filecontains") {
            checks.emplace_back(kind, rest);
        } else {
            failures.push_back("test.txt: unknown expectation '" + kind + "'");
        }
    }

    const fs::path logPath = work / "log.txt", dumpPath = work / "dump.txt", errPath = work / "stderr.txt";
    std::string command = "cd " + quote(game.string()) + " && " + quote(program) + " --headless --log " + quote(logPath.string()) +
                          " --dump-vars " + quote(dumpPath.string());
    for (const auto& s : shots)
        command += " --screenshot-at " + quote(std::to_string(s.frame) + ":" + (work / ("shot-" + std::to_string(s.frame) + ".png")).string());
    for (const auto& a : args) command += " " + quote(a);
    command += " " + quote(path.empty() ? game.string() : (game / path).string());
    command += " >/dev/null 2>" + quote(errPath.string());
    int status = std::system(command.c_str());
    int exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    std::string errors = readFile(errPath);
    if (exitCode != expectedExit)
        failures.push_back("exit status " + std::to_string(exitCode) + ", expected " + std::to_string(expectedExit) +
                           (errors.empty() ? "" : "; stderr: " + errors));

    const std::vector<std::string> log = lines(readFile(logPath));
    std::map<std::string, std::string> vars, flags;
    for (const std::string& l : lines(readFile(dumpPath))) {
        std::vector<std::string> f;
        std::stringstream ss(l);
        std::string field;
        while (std::getline(ss, field, '\t')) f.push_back(field);
        if (f.size() >= 4 && f[0] == "var") vars[f[1]] = f[3];
        else if (f.size() == 3 && f[0] == "var") vars[f[1]] = "";  // an empty string value
        else if (f.size() >= 3 && f[0] == "flag") flags[f[1]] = f[2];
    }
    auto logHas = [&](const std::string& text) {
        return std::any_of(log.begin(), log.end(), [&](const std::string& l) { return l.find(text) != std::string::npos; });
    };
    for (const auto& [kind, arg] : checks) {
        if (kind == "var" || kind == "flag") {
            size_t space = arg.find(' ');
            std::string key = arg.substr(0, space);
            std::string want = space == std::string::npos ? "" : arg.substr(space + 1);
            auto& table = kind == "var" ? vars : flags;
            auto it = table.find(key);
            std::string got = it == table.end() ? (kind == "flag" ? "0" : "<missing>") : it->second;
            if (got != want) failures.push_back(kind + " " + key + " is '" + got + "', expected '" + want + "'");
        } else if (kind == "log") {
            std::string want;
            std::stringstream ss(arg);
            std::string field;
            bool first = true;
            while (std::getline(ss, field, '|')) {
                if (!first) want += '\t';
                want += trim(field);
                first = false;
            }
            if (std::find(log.begin(), log.end(), want) == log.end()) failures.push_back("log has no line '" + arg + "'");
        } else if (kind == "logcontains") {
            if (!logHas(arg)) failures.push_back("no log line contains '" + arg + "'");
        } else if (kind == "nolog") {
            if (logHas(arg)) failures.push_back("a log line contains '" + arg + "'");
        } else if (kind == "file") {
            if (!fs::exists(game / arg)) failures.push_back("file " + arg + " was not left in the game directory");
        } else if (kind == "nofile") {
            if (fs::exists(game / arg)) failures.push_back("file " + arg + " should not exist after the run");
        } else if (kind == "filecontains") {
            size_t space = arg.find(' ');
            std::string file = arg.substr(0, space), want = space == std::string::npos ? "" : arg.substr(space + 1);
            if (!fs::exists(game / file)) failures.push_back("file " + file + " was not left in the game directory");
            else if (sjisToUtf8(readFile(game / file)).find(want) == std::string::npos)
                failures.push_back("file " + file + " lacks '" + want + "': " + sjisToUtf8(readFile(game / file)));
        } else if (kind == "stderr") {
            if (errors.find(arg) == std::string::npos) failures.push_back("stderr lacks '" + arg + "': " + errors);
        }
    }
    for (const auto& s : shots)
        comparePictures(work / ("shot-" + std::to_string(s.frame) + ".png"), source / s.reference, fs::path(outputDir) / name,
                        "frame-" + std::to_string(s.frame), failures);
    if (!failures.empty()) {
        failures.push_back("log:\n" + readFile(logPath));
    }
    fs::remove_all(work);
    return result;
}

}  // namespace qf::e2e
