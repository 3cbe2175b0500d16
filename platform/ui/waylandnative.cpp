#include "platform/ui/waylandnative.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <qpa/qplatformnativeinterface.h>

namespace WaylandNative {

void* IntegrationResource(const char* name) {
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    return native != nullptr ? native->nativeResourceForIntegration(name) : nullptr;
}

wl_surface* SurfaceOf(QWidget* widget) {
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    QWindow* window = widget != nullptr ? widget->window()->windowHandle() : nullptr;
    if (native == nullptr || window == nullptr) {
        return nullptr;
    }
    return static_cast<wl_surface*>(native->nativeResourceForWindow("surface", window));
}

} // namespace WaylandNative
