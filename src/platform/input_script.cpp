#include "platform/input_script.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/host.h"

namespace qf {

namespace {

struct NamedKey {
    const char* name;
    int code;
};

constexpr NamedKey kNamedKeys[] = {
    {"LBUTTON", vk::LBUTTON}, {"RBUTTON", vk::RBUTTON}, {"MBUTTON", vk::MBUTTON},
    {"BACK", vk::BACK}, {"BACKSPACE", vk::BACK}, {"TAB", vk::TAB}, {"RETURN", vk::RETURN}, {"ENTER", vk::RETURN},
    {"SHIFT", vk::SHIFT}, {"CONTROL", vk::CONTROL}, {"MENU", vk::MENU}, {"ALT", vk::MENU},
    {"ESCAPE", vk::ESCAPE}, {"ESC", vk::ESCAPE}, {"SPACE", vk::SPACE},
    {"PRIOR", vk::PRIOR}, {"PAGEUP", vk::PRIOR}, {"NEXT", vk::NEXT}, {"PAGEDOWN", vk::NEXT},
    {"END", vk::END}, {"HOME", vk::HOME}, {"LEFT", vk::LEFT}, {"UP", vk::UP}, {"RIGHT", vk::RIGHT}, {"DOWN", vk::DOWN},
    {"INSERT", vk::INSERT}, {"DELETE", vk::DELETE_},
    {"LSHIFT", vk::LSHIFT}, {"RSHIFT", vk::RSHIFT}, {"LCONTROL", vk::LCONTROL}, {"RCONTROL", vk::RCONTROL},
    {"LMENU", vk::LMENU}, {"RMENU", vk::RMENU},
    {"OEM_1", vk::OEM_1}, {"OEM_PLUS", vk::OEM_PLUS}, {"OEM_COMMA", vk::OEM_COMMA}, {"OEM_MINUS", vk::OEM_MINUS},
    {"OEM_PERIOD", vk::OEM_PERIOD}, {"OEM_2", vk::OEM_2}, {"OEM_3", vk::OEM_3}, {"OEM_4", vk::OEM_4},
    {"OEM_5", vk::OEM_5}, {"OEM_6", vk::OEM_6}, {"OEM_7", vk::OEM_7},
};

std::string upper(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return r;
}

// Mouse coordinates and wheel movements are bounded so that they, and their sums, stay far inside an int.
constexpr long long kCoordinateLimit = 1000000;
constexpr long long kWheelLimit = 120000;

bool parseNumber(std::string_view word, long long& value) {
    if (word.empty()) return false;
    std::string s(word);
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(s.c_str(), &end, 0);
    return errno == 0 && end && *end == '\0';
}

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> out;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
        size_t start = i;
        while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) ++i;
        if (i > start) out.push_back(line.substr(start, i - start));
    }
    return out;
}

int mouseButtonKey(std::string_view name) {
    std::string n = upper(name);
    if (n == "LEFT") return vk::LBUTTON;
    if (n == "RIGHT") return vk::RBUTTON;
    if (n == "MIDDLE") return vk::MBUTTON;
    return -1;
}

}  // namespace

int virtualKeyFromName(std::string_view name) {
    if (name.empty()) return -1;
    long long number = 0;
    if (std::isdigit(static_cast<unsigned char>(name[0])) && name.size() > 1 && parseNumber(name, number)) {
        return number >= 0 && number < 256 ? static_cast<int>(number) : -1;
    }
    std::string n = upper(name);
    if (n.size() == 1 && ((n[0] >= 'A' && n[0] <= 'Z') || (n[0] >= '0' && n[0] <= '9'))) return n[0];
    if (n.size() >= 2 && n[0] == 'F' && std::all_of(n.begin() + 1, n.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
        int f = std::atoi(n.c_str() + 1);
        if (f >= 1 && f <= 24) return vk::F1 + f - 1;
        return -1;
    }
    if (n.size() == 7 && n.compare(0, 6, "NUMPAD") == 0 && std::isdigit(static_cast<unsigned char>(n[6]))) return vk::NUMPAD0 + (n[6] - '0');
    for (const NamedKey& k : kNamedKeys)
        if (n == k.name) return k.code;
    return -1;
}

bool parseInputScript(std::string_view text, InputScript& out, std::string& error) {
    out = InputScript{};
    int lineNo = 0;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNo;
        size_t hash = line.find('#');
        if (hash != std::string_view::npos) line = line.substr(0, hash);
        auto w = words(line);
        if (w.empty()) {
            if (end == text.size()) break;
            continue;
        }
        auto fail = [&](const std::string& why) {
            error = "line " + std::to_string(lineNo) + ": " + why;
            return false;
        };
        InputEvent ev;
        ev.line = lineNo;
        long long when = 0;
        if (w[0][0] == '@') {
            ev.atTime = true;
            if (!parseNumber(w[0].substr(1), when) || when < 0) return fail("bad time '" + std::string(w[0]) + "'");
        } else {
            if (!parseNumber(w[0], when) || when < 1) return fail("bad frame number '" + std::string(w[0]) + "' (frames count from 1)");
        }
        ev.when = static_cast<uint64_t>(when);
        if (w.size() < 2) return fail("missing event");
        std::string kind = upper(w[1]);
        auto needArgs = [&](size_t n) { return w.size() == n; };
        auto push = [&](const InputEvent& e) { (e.atTime ? out.timeEvents : out.frameEvents).push_back(e); };
        long long a = 0, b = 0;
        if (kind == "KEY" || kind == "TAP") {
            size_t keyIndex = 2;
            bool down = true;
            if (kind == "KEY") {
                if (!needArgs(4)) return fail("expected 'key down|up KEY'");
                std::string dir = upper(w[2]);
                if (dir != "DOWN" && dir != "UP") return fail("expected 'down' or 'up' after 'key'");
                down = dir == "DOWN";
                keyIndex = 3;
            } else if (!needArgs(3)) {
                return fail("expected 'tap KEY'");
            }
            int code = virtualKeyFromName(w[keyIndex]);
            if (code < 0) return fail("unknown key '" + std::string(w[keyIndex]) + "'");
            ev.a = code;
            ev.kind = down ? InputEvent::Kind::KeyDown : InputEvent::Kind::KeyUp;
            push(ev);
            if (kind == "TAP") {
                ev.kind = InputEvent::Kind::KeyUp;
                ev.when += ev.atTime ? 16 : 1;
                push(ev);
            }
        } else if (kind == "MOUSE") {
            if (w.size() < 3) return fail("expected 'mouse move X Y' or 'mouse down|up BUTTON'");
            std::string what = upper(w[2]);
            if (what == "MOVE") {
                if (!needArgs(5) || !parseNumber(w[3], a) || !parseNumber(w[4], b) || a < -kCoordinateLimit ||
                    a > kCoordinateLimit || b < -kCoordinateLimit || b > kCoordinateLimit)
                    return fail("expected 'mouse move X Y' with X and Y within ±1000000");
                ev.kind = InputEvent::Kind::MouseMove;
                ev.a = static_cast<int>(a);
                ev.b = static_cast<int>(b);
            } else if (what == "DOWN" || what == "UP") {
                if (!needArgs(4)) return fail("expected 'mouse down|up left|right|middle'");
                int key = mouseButtonKey(w[3]);
                if (key < 0) return fail("unknown mouse button '" + std::string(w[3]) + "'");
                ev.kind = what == "DOWN" ? InputEvent::Kind::MouseDown : InputEvent::Kind::MouseUp;
                ev.a = key;
            } else {
                return fail("unknown mouse event '" + std::string(w[2]) + "'");
            }
            push(ev);
        } else if (kind == "WHEEL") {
            if (!needArgs(3) || !parseNumber(w[2], a) || a < -kWheelLimit || a > kWheelLimit)
                return fail("expected 'wheel DELTA' with DELTA within ±120000");
            ev.kind = InputEvent::Kind::Wheel;
            ev.a = static_cast<int>(a);
            push(ev);
        } else if (kind == "FOCUS") {
            if (!needArgs(3)) return fail("expected 'focus on|off'");
            std::string st = upper(w[2]);
            if (st == "ON") ev.kind = InputEvent::Kind::FocusOn;
            else if (st == "OFF") ev.kind = InputEvent::Kind::FocusOff;
            else return fail("expected 'focus on|off'");
            push(ev);
        } else if (kind == "JOY") {
            if (w.size() < 3) return fail("expected 'joy axis N V' or 'joy button N down|up'");
            std::string what = upper(w[2]);
            if (what == "AXIS") {
                if (!needArgs(5) || !parseNumber(w[3], a) || !parseNumber(w[4], b) || a < 0 || a > 1 || b < 0 || b > 65535)
                    return fail("expected 'joy axis 0|1 0..65535'");
                ev.kind = InputEvent::Kind::JoyAxis;
            } else if (what == "BUTTON") {
                if (!needArgs(5) || !parseNumber(w[3], a) || a < 1 || a > 32) return fail("expected 'joy button 1..32 down|up'");
                std::string dir = upper(w[4]);
                if (dir == "DOWN") ev.kind = InputEvent::Kind::JoyButtonDown;
                else if (dir == "UP") ev.kind = InputEvent::Kind::JoyButtonUp;
                else return fail("expected 'joy button N down|up'");
            } else {
                return fail("unknown joystick event '" + std::string(w[2]) + "'");
            }
            ev.a = static_cast<int>(a);
            ev.b = static_cast<int>(b);
            push(ev);
        } else {
            return fail("unknown event '" + std::string(w[1]) + "'");
        }
        if (end == text.size()) break;
    }
    auto byWhen = [](const InputEvent& x, const InputEvent& y) { return x.when < y.when; };
    std::stable_sort(out.frameEvents.begin(), out.frameEvents.end(), byWhen);
    std::stable_sort(out.timeEvents.begin(), out.timeEvents.end(), byWhen);
    return true;
}

bool loadInputScript(const std::string& path, InputScript& out, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read input script '" + path + "'";
        return false;
    }
    std::stringstream ss;
    ss << in.rdbuf();
    std::string why;
    if (!parseInputScript(ss.str(), out, why)) {
        error = path + ": " + why;
        return false;
    }
    return true;
}

}  // namespace qf
