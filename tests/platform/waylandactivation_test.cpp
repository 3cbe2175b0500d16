// The token a later start hands to the running program: the launcher's, used once, or none off
// Wayland. The compositor's own token is tested in the phone's session (e2e_phone).
#include "platform/ui/waylandactivation.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

class ActivationToken : public testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"XDG_ACTIVATION_TOKEN", "WAYLAND_DISPLAY"}) {
            const char* value = std::getenv(name);
            saved.emplace_back(name, value != nullptr ? std::optional<std::string>(value) : std::nullopt);
        }
    }
    void TearDown() override {
        for (const auto& [name, value] : saved) {
            if (value) {
                setenv(name, value->c_str(), 1);
            } else {
                unsetenv(name);
            }
        }
    }

    std::vector<std::pair<const char*, std::optional<std::string>>> saved;
};

TEST_F(ActivationToken, LaunchersTokenIsHandedOnOnceAndNoneIsMadeOffWayland) {
    unsetenv("WAYLAND_DISPLAY");
    setenv("XDG_ACTIVATION_TOKEN", "launcher-token-7", 1);
    EXPECT_EQ(WaylandActivation::TokenForRunningProgram("com.zonrik.Ringlog"), "launcher-token-7");
    // Used up: a program started from this one does not hand it on again.
    EXPECT_EQ(std::getenv("XDG_ACTIVATION_TOKEN"), nullptr);
    EXPECT_EQ(WaylandActivation::TokenForRunningProgram("com.zonrik.Ringlog"), "");
    setenv("XDG_ACTIVATION_TOKEN", "", 1);
    EXPECT_EQ(WaylandActivation::TokenForRunningProgram("com.zonrik.Ringlog"), "");
}

TEST_F(ActivationToken, NoCompositorGivesNoToken) {
    unsetenv("XDG_ACTIVATION_TOKEN");
    // An absolute path: no runtime folder needed to look for it.
    setenv("WAYLAND_DISPLAY", "/nonexistent/ringlog-no-such-compositor", 1);
    EXPECT_EQ(WaylandActivation::TokenForRunningProgram("com.zonrik.Ringlog"), "");
}

} // namespace
