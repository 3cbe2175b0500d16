#pragma once

#include "platform/ui/winapp.h"

// The application object: its initialisation makes the shell's controls, the document template and
// the one new document with its main frame and view.
class CRinglogApp : public CWinApp {
public:
    CRinglogApp();

    bool InitInstance() override;
};

extern CRinglogApp theApp;
