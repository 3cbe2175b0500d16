#pragma once

#include "platform/shell/shellclient.h"
#include "platform/shell/windowhandle.h"
#include "platform/ui/cmdtarget.h"
#include "platform/ui/wintypes.h"

#include <string>

class CDC;
class QWidget;
class WndWidget;

// A window. Window messages arrive as the virtual handlers below, called by the framework from the
// toolkit's events; commands come through OnCmdMsg. A top-level window (frame, dialog) lies in the
// phone shell's work area and answers the shell for its soft keys, Done button and activation.
class CWnd : public CCmdTarget, public ShellClient {
public:
    CWnd();
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    WindowHandle GetSafeHwnd() const { return hwnd; }
    static CWnd* FromHandle(WindowHandle window);

    // Creates the window: PreCreateWindow, then the window, then OnCreate. A null parent makes a
    // top-level window of the phone shell. False when OnCreate returns -1 (no window is left).
    bool Create(CWnd* parent, uint32_t style, const CRect& rect, unsigned id, const char16_t* text);
    // Wraps a window made elsewhere (a dialog's control); the window stays owned by its parent.
    void Attach(WindowHandle window);
    void DestroyWindow();

    void SetWindowText(const char16_t* text);
    std::u16string GetWindowText() const;
    void GetClientRect(CRect& rect) const;
    void GetWindowRect(CRect& rect) const; // relative to the phone's work area
    void MoveWindow(int x, int y, int width, int height);
    void ShowWindow(int showCommand);
    bool IsWindowVisible() const;
    void EnableWindow(bool enable);
    void UpdateWindow();
    void Invalidate();
    void SetFocus();
    CWnd* GetParent() const { return parent; }
    unsigned GetDlgCtrlID() const { return controlId; }
    bool IsTopLevel() const { return topLevel; }
    // The font the window draws with, as a description (the dialog's template font for a dialog).
    void GetFont(struct LOGFONT& description) const;
    // Draws the window's text in the font from now on; the font stays the caller's (OnSetFont).
    void SetFont(const class CFont* font, bool redraw = true);
    // A fresh drawing context of the window for measuring; it carries the platform's default font,
    // not the window's. Give it back with ReleaseDC. Null when the window does not exist.
    CDC* GetDC();
    void ReleaseDC(CDC* dc);
    // A message box owned by the window; returns the button that closed it.
    int MessageBox(const char16_t* text, const char16_t* caption, unsigned type);

    // Sends a command to this window as a soft key would: it is routed from here.
    void SendCommand(unsigned id);
    // A close request and a system command, as the window system sends them.
    void SendCloseRequest() { OnClose(); }
    void SendSysCommand(unsigned id) { OnSysCommand(id, 0); }

    // The phone's active top-level window, and the change of it: the old one is told first.
    static CWnd* GetActiveWindow();
    // No window is active from now on (the framework's reset between runs of the application).
    static void ForgetActiveWindow();
    static void ActivateTopLevel(CWnd* window);

    // Window messages.
    virtual bool PreCreateWindow(CREATESTRUCT& cs);
    virtual int OnCreate(CREATESTRUCT* cs);
    virtual void OnSize(unsigned type, int cx, int cy);
    virtual void OnKeyDown(unsigned virtualKey, unsigned repeatCount, unsigned flags);
    virtual void OnKeyUp(unsigned virtualKey, unsigned repeatCount, unsigned flags);
    virtual bool OnEraseBkgnd(CDC* dc);
    virtual void OnPaint(CDC* dc);
    virtual void OnLButtonDown(unsigned flags, CPoint point);
    virtual void OnActivate(unsigned state, CWnd* other, bool minimized);
    virtual void OnSysCommand(unsigned id, long param);
    virtual void OnSetFont(const class CFont* font, bool redraw);
    virtual void OnClose();
    virtual void OnDestroy();
    // What the window shows changed behind it (names that arrived late); a frame passes it to its
    // view, which reloads as after an activation.
    virtual void OnDataChanged();
    // After the window is gone; objects the framework made with new (views) delete themselves here.
    virtual void PostNcDestroy();

protected:
    // How a top-level window hears of an activation change; a frame adds its view's notice.
    virtual void DeliverActivation(unsigned state, CWnd* other);
    // Makes the window; a frame and a dialog place theirs in the phone shell.
    virtual void RegisterWithShell();
    // The toolkit window behind a window of this class (a list view makes a list).
    virtual WndWidget* CreateWidget(QWidget* parent);

    // ShellClient
    void ShellCommand(uint16_t id) override;
    void ShellQueryCommand(uint16_t id, bool& enabled, bool& checked) override;
    void ShellActivate(bool active) override;
    void ShellCloseRequest() override;
    void ShellDestroyRequest() override;
    void ShellDataChanged() override;

    WindowHandle hwnd = nullptr;

private:
    friend class WndWidget;
    void WidgetDestroyed();

    CWnd* parent = nullptr;
    unsigned controlId = 0;
    bool topLevel = false;
    bool ownsWidget = false;
};
