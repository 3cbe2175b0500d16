#include "platform/ui/dialog.h"

#include "platform/msgbox/messagebox.h"
#include "platform/text/textqt.h"
#include "platform/ui/combobox.h"
#include "platform/ui/dc.h"
#include "platform/ui/edit.h"
#include "platform/ui/font.h"
#include "platform/ui/listbox.h"
#include "platform/ui/static.h"
#include "platform/ui/winapp.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QEventLoop>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLoggingCategory>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>

Q_LOGGING_CATEGORY(dialogLog, "ringlog.platform.ui")

namespace {

int MulDiv(int value, int numerator, int denominator) {
    // Rounds half away from zero, as the window system's dialog-unit conversion does.
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

QFont TemplateFont(const DialogTemplate& dialogTemplate) {
    CFont font;
    if ((dialogTemplate.style & DS_SETFONT) != 0 && dialogTemplate.pointSize > 0) {
        font.CreatePointFont(dialogTemplate.pointSize * 10, dialogTemplate.faceName.c_str());
    } else {
        font.CreatePointFont(80, u"MS Shell Dlg");
    }
    return *font.Font();
}

QWidget* MakeControl(const DialogItem& item, QWidget* dialog, CDialog* owner) {
    const QString text = QString::fromStdU16String(item.text);
    const uint16_t kind = item.classIsOrdinal ? item.classOrdinal : 0;
    switch (kind) {
    case DLGCLASS_BUTTON: {
        const uint32_t type = item.style & BS_TYPEMASK;
        QAbstractButton* button = nullptr;
        if (type == BS_GROUPBOX) {
            return new QGroupBox(text, dialog);
        }
        if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX) {
            button = new QCheckBox(text, dialog);
        } else if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) {
            button = new QRadioButton(text, dialog);
        } else {
            button = new QPushButton(text, dialog);
        }
        const unsigned id = item.id;
        QObject::connect(button, &QAbstractButton::clicked, dialog, [owner, id] { owner->SendCommand(id); });
        return button;
    }
    case DLGCLASS_EDIT: {
        auto* edit = new QLineEdit(text, dialog);
        // Typed or set by the program, every change reaches the dialog.
        const unsigned id = item.id;
        QObject::connect(edit, &QLineEdit::textChanged, dialog,
                         [owner, id] { owner->SendNotification(EN_CHANGE, id); });
        if ((item.style & ES_NUMBER) != 0) {
            edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
            // A phone's on-screen keyboard shows its number pad for these.
            edit->setInputMethodHints(Qt::ImhDigitsOnly | Qt::ImhNoPredictiveText);
        }
        if ((item.style & ES_PASSWORD) != 0) {
            edit->setEchoMode(QLineEdit::Password);
        }
        edit->setReadOnly((item.style & ES_READONLY) != 0);
        edit->setAlignment((item.style & ES_CENTER) != 0  ? Qt::AlignHCenter
                           : (item.style & ES_RIGHT) != 0 ? Qt::AlignRight
                                                          : Qt::AlignLeft);
        return edit;
    }
    case DLGCLASS_STATIC: {
        auto* label = new QLabel(dialog);
        const uint32_t type = item.style & SS_TYPEMASK;
        if ((type == SS_BITMAP || type == SS_ICON) && item.textIsOrdinal) {
            // The image itself comes with the control's object (CreateControls).
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            return label;
        }
        label->setText(text);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(type != SS_LEFTNOWORDWRAP);
        label->setAlignment((type == SS_CENTER  ? Qt::AlignHCenter
                             : type == SS_RIGHT ? Qt::AlignRight
                                                : Qt::AlignLeft) |
                            Qt::AlignTop);
        return label;
    }
    case DLGCLASS_LISTBOX:
        return new QListWidget(dialog);
    case DLGCLASS_SCROLLBAR:
        return new QScrollBar(Qt::Vertical, dialog);
    case DLGCLASS_COMBOBOX:
        return new QComboBox(dialog);
    default:
        return new QWidget(dialog);
    }
}

// The object behind a control, by its class; the dialog keeps it for GetDlgItem.
std::unique_ptr<CWnd> MakeControlObject(const DialogItem& item) {
    switch (item.classIsOrdinal ? item.classOrdinal : 0) {
    case DLGCLASS_EDIT:
        return std::make_unique<CEdit>();
    case DLGCLASS_STATIC:
        return std::make_unique<CStatic>();
    case DLGCLASS_LISTBOX:
        return std::make_unique<CListBox>();
    case DLGCLASS_COMBOBOX:
        return std::make_unique<CComboBox>();
    default:
        return std::make_unique<CWnd>();
    }
}

unsigned ColourKindOf(const QWidget* widget) {
    if (qobject_cast<const QLineEdit*>(widget) != nullptr) {
        return CTLCOLOR_EDIT;
    }
    if (qobject_cast<const QAbstractButton*>(widget) != nullptr) {
        return CTLCOLOR_BTN;
    }
    return CTLCOLOR_STATIC;
}

} // namespace

// Asks the dialog for a control's colours each time the control is about to paint.
class CDialog::ColourRequests : public QObject {
public:
    ColourRequests(CDialog* owner, QObject* parent) : QObject(parent), dialog(owner) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            dialog->AskControlColours(static_cast<QWidget*>(watched));
        }
        return false;
    }

private:
    CDialog* dialog;
};

CDialog::CDialog(unsigned id, CWnd* parent) : templateId(id), parentWnd(parent) {}

CDialog::~CDialog() = default;

void CDialog::MapDialogRect(CRect& rect) const {
    rect.left = MulDiv(rect.left, baseUnitX, 4);
    rect.right = MulDiv(rect.right, baseUnitX, 4);
    rect.top = MulDiv(rect.top, baseUnitY, 8);
    rect.bottom = MulDiv(rect.bottom, baseUnitY, 8);
}

int CDialog::DoModal() {
    DialogTemplate dialogTemplate;
    if (ResourceModule::Program().LoadDialog(static_cast<uint16_t>(templateId), dialogTemplate) != 0) {
        qCInfo(dialogLog, "dialog template %u cannot be loaded", templateId);
        return -1;
    }
    // Dialog units: a quarter of the font's average character width, an eighth of its height.
    const QFont font = TemplateFont(dialogTemplate);
    const QFontMetrics metrics(font);
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    baseUnitX = (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
    baseUnitY = metrics.height();

    CRect rect{dialogTemplate.x, dialogTemplate.y, dialogTemplate.x + dialogTemplate.cx,
               dialogTemplate.y + dialogTemplate.cy};
    MapDialogRect(rect);
    ended = false;
    modalResult = 0;
    if (!Create(nullptr, dialogTemplate.style & ~WS_VISIBLE, rect, templateId, dialogTemplate.caption.c_str())) {
        return -1;
    }
    GetSafeHwnd()->setFont(font);
    GetSafeHwnd()->setAutoFillBackground(true);
    CreateControls(dialogTemplate);

    // The dialog is modal to the main frame behind it; without a parent the main window owns it.
    CWnd* previous = GetActiveWindow();
    CWnd* owner = parentWnd != nullptr ? parentWnd : AfxGetMainWnd();
    while (owner != nullptr && !owner->IsTopLevel()) {
        owner = owner->GetParent();
    }
    if (owner != nullptr) {
        owner->EnableWindow(false);
    }

    OnInitDialog();
    if (!ended && GetSafeHwnd() != nullptr) {
        ShowWindow(SW_SHOW);
        GetSafeHwnd()->raise();
        FocusAfterInit();
        ActivateTopLevel(this);
        if (!ended) {
            QEventLoop loop;
            modalLoop = &loop;
            loop.exec();
            modalLoop = nullptr;
        }
    }

    if (owner != nullptr) {
        owner->EnableWindow(true);
    }
    ShowWindow(SW_HIDE);
    if (GetActiveWindow() == this) {
        ActivateTopLevel(previous);
    }
    controls.clear();
    controlStyles.clear();
    DestroyWindow();
    return modalResult;
}

void CDialog::FocusAfterInit() {
    // The dialog chose a control itself during its initialisation: it keeps the focus.
    QWidget* chosen = GetSafeHwnd()->focusWidget();
    if (chosen != nullptr && chosen != GetSafeHwnd() && GetSafeHwnd()->isAncestorOf(chosen) &&
        chosen->isVisibleTo(GetSafeHwnd()) && chosen->isEnabled()) {
        chosen->setFocus(Qt::OtherFocusReason);
        return;
    }
    for (size_t i = 0; i < controls.size(); ++i) {
        QWidget* widget = controls[i]->GetSafeHwnd();
        if ((controlStyles[i] & WS_TABSTOP) != 0 && widget != nullptr && widget->isVisibleTo(GetSafeHwnd()) &&
            widget->isEnabled()) {
            widget->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    SetFocus();
}

void CDialog::CreateControls(const DialogTemplate& dialogTemplate) {
    auto* colourRequests = new ColourRequests(this, GetSafeHwnd());
    for (const DialogItem& item : dialogTemplate.items) {
        QWidget* widget = MakeControl(item, GetSafeHwnd(), this);
        widget->installEventFilter(colourRequests);
        widget->setProperty("ringlogControlId", static_cast<unsigned>(item.id));
        widget->setFont(GetSafeHwnd()->font());
        CRect rect{item.x, item.y, item.x + item.cx, item.y + item.cy};
        MapDialogRect(rect);
        widget->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
        // Our faces run a little wider than the phone's: a one-line text that would lose its last
        // letters may reach past its box to the right.
        auto* label = qobject_cast<QLabel*>(widget);
        if (label != nullptr && !label->wordWrap() && label->pixmap().isNull() &&
            label->sizeHint().width() > rect.Width()) {
            widget->resize(label->sizeHint().width(), rect.Height());
        }
        widget->setEnabled((item.style & WS_DISABLED) == 0);
        widget->setVisible((item.style & WS_VISIBLE) != 0);
        std::unique_ptr<CWnd> control = MakeControlObject(item);
        control->Attach(widget);
        const uint32_t type = item.style & SS_TYPEMASK;
        if (auto* image = dynamic_cast<CStatic*>(control.get());
            image != nullptr && item.textIsOrdinal && (type == SS_BITMAP || type == SS_ICON)) {
            image->SetImage(CStatic::LoadImage(ResourceModule::Program(), item.textOrdinal, type == SS_ICON));
        }
        controls.push_back(std::move(control));
        controlStyles.push_back(item.style);
    }
}

void CDialog::SendNotification(unsigned code, unsigned id) {
    DispatchNotification(code, id);
}

bool CDialog::DispatchNotification(unsigned, unsigned) {
    return false;
}

void CDialog::OnCtlColor(CDC*, CWnd*, unsigned) {}

void CDialog::AskControlColours(QWidget* widget) {
    CWnd* control = CWnd::FromHandle(widget);
    if (control == nullptr) {
        return;
    }
    CDC dc(nullptr, widget);
    OnCtlColor(&dc, control, ColourKindOf(widget));
    const CFont* font = dc.SelectedFont();
    if (font != nullptr && font->Font() != nullptr && widget->font() != *font->Font()) {
        widget->setFont(*font->Font());
    }
    if (dc.GetBkMode() == TRANSPARENT) {
        widget->setAutoFillBackground(false);
    }
}

bool CDialog::OnInitDialog() {
    return true;
}

void CDialog::OnOK() {
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::EndDialog(int result) {
    modalResult = result;
    ended = true;
    if (modalLoop != nullptr) {
        modalLoop->quit();
    }
}

CWnd* CDialog::GetDlgItem(unsigned id) const {
    for (const auto& control : controls) {
        if (control->GetDlgCtrlID() == id) {
            return control.get();
        }
    }
    return nullptr;
}

void CDialog::SetDlgItemText(unsigned id, const char16_t* text) {
    if (CWnd* control = GetDlgItem(id)) {
        control->SetWindowText(text);
    }
}

bool CDialog::DispatchCommand(unsigned id, CommandQuery query, CCmdUI* ui) {
    static const CommandEntry<CDialog> commands[] = {
        {IDOK, &CDialog::OnOK},
        {IDCANCEL, &CDialog::OnCancel},
    };
    return WalkCommandTable(this, commands, id, query, ui) || CWnd::DispatchCommand(id, query, ui);
}
