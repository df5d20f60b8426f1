#include "voicemsg/image_button_logic.h"

#include <gtest/gtest.h>

namespace {

using namespace image_button;

TEST(ImageButtonLogic, PressedWinsOverHoverAndHoverOverDisabledAndFocusIsPassedOn) {
    EXPECT_EQ(DrawFlags(true, true, false, true), kPressed);
    EXPECT_EQ(DrawFlags(false, true, false, true), kHover);
    EXPECT_EQ(DrawFlags(false, true, true, false), kDisabled | kFocus);
    EXPECT_EQ(DrawFlags(false, false, false, false), 0u);
    // Each drawing takes its image from the strip; focus changes nothing.
    EXPECT_EQ(Compose(0, 26, 22).sourceX, 0);
    EXPECT_EQ(Compose(kFocus, 26, 22).sourceX, 0);
    EXPECT_EQ(Compose(kDisabled, 26, 22).sourceX, 52);
    const Composition hover = Compose(kHover, 26, 22);
    EXPECT_EQ(hover.sourceX, 26);
    EXPECT_FALSE(hover.frames);
    const Composition pressed = Compose(kPressed | kFocus, 26, 22);
    EXPECT_EQ(pressed.sourceX, 26);
    EXPECT_EQ(pressed.destX, 1);
    EXPECT_EQ(pressed.destY, 1);
    EXPECT_EQ(pressed.width, 25);
    EXPECT_EQ(pressed.height, 21);
    EXPECT_TRUE(pressed.frames);
}

TEST(ImageButtonLogic, DrawsItselfWithoutEdgesAndHoversOncePerVisit) {
    EXPECT_EQ(ButtonStyle(0x50010000), 0x5001000Bu);
    EXPECT_EQ(ButtonStyle(0x50010001), 0x50010001u);  // a style of its own is kept
    EXPECT_EQ(ButtonExStyle(0x20204 | 0x20201), 0x4u);
    HoverState state;
    EXPECT_TRUE(state.NeedsTracking());
    state.Tracking(true);
    EXPECT_FALSE(state.NeedsTracking());
    EXPECT_TRUE(state.EnterHover());
    EXPECT_FALSE(state.EnterHover());
    EXPECT_TRUE(state.Hover());
    state.Leave();
    EXPECT_FALSE(state.Hover());
    EXPECT_TRUE(state.NeedsTracking());
}

}  // namespace
