#include "platform/host.h"
#include "platform/text/freetype_text.h"

namespace qf {

std::unique_ptr<Font> Host::createFont(const FontDescription& description) {
    if (!text_) text_ = std::make_shared<FreeTypeText>();
    return text_->createFont(description);
}

int Host::installPrivateFont(const uint8_t* data, size_t size) {
    if (!text_) text_ = std::make_shared<FreeTypeText>();
    return text_->installPrivateFont(data, size);
}

void Host::removePrivateFont(int handle) {
    if (text_) text_->removePrivateFont(handle);
}

}  // namespace qf
