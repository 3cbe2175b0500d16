#pragma once

#include "platform/resources/resourcemodule.h"
#include "platform/ui/wnd.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class CDC;
class QEventLoop;
class QWidget;

// One row of a dialog's notification table: a control's notification code and identifier, and the
// handler.   {EN_CHANGE, IDC_LOOKUP_NUMBER_LAND, &CRevLookup::OnChangeNumberLand}
template <class T> struct NotifyEntry {
    unsigned code;
    unsigned id;
    void (T::*handler)();
};

// Walks a notification table top to bottom; the first matching row runs.
template <class T, size_t N>
bool WalkNotifyTable(T* target, const NotifyEntry<T> (&table)[N], unsigned code, unsigned id) {
    for (const NotifyEntry<T>& entry : table) {
        if (entry.code == code && entry.id == id) {
            (target->*entry.handler)();
            return true;
        }
    }
    return false;
}

// A modal dialog built from its dialog template: the controls at their template positions in dialog
// units of the template's font. DoModal creates it, runs OnInitDialog, shows it over the main screen
// (the main frame's activation changes then) and runs a nested message loop until EndDialog. A dialog
// without a parent belongs to the main window. After OnInitDialog the focus stays where the dialog
// put it, else it goes to the first visible tab-stop control.
class CDialog : public CWnd {
public:
    explicit CDialog(unsigned templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // The code given to EndDialog, or -1 when the template cannot be loaded.
    virtual int DoModal();
    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    void EndDialog(int result);
    // Whether EndDialog has been called during the current run.
    bool IsEnding() const { return ended; }

    CWnd* GetDlgItem(unsigned id) const;
    void SetDlgItemText(unsigned id, const char16_t* text);
    // Dialog units of the template's font to pixels.
    void MapDialogRect(CRect& rect) const;
    unsigned TemplateId() const { return templateId; }

    // A control's notification (EN_CHANGE of an edit control), answered by the notification table.
    void SendNotification(unsigned code, unsigned id);

    // Asked each time a control is about to paint: a handler may select a font into dc and set its
    // background mode, which the control then paints with. ctlColor is a CTLCOLOR_* kind.
    virtual void OnCtlColor(CDC* dc, CWnd* control, unsigned ctlColor);

protected:
    bool DispatchCommand(unsigned id, CommandQuery query, CCmdUI* ui) override;
    virtual bool DispatchNotification(unsigned code, unsigned id);

private:
    class ColourRequests;

    void CreateControls(const DialogTemplate& dialogTemplate);
    void AskControlColours(QWidget* widget);
    void FocusAfterInit();

    unsigned templateId;
    CWnd* parentWnd;
    std::vector<std::unique_ptr<CWnd>> controls;
    std::vector<uint32_t> controlStyles;
    int baseUnitX = 0;
    int baseUnitY = 0;
    QEventLoop* modalLoop = nullptr;
    bool ended = false;
    int modalResult = 0;
};
