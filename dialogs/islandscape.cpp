#include "dialogs/islandscape.h"

#include "platform/shell/shellservices.h"

bool IsLandscape() {
    const ScreenSize screen = ShellServices::GetScreenSize();
    return screen.height < screen.width;
}
