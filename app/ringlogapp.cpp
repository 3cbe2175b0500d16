#include "app/ringlogapp.h"

#include "app/mainframe.h"
#include "app/ringlogdoc.h"
#include "platform/shell/shellservices.h"
#include "platform/ui/singledoctemplate.h"
#include "resources/resource.h"
#include "view/ringlogview.h"

#include <new>

CRinglogApp theApp;

CRinglogApp::CRinglogApp() = default;

bool CRinglogApp::InitInstance() {
    ShellServices::InitShellControls();
    SetRegistryKey(u"Local AppWizard-Generated Applications");

    auto* docTemplate = new (std::nothrow) CSingleDocTemplate(
        IDR_MAINFRAME, RuntimeClassOf<CRinglogDoc>(), RuntimeClassOf<CMainFrame>(), RuntimeClassOf<CRinglogView>());
    if (docTemplate == nullptr) {
        return false;
    }
    AddDocTemplate(docTemplate);

    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    if (!ProcessShellCommand(cmdInfo)) {
        return false;
    }

    mainWnd->ShowWindow(SW_SHOW);
    mainWnd->UpdateWindow();
    return true;
}
