#pragma once

#include "platform/resources/resourcemodule.h"
#include "platform/ui/wnd.h"

#include <memory>
#include <vector>

class QEventLoop;

// A modal dialog built from its dialog template: the controls at their template positions in dialog
// units of the template's font. DoModal creates it, runs OnInitDialog, shows it over the main screen
// (the main frame's activation changes then) and runs a nested message loop until EndDialog.
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

    CWnd* GetDlgItem(unsigned id) const;
    void SetDlgItemText(unsigned id, const char16_t* text);
    // Dialog units of the template's font to pixels.
    void MapDialogRect(CRect& rect) const;
    unsigned TemplateId() const { return templateId; }

protected:
    bool DispatchCommand(unsigned id, CommandQuery query, CCmdUI* ui) override;

private:
    void CreateControls(const DialogTemplate& dialogTemplate);

    unsigned templateId;
    CWnd* parentWnd;
    std::vector<std::unique_ptr<CWnd>> controls;
    int baseUnitX = 0;
    int baseUnitY = 0;
    QEventLoop* modalLoop = nullptr;
    bool ended = false;
    int modalResult = 0;
};
