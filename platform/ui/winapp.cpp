#include "platform/ui/winapp.h"

#include "platform/ui/process.h"
#include "platform/ui/singledoctemplate.h"
#include "platform/ui/wnd.h"

#include <QApplication>

namespace {

CWinApp* theApplication = nullptr;

} // namespace

CWinApp::CWinApp(const char16_t* name) : appName(name != nullptr ? name : u"") {
    theApplication = this;
}

CWinApp::~CWinApp() {
    if (theApplication == this) {
        theApplication = nullptr;
    }
}

bool CWinApp::InitInstance() {
    return true;
}

int CWinApp::Run() {
    return RunMessageLoop();
}

void CWinApp::SetRegistryKey(const char16_t* key) {
    // Nothing is ever stored under the key: the program keeps no settings.
    registryKey = key != nullptr ? key : u"";
}

void CWinApp::AddDocTemplate(CSingleDocTemplate* docTemplate) {
    if (docTemplate != nullptr) {
        templates.emplace_back(docTemplate);
    }
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info) {
    // The platform's own switches were taken off before; the program defines none.
    info.shellCommand = CCommandLineInfo::FileNew;
}

bool CWinApp::ProcessShellCommand(CCommandLineInfo& info) {
    if (info.shellCommand != CCommandLineInfo::FileNew) {
        return true;
    }
    OnFileNew();
    return mainWnd != nullptr;
}

void CWinApp::OnFileNew() {
    if (CSingleDocTemplate* docTemplate = FirstDocTemplate()) {
        docTemplate->OpenDocumentFile(nullptr);
    }
}

void CWinApp::ResetFramework() {
    if (CWnd* frame = mainWnd) {
        mainWnd = nullptr;
        frame->DestroyWindow();
        delete frame;
    }
    templates.clear();
    CWnd::ForgetActiveWindow();
}

CSingleDocTemplate* CWinApp::FirstDocTemplate() const {
    return templates.empty() ? nullptr : templates.front().get();
}

CWinApp* AfxGetApp() {
    return theApplication;
}

CWnd* AfxGetMainWnd() {
    return theApplication != nullptr ? theApplication->mainWnd : nullptr;
}
