#pragma once

// The End key ends the whole program wherever it is released, over a dialog too: the main
// frame's quit command runs as if chosen from its menu. Other keys are left alone.
void QuitOnEndKey(unsigned virtualKey);
