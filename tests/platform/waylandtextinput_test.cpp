// When the program speaks text-input v3 itself: only where Qt does not open the phone's keyboard.
#include "platform/ui/waylandtextinput.h"

#include <gtest/gtest.h>

namespace {

const int kQt64 = 0x060402;
const int kQt67 = 0x060700;
const QString kWayland = QStringLiteral("wayland");
const QStringList kPhoneCompositor = {QStringLiteral("wl_compositor"), QStringLiteral("wl_seat"),
                                      QStringLiteral("zwp_text_input_manager_v3"),
                                      QStringLiteral("zwp_input_method_manager_v2")};

TEST(WaylandTextInput, SpokenOnWaylandWithAnOldQtWhenTheCompositorOffersVersionThreeAlone) {
    EXPECT_TRUE(WaylandTextInput::Wanted(kWayland, kPhoneCompositor, false, kQt64));
}

TEST(WaylandTextInput, NotSpokenWhereQtOrTheUserOpensTheKeyboard) {
    EXPECT_FALSE(WaylandTextInput::Wanted(QStringLiteral("xcb"), kPhoneCompositor, false, kQt64));
    EXPECT_FALSE(WaylandTextInput::Wanted(QStringLiteral("offscreen"), kPhoneCompositor, false, kQt64));
    EXPECT_FALSE(WaylandTextInput::Wanted(kWayland, kPhoneCompositor, false, kQt67));
    EXPECT_FALSE(WaylandTextInput::Wanted(kWayland, kPhoneCompositor, true, kQt64));
    for (const char* own :
         {"zwp_text_input_manager_v1", "zwp_text_input_manager_v2", "qt_text_input_method_manager_v1"}) {
        EXPECT_FALSE(
            WaylandTextInput::Wanted(kWayland, kPhoneCompositor + QStringList{QString::fromUtf8(own)}, false, kQt64))
            << own;
    }
}

TEST(WaylandTextInput, NotSpokenWithoutTheManager) {
    EXPECT_FALSE(
        WaylandTextInput::Wanted(kWayland, {QStringLiteral("wl_compositor"), QStringLiteral("wl_seat")}, false, kQt64));
}

} // namespace
