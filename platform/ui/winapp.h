#pragma once

#include "platform/ui/cmdtarget.h"

#include <memory>
#include <string>
#include <vector>

class CSingleDocTemplate;
class CWnd;

// What the command line asks for; the program knows only "a new document".
struct CCommandLineInfo {
    enum ShellCommand { FileNew, FileNothing };
    ShellCommand shellCommand = FileNew;
};

// The application object: exactly one, a static of the program. AfxWinMain runs its InitInstance
// and then its message loop.
class CWinApp : public CCmdTarget {
public:
    // The string resource that names the application when the object is made without a name.
    static constexpr uint16_t kAppTitleStringId = 0xE000;

    explicit CWinApp(const char16_t* name = nullptr);
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Runs once before the message loop; false ends the program without one.
    virtual bool InitInstance();
    // The message loop; returns the exit code of the quit request that ends it.
    virtual int Run();

    void SetRegistryKey(const char16_t* key);
    void AddDocTemplate(CSingleDocTemplate* docTemplate);
    void ParseCommandLine(CCommandLineInfo& info);
    bool ProcessShellCommand(CCommandLineInfo& info);
    void OnFileNew();

    CSingleDocTemplate* FirstDocTemplate() const;
    // Lets the main window, its views and the document templates go, and forgets the active window,
    // so that the application can be started again in the same process (tests do; the program
    // itself ends the process instead). Its main window's destruction runs its end as usual.
    void ResetFramework();

    std::u16string appName;
    std::u16string registryKey;
    CWnd* mainWnd = nullptr;

private:
    std::vector<std::unique_ptr<CSingleDocTemplate>> templates;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
