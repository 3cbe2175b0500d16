#include "dialogs/relayoutfromtemplate.h"

#include "platform/ui/combobox.h"
#include "platform/ui/dialog.h"
#include "platform/ui/listbox.h"
#include "platform/ui/static.h"
#include "platform/ui/windowposbatch.h"

namespace {

// A static's text, or its image when the template names one by number. Failure only when the
// control is missing; a load that fails leaves the image shown.
int RestoreStatic(CWnd* control, const DialogItem& item, const ResourceModule& module) {
    if (control == nullptr) {
        return -1;
    }
    if (!item.textIsOrdinal) {
        control->SetWindowText(item.text.c_str());
        return 0;
    }
    auto* image = dynamic_cast<CStatic*>(control);
    if (image == nullptr) {
        return 0;
    }
    const bool icon = (item.style & 3u) == 3u;
    const bool bitmap = (item.style & 0xEu) == 0xEu;
    if (!icon && !bitmap) {
        return 0;
    }
    HIMAGE loaded = CStatic::LoadImage(module, item.textOrdinal, icon);
    if (loaded != nullptr) {
        CStatic::DeleteImage(image->SetImage(loaded));
    }
    return 0;
}

void ReselectList(CWnd* control) {
    if (auto* list = dynamic_cast<CListBox*>(control)) {
        const int selected = list->GetCurSel();
        if (selected >= 0) {
            list->SetCurSel(selected);
        }
    }
}

void ReselectCombo(CWnd* control) {
    if (auto* combo = dynamic_cast<CComboBox*>(control)) {
        const int selected = combo->GetCurSel();
        if (selected >= 0) {
            combo->SetCurSel(selected);
        }
    }
}

} // namespace

int RelayoutFromTemplate(const ResourceModule& module, CDialog* dialog, unsigned templateId) {
    DialogTemplate dialogTemplate;
    if (dialog == nullptr || module.LoadDialog(static_cast<uint16_t>(templateId), dialogTemplate) != 0) {
        return -1;
    }
    WindowPosBatch batch;
    if (!batch.Begin(static_cast<int>(dialogTemplate.items.size()))) {
        return -1;
    }
    int result = 0;
    for (const DialogItem& item : dialogTemplate.items) {
        CWnd* control = dialog->GetDlgItem(item.id);
        CRect rect{item.x, item.y, item.x + item.cx, item.y + item.cy};
        dialog->MapDialogRect(rect);
        if (!batch.Defer(control, rect)) {
            result = -1;
        }
        if (!item.classIsOrdinal) {
            continue;
        }
        switch (item.classOrdinal) {
        case DLGCLASS_BUTTON:
        case DLGCLASS_STATIC:
            if (RestoreStatic(control, item, module) != 0) {
                result = -1;
            }
            break;
        case DLGCLASS_LISTBOX:
            ReselectList(control);
            break;
        case DLGCLASS_COMBOBOX:
            ReselectCombo(control);
            break;
        default:
            break;
        }
    }
    if (!batch.End()) {
        result = -1;
    }
    return result;
}
