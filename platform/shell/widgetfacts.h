#pragma once

#include "platform/shell/windowstack.h"

// Whether a window is shown and which window holds which, as the widgets themselves tell it.
class WidgetFacts : public WindowStack::WindowFacts {
public:
    bool IsShown(WindowHandle window) const override;
    bool Holds(WindowHandle topLevel, WindowHandle window) const override;
};
