#pragma once

// Who watches the start-up (the start-up benchmark) hears once, at the first paint of a list,
// how many rows it holds. Nothing is installed in the program itself.
using FirstPaintHook = void (*)(int rows);

// Installs the hook (null removes it) and returns the previous one. It is called once, then
// removed.
FirstPaintHook SetFirstPaintHook(FirstPaintHook hook);
