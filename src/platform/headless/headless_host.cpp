#include "platform/headless/headless_host.h"


namespace qf {

HeadlessHost::HeadlessHost() { log_.keepLines(true); }

HeadlessHost::~HeadlessHost() = default;

void HeadlessHost::advanceSound(uint64_t fromUs) {
    const uint32_t ms = static_cast<uint32_t>(clockUs_ / 1000 - fromUs / 1000);
    if (ms == 0) return;
    captured_.clear();
    mixer_.advanceMs(ms, capture_ ? &captured_ : nullptr);
    if (capture_ && !captured_.empty()) capture_->write(captured_.data(), captured_.size() / 2);
}

bool HeadlessHost::captureAudio(const std::string& path, std::string& error) {
    auto writer = std::make_unique<WavWriter>();
    if (!writer->open(path, Mixer::kRate, Mixer::kChannels)) {
        error = writer->error();
        return false;
    }
    capture_ = std::move(writer);
    return true;
}

bool HeadlessHost::finishAudioCapture(std::string& error) {
    if (!capture_) return true;
    const bool ok = capture_->finish();
    if (!ok) error = capture_->error();
    capture_.reset();
    return ok;
}

void HeadlessHost::sleepMs(uint32_t ms) {
    const uint64_t from = clockUs_;
    clockUs_ += static_cast<uint64_t>(ms) * 1000;
    advanceSound(from);
    applyDueEvents();
}

bool HeadlessHost::waitForVerticalBlank() {
    ++verticalBlankWaits_;
    const uint64_t from = clockUs_;
    int hz = refreshRate_ > 0 ? refreshRate_ : 60;
    // Vertical blanks fall at multiples of 1/hz s; waiting moves to the next one.
    uint64_t n = clockUs_ * static_cast<uint64_t>(hz) / 1000000 + 1;
    clockUs_ = (n * 1000000 + static_cast<uint64_t>(hz) - 1) / static_cast<uint64_t>(hz);
    advanceSound(from);
    applyDueEvents();
    return true;
}

void HeadlessHost::present(const uint8_t* bgr, int width, int height, Rect) {
    ++presentCount_;
    lastFrameWidth_ = width;
    lastFrameHeight_ = height;
    lastFrame_.assign(bgr, bgr + static_cast<size_t>(width) * height * 3);
}

PumpResult HeadlessHost::pumpEvents() {
    applyDueEvents();
    return PumpResult::Idle;
}

void HeadlessHost::applyDueEvents() {
    while (nextTimeEvent_ < input_.timeEvents.size() && input_.timeEvents[nextTimeEvent_].when * 1000 <= clockUs_)
        apply(input_.timeEvents[nextTimeEvent_++]);
    // Events of frame N apply before anything of frame N runs, i.e. once N-1 frames have run.
    while (nextFrameEvent_ < input_.frameEvents.size() && input_.frameEvents[nextFrameEvent_].when <= framesRun_ + 1)
        apply(input_.frameEvents[nextFrameEvent_++]);
}

void HeadlessHost::setKey(int virtualKey, bool down) {
    if (virtualKey < 0 || virtualKey > 255) return;
    uint8_t& k = keys_[virtualKey];
    if (down) {
        if (!(k & 0x80)) k ^= 1;  // the toggle flips on each press
        k |= 0x80;
    } else {
        k &= static_cast<uint8_t>(~0x80);
    }
    // The generic modifier keys follow their left and right keys.
    auto mirror = [&](int generic, int left, int right) {
        if (virtualKey == left || virtualKey == right) {
            bool held = (keys_[left] & 0x80) || (keys_[right] & 0x80);
            keys_[generic] = static_cast<uint8_t>((keys_[generic] & 1) | (held ? 0x80 : 0));
        }
    };
    mirror(vk::SHIFT, vk::LSHIFT, vk::RSHIFT);
    mirror(vk::CONTROL, vk::LCONTROL, vk::RCONTROL);
    mirror(vk::MENU, vk::LMENU, vk::RMENU);
}

void HeadlessHost::apply(const InputEvent& e) {
    using K = InputEvent::Kind;
    switch (e.kind) {
        case K::KeyDown: setKey(e.a, true); break;
        case K::KeyUp: setKey(e.a, false); break;
        case K::MouseMove: cursorX_ = e.a; cursorY_ = e.b; break;
        case K::MouseDown: setKey(e.a, true); break;
        case K::MouseUp: setKey(e.a, false); break;
        case K::Wheel: addWheel(e.a); break;
        case K::FocusOff: focus_ = false; break;
        case K::FocusOn: focus_ = true; break;
        case K::JoyAxis: (e.a == 0 ? joystick_.x : joystick_.y) = static_cast<uint32_t>(e.b); break;
        case K::JoyButtonDown: joystick_.buttons |= 1u << (e.a - 1); break;
        case K::JoyButtonUp: joystick_.buttons &= ~(1u << (e.a - 1)); break;
    }
}

int16_t HeadlessHost::keyState(int virtualKey) {
    if (virtualKey < 0 || virtualKey > 255) return 0;
    uint8_t k = keys_[virtualKey];
    return static_cast<int16_t>(((k & 0x80) ? 0x8000 : 0) | (k & 1));
}

bool HeadlessHost::cursorInClient() {
    return cursorX_ >= 0 && cursorY_ >= 0 && cursorX_ < clientWidth_ && cursorY_ < clientHeight_;
}

int HeadlessHost::takeWheelDelta() {
    int d = wheel_;
    wheel_ = 0;
    return d;
}

void HeadlessHost::messageBox(std::string_view captionSjis, std::string_view textSjis) { log_.messageBox(captionSjis, textSjis); }

void HeadlessHost::debugOutput(std::string_view sjis) { log_.debugLine(sjis); }

}  // namespace qf
