#include "voicemsg/image_button_logic.h"

namespace voicemsg::image_button {

uint32_t DrawFlags(bool selected, bool disabled, bool focus, bool hover) {
    uint32_t flags = selected ? kPressed : hover ? kHover : disabled ? kDisabled : 0;
    return focus ? flags | kFocus : flags;
}

Composition Compose(uint32_t flags, int imageWidth, int imageHeight) {
    if (flags & kHover) return {imageWidth, 0, 0, imageWidth, imageHeight, false};
    // Pressed: the hover image one pixel to the right and down, inside two frames.
    if (flags & kPressed) return {imageWidth, 1, 1, imageWidth - 1, imageHeight - 1, true};
    const int image = (flags & kDisabled) ? 2 : 0;
    return {image * imageWidth, 0, 0, imageWidth, imageHeight, false};
}

uint32_t ButtonStyle(uint32_t style) { return (style & kOwnerDrawStyle) ? style : style | kOwnerDrawStyle; }

uint32_t ButtonExStyle(uint32_t exStyle) { return exStyle & ~kRemovedExStyles; }

bool HoverState::EnterHover() {
    if (hover_) return false;
    hover_ = true;
    return true;
}

void HoverState::Leave() {
    tracking_ = false;
    hover_ = false;
}

}  // namespace voicemsg::image_button
