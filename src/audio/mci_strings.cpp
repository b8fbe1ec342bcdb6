// MCI command strings for wave-audio devices opened by name.
#include <cctype>
#include <sstream>
#include <vector>

#include "audio/mci_devices.h"
#include "audio/leading_integer.h"
#include "platform/audio/wav_decode.h"

namespace qf {

namespace {

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::vector<std::string> words(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string w;
    while (in >> w) out.push_back(w);
    return out;
}

// The value that follows `keyword` among the words after the device name.
const std::string* valueOf(const std::vector<std::string>& w, const char* keyword) {
    for (size_t i = 2; i + 1 < w.size(); ++i)
        if (lower(w[i]) == keyword) return &w[i + 1];
    return nullptr;
}

}  // namespace

std::string MciDevices::mciCommandText(const std::string& text) {
    if (!text.empty() && text[0] == '"') {
        size_t close = text.find('"', 1);
        return text.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    }
    return text.substr(0, text.find('"'));
}

int MciDevices::findNamed(const std::string& name) const {
    const std::string key = lower(name);
    for (int i = 0; i < kNamedDevices; ++i)
        if (!named_[i].alias.empty() && lower(named_[i].alias) == key) return i;
    return -1;
}

bool MciDevices::openNamed(const std::string& element, const std::string& alias) {
    if (element.empty() || alias.empty() || findNamed(alias) >= 0) return false;
    int slot = -1;
    for (int i = 0; i < kNamedDevices && slot < 0; ++i)
        if (named_[i].alias.empty()) slot = i;
    if (slot < 0) return false;
    std::vector<uint8_t> image;
    if (!services_.readDiskFile || !services_.readDiskFile(element, image)) return false;
    std::shared_ptr<const PcmClip> clip = decodeWavImage(image.data(), image.size(), nullptr);
    if (!clip) return false;
    named_[slot] = Named{alias, clip->sampleRate, clip->sourceRate, false};
    device_.openWavePlayer(kDevices + slot, std::move(clip));
    return true;
}

int64_t MciDevices::toFrames(const Named& d, const std::string& number) const {
    int64_t v = leadingInteger(number);
    if (v < 0) v = 0;
    return d.samples ? v * d.rate / d.sourceRate : v * d.rate / 1000;
}

void MciDevices::sendString(const std::string& commandSjis) {
    const std::vector<std::string> w = words(commandSjis);
    if (w.size() < 2) return;
    const std::string verb = lower(w[0]);
    const std::string& name = w[1];

    if (verb == "open") {
        std::string element = name;
        std::string type;
        if (const std::string* t = valueOf(w, "type")) type = lower(*t);
        size_t bang = element.find('!');
        if (bang != std::string::npos) {
            type = lower(element.substr(0, bang));
            element = element.substr(bang + 1);
        }
        if (!type.empty() && type != "waveaudio") return;
        const std::string* alias = valueOf(w, "alias");
        openNamed(element, alias ? *alias : element);
        return;
    }
    if (verb == "close" && lower(name) == "all") {
        for (int i = 0; i < kNamedDevices; ++i) {
            if (named_[i].alias.empty()) continue;
            device_.closeWavePlayer(kDevices + i);
            named_[i] = Named{};
        }
        for (int n = 0; n < kDevices; ++n) close(n);
        return;
    }

    int slot = findNamed(name);
    if (slot < 0 && verb == "play" && openNamed(name, name)) slot = findNamed(name);
    if (slot < 0) return;
    Named& d = named_[slot];
    const int id = kDevices + slot;

    if (verb == "play") {
        const std::string* from = valueOf(w, "from");
        const std::string* to = valueOf(w, "to");
        device_.playWavePlayer(id, from ? toFrames(d, *from) : -1, to ? toFrames(d, *to) : -1);
    } else if (verb == "stop" || verb == "pause") {
        device_.stopWavePlayer(id);
    } else if (verb == "resume") {
        device_.playWavePlayer(id, -1, -1);
    } else if (verb == "seek") {
        const std::string* to = valueOf(w, "to");
        if (!to) return;
        const std::string where = lower(*to);
        if (where == "start") device_.seekWavePlayer(id, 0);
        else if (where == "end") device_.seekWavePlayer(id, device_.wavePlayerLength(id));
        else device_.seekWavePlayer(id, toFrames(d, *to));
    } else if (verb == "set") {
        const std::string* format = valueOf(w, "format");
        if (!format) return;
        const std::string f = lower(*format);
        if (f == "milliseconds" || f == "ms") d.samples = false;
        else if (f == "samples") d.samples = true;
    } else if (verb == "close") {
        device_.closeWavePlayer(id);
        d = Named{};
    }
}

}  // namespace qf
