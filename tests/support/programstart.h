#pragma once

// The program started as a test starts it: the one application object named from its resources,
// its InitInstance, and the main frame it made. Ending the program is recorded, not done.
#include "app/mainframe.h"
#include "app/ringlogapp.h"
#include "platform/resources/resourcemodule.h"
#include "tests/support/guitest.h"

namespace guitest {

// Names the application object as the program's start does.
inline void NameTheApplication() {
    RecordExitsInsteadOfEnding();
    theApp.appName.clear();
    ResourceModule::Program().LoadString(CWinApp::kAppTitleStringId, theApp.appName);
}

// The main frame of the started program, or null when the start failed.
inline CMainFrame* StartProgram() {
    NameTheApplication();
    if (!theApp.InitInstance()) {
        return nullptr;
    }
    return static_cast<CMainFrame*>(AfxGetMainWnd());
}

} // namespace guitest
