#pragma once
#include <cstdint>

// What an image button draws and when, without the window: the strip holds
// images of W x H side by side (0 normal, 1 hover and pressed, 2 disabled).
namespace voicemsg::image_button {

// Flags of one drawing.
constexpr uint32_t kPressed = 0x01;
constexpr uint32_t kHover = 0x02;
constexpr uint32_t kFocus = 0x08;  // passed on, drawn no differently
constexpr uint32_t kDisabled = 0x20;

constexpr uint32_t kFrameColour = 0xFAC069;  // RGB(105, 192, 250) as a COLORREF
constexpr uint32_t kHoverTimeMs = 10;
constexpr uint32_t kOwnerDrawStyle = 0x0B;       // any of these bits keeps the button's own drawing style
constexpr uint32_t kRemovedExStyles = 0x20201;   // static edge, client edge, dialog modal frame

// Pressed wins over hover, hover over disabled.
uint32_t DrawFlags(bool selected, bool disabled, bool focus, bool hover);

// One copy from the strip into the button, and whether the two frames follow.
struct Composition {
    int sourceX, destX, destY, width, height;
    bool frames;
};
Composition Compose(uint32_t flags, int imageWidth, int imageHeight);

// The button's window styles once it draws itself.
uint32_t ButtonStyle(uint32_t style);
uint32_t ButtonExStyle(uint32_t exStyle);

// Hover: entered when the mouse rests on the button, left when it leaves.
// One tracking request is active at a time.
class HoverState {
public:
    // On a mouse move: whether a tracking request is to be made now.
    bool NeedsTracking() const { return !tracking_; }
    void Tracking(bool active) { tracking_ = active; }
    // On a hover report: whether the button must be redrawn.
    bool EnterHover();
    void Leave();
    bool Hover() const { return hover_; }

private:
    bool tracking_ = false;
    bool hover_ = false;
};

}  // namespace voicemsg::image_button
