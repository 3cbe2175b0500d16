#pragma once

class QWidget;

// A window as the program's own code holds it: opaque, passed back to the shell and the framework.
using WindowHandle = QWidget*;
