#include "tests/e2e/game_runner.h"

#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
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

constexpr double kPi = 3.14159265358979323846;

// The captured sound: the mono mix (left + right) / 2 and the larger
// magnitude of the two channels, per frame.
struct Capture {
    int rate = 0;
    std::vector<double> mix;
    std::vector<int> peak;
};

uint32_t le32(const std::string& b, size_t at) {
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
           uint32_t(uint8_t(b[at + 3])) << 24;
}
uint16_t le16(const std::string& b, size_t at) { return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8); }

// A 16-bit stereo PCM RIFF WAVE file; false with the reason otherwise.
bool readCapture(const fs::path& path, Capture& out, std::string& error) {
    const std::string b = readFile(path);
    if (b.size() < 12 || b.compare(0, 4, "RIFF") != 0 || b.compare(8, 4, "WAVE") != 0) {
        error = "no WAV file was written";
        return false;
    }
    bool haveFormat = false;
    for (size_t at = 12; at + 8 <= b.size();) {
        const std::string id = b.substr(at, 4);
        const size_t size = le32(b, at + 4), body = at + 8;
        if (size > b.size() - body) {
            error = "chunk '" + id + "' runs past the end of the file";
            return false;
        }
        if (id == "fmt " && size >= 16) {
            if (le16(b, body) != 1 || le16(b, body + 2) != 2 || le16(b, body + 14) != 16) {
                error = "not 16-bit stereo PCM";
                return false;
            }
            out.rate = static_cast<int>(le32(b, body + 4));
            haveFormat = out.rate > 0;
        } else if (id == "data" && haveFormat) {
            for (size_t i = body; i + 4 <= body + size; i += 4) {
                const int left = int16_t(le16(b, i)), right = int16_t(le16(b, i + 2));
                out.mix.push_back((left + right) / 2.0);
                out.peak.push_back(std::max(std::abs(left), std::abs(right)));
            }
            return true;
        }
        at = body + size + (size & 1);
    }
    error = "no format or no data chunk";
    return false;
}

double rmsOf(const std::vector<double>& s, size_t from, size_t to) {
    if (to <= from) return 0;
    double sum = 0;
    for (size_t i = from; i < to; ++i) sum += s[i] * s[i];
    return std::sqrt(sum / double(to - from));
}

// Power of a Hann-windowed stretch at one frequency (Goertzel).
double powerAt(const std::vector<double>& windowed, double hz, int rate) {
    const double coeff = 2 * std::cos(2 * kPi * hz / rate);
    double s1 = 0, s2 = 0;
    for (double x : windowed) {
        const double s0 = x + coeff * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return s1 * s1 + s2 * s2 - coeff * s1 * s2;
}

// The strongest frequency between 20 Hz and 8 kHz: a 2 Hz scan, then a 0.1 Hz
// one around its peak.
double dominantFrequency(const std::vector<double>& s, size_t from, size_t to, int rate) {
    std::vector<double> w(s.begin() + long(from), s.begin() + long(to));
    const size_t n = w.size();
    for (size_t i = 0; i < n; ++i) w[i] *= 0.5 - 0.5 * std::cos(2 * kPi * double(i) / double(n > 1 ? n - 1 : 1));
    auto scan = [&](double lo, double hi, double step) {
        double best = lo, bestPower = -1;
        for (double f = lo; f <= hi; f += step) {
            const double p = powerAt(w, f, rate);
            if (p > bestPower) bestPower = p, best = f;
        }
        return best;
    };
    const double coarse = scan(20, std::min(8000.0, rate / 2.0 - 1), 2);
    return scan(coarse - 2, coarse + 2, 0.1);
}

// The best normalised correlation of s[from, to) with the stretches of the
// same length that start between `lo` and `hi`.
double bestCorrelation(const std::vector<double>& s, size_t from, size_t to, size_t lo, size_t hi) {
    const size_t n = to - from;
    double aa = 0;
    for (size_t i = from; i < to; ++i) aa += s[i] * s[i];
    double best = -1;
    for (size_t at = lo; at < hi && at + n <= s.size(); ++at) {
        double ab = 0, bb = 0;
        for (size_t i = 0; i < n; ++i) {
            ab += s[from + i] * s[at + i];
            bb += s[at + i] * s[at + i];
        }
        if (aa > 0 && bb > 0) best = std::max(best, ab / std::sqrt(aa * bb));
    }
    return best;
}

std::string number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4g", v);
    return text;
}

// One "audio" line: FROM TO CHECK ARGS, times in milliseconds.
void checkAudio(const Capture& c, const std::string& line, std::vector<std::string>& failures) {
    const std::vector<std::string> w = splitWords(line);
    std::vector<double> v;
    for (size_t i = 0; i < w.size(); ++i) {
        if (i == 2) continue;
        char* end = nullptr;
        v.push_back(std::strtod(w[i].c_str(), &end));
        if (end == w[i].c_str() || *end != '\0' || !std::isfinite(v.back())) {
            failures.push_back("test.txt: bad audio line '" + line + "'");
            return;
        }
    }
    static const std::map<std::string, size_t> kArgs = {{"silent", 0}, {"rms", 2},   {"tone", 1},
                                                        {"ratio", 4},  {"found", 3}, {"notfound", 3}};
    const auto kind = w.size() >= 3 ? kArgs.find(w[2]) : kArgs.end();
    if (kind == kArgs.end() || v.size() != 2 + kind->second) {
        failures.push_back("test.txt: bad audio line '" + line + "'");
        return;
    }
    const std::string label = "audio " + line + ": ";
    const double endMs = double(c.mix.size()) * 1000 / c.rate;
    auto frame = [&](double ms) { return static_cast<size_t>(std::max(0.0, ms) * c.rate / 1000); };
    auto inside = [&](double a, double b) {
        if (a < b && b <= endMs) return true;
        failures.push_back(label + "the stretch " + number(a) + ".." + number(b) + " ms is empty or past the capture's end at " +
                           number(endMs) + " ms");
        return false;
    };
    if (!inside(v[0], v[1])) return;
    const size_t from = frame(v[0]), to = frame(v[1]);
    const std::string& check = w[2];
    if (check == "silent") {
        const auto loudest = std::max_element(c.peak.begin() + long(from), c.peak.begin() + long(to));
        if (*loudest > 32)
            failures.push_back(label + "sample " + std::to_string(*loudest) + " at " +
                               number(double(loudest - c.peak.begin()) * 1000 / c.rate) + " ms");
    } else if (check == "rms") {
        const double level = rmsOf(c.mix, from, to);
        if (level < v[2] || level > v[3]) failures.push_back(label + "level " + number(level));
    } else if (check == "tone") {
        const double hz = dominantFrequency(c.mix, from, to, c.rate);
        if (std::abs(hz - v[2]) > 0.03 * v[2]) failures.push_back(label + "dominant frequency " + number(hz) + " Hz");
    } else if (check == "ratio") {
        if (!inside(v[2], v[3])) return;
        const double other = rmsOf(c.mix, frame(v[2]), frame(v[3]));
        const double ratio = other > 0 ? rmsOf(c.mix, from, to) / other : INFINITY;
        if (ratio < v[4] || ratio > v[5]) failures.push_back(label + "ratio " + number(ratio));
    } else {
        if (!inside(v[2], v[3])) return;
        const double best = bestCorrelation(c.mix, from, to, frame(v[2]), frame(v[3]));
        if (check == "found" ? best < v[4] : best > v[4]) failures.push_back(label + "best correlation " + number(best));
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
    std::vector<std::string> audioChecks;
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
        } else if (kind == "outside") {
            // A file beside the game directory, where a hostile game must not reach.
            size_t cut = rest.find(' ');
            std::string file = rest.substr(0, cut), content = cut == std::string::npos ? "" : rest.substr(cut + 1);
            fs::create_directories(work / "outside");
            std::ofstream(work / "outside" / file, std::ios::binary) << content;
        } else if (kind == "symlink") {
            auto w = splitWords(rest);
            std::error_code ec;
            if (w.size() != 2) failures.push_back("test.txt: bad line '" + line + "'");
            else fs::create_symlink(w[1], game / w[0], ec);
            if (ec) setUpFailure("cannot make the link " + w[0] + ": " + ec.message());
        } else if (kind == "audio") {
            audioChecks.push_back(rest);
        } else if (kind == "var" || kind == "flag" || kind == "log" || kind == "logcontains" || kind == "nolog" ||
                   kind == "logorder" ||
                   kind == "file" || kind == "nofile" || kind == "stderr" || kind == "filecontains" ||
                   kind == "outsidecontains" || kind == "outsideonly" || kind == "noparent" || kind == "noabsolute") {
            if (kind == "noabsolute") fs::remove(rest);  // left by an earlier run, if any
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
    const fs::path audioPath = work / "audio.wav";
    if (!audioChecks.empty()) command += " --audio-out " + quote(audioPath.string());
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
        } else if (kind == "logorder") {
            // Each text in a later log line than the one before it.
            size_t at = 0;
            size_t start = 0;
            while (start <= arg.size()) {
                size_t end = arg.find(" || ", start);
                std::string text = trim(arg.substr(start, end == std::string::npos ? std::string::npos : end - start));
                while (at < log.size() && log[at].find(text) == std::string::npos) ++at;
                if (at == log.size()) {
                    failures.push_back("log order '" + arg + "': no later line contains '" + text + "'");
                    break;
                }
                ++at;
                if (end == std::string::npos) break;
                start = end + 4;
            }
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
        } else if (kind == "outsidecontains") {
            size_t space = arg.find(' ');
            std::string file = arg.substr(0, space), want = space == std::string::npos ? "" : arg.substr(space + 1);
            std::string got = readFile(work / "outside" / file);
            if (got != want) failures.push_back("outside file " + file + " holds '" + got + "', expected '" + want + "'");
        } else if (kind == "outsideonly") {
            std::vector<std::string> want = splitWords(arg), got;
            for (const auto& entry : fs::directory_iterator(work / "outside")) got.push_back(entry.path().filename().string());
            std::sort(want.begin(), want.end());
            std::sort(got.begin(), got.end());
            if (got != want) {
                std::string listing;
                for (const auto& n : got) listing += " " + n;
                failures.push_back("the outside directory holds" + listing);
            }
        } else if (kind == "noparent") {
            if (fs::exists(fs::symlink_status(work / arg))) failures.push_back(arg + " appeared beside the game directory");
        } else if (kind == "noabsolute") {
            if (fs::exists(fs::symlink_status(arg))) {
                failures.push_back(arg + " was written outside the game directory");
                fs::remove(arg);
            }
        } else if (kind == "stderr") {
            if (errors.find(arg) == std::string::npos) failures.push_back("stderr lacks '" + arg + "': " + errors);
        }
    }
    if (!audioChecks.empty()) {
        Capture capture;
        std::string error;
        if (!readCapture(audioPath, capture, error)) failures.push_back("the sound capture: " + error);
        else
            for (const std::string& line : audioChecks) checkAudio(capture, line, failures);
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
