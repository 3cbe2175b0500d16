#pragma once

// How the program ends. EndProcess flushes the standard streams and ends the process at once with
// the code, without the statics' destructors and whatever threads Qt started; no window is closed
// first. Tests replace the end with a hook that records
// the code instead, and then EndProcess returns.
using EndProcessHook = void (*)(int exitCode);

void EndProcess(int exitCode);
EndProcessHook SetEndProcessHook(EndProcessHook hook);

// Asks the message loop to end with the code, after the events already queued.
void PostQuitMessage(int exitCode);

// The application's message loop: runs until a quit request, returns its code.
int RunMessageLoop();
