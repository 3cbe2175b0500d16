#pragma once

class QWidget;
struct wl_surface;

// Qt's own Wayland objects, reached through its private native interface (Qt 6.4 has no public
// one): for the protocols the program speaks beside Qt on Qt's connection.
namespace WaylandNative {

// The integration's resource of that name ("wl_display", "wl_seat"); null off Wayland or before
// the first window is shown.
void* IntegrationResource(const char* name);
// The surface of the widget's window, asked anew each time: Qt makes a new one when a window is
// shown again. Null without one.
wl_surface* SurfaceOf(QWidget* widget);

} // namespace WaylandNative
