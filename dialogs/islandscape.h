#pragma once

// Whether the phone's screen lies on its side: its height is less than its width. A square
// screen is portrait. The screen is asked each time, never the dialog's own size.
bool IsLandscape();
