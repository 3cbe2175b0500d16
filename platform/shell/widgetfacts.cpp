#include "platform/shell/widgetfacts.h"

#include <QWidget>

bool WidgetFacts::IsShown(WindowHandle window) const {
    return window != nullptr && !window->isHidden();
}

bool WidgetFacts::Holds(WindowHandle topLevel, WindowHandle window) const {
    return topLevel != nullptr && window != nullptr && (topLevel == window || topLevel->isAncestorOf(window));
}
