#include "platform/ui/dialog.h"

#include "platform/msgbox/messagebox.h"
#include "platform/shell/phonescreen.h"
#include "platform/text/textqt.h"
#include "platform/ui/bitmapimage.h"
#include "platform/ui/font.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEventLoop>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLoggingCategory>
#include <QPixmap>
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

QPixmap LoadStaticImage(uint32_t style, uint16_t id) {
    Bitmap bitmap;
    const ResourceModule& module = ResourceModule::Program();
    const int loaded = (style & SS_TYPEMASK) == SS_ICON ? module.LoadIcon(id, bitmap) : module.LoadBitmap(id, bitmap);
    return loaded == 0 ? QPixmap::fromImage(ToQImage(bitmap)) : QPixmap();
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
        if ((item.style & ES_NUMBER) != 0) {
            edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
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
            label->setPixmap(LoadStaticImage(item.style, item.textOrdinal));
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            return label;
        }
        label->setText(text);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
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

} // namespace

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

    // The dialog is modal to the main frame behind it.
    CWnd* previous = GetActiveWindow();
    CWnd* owner = parentWnd;
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
        SetFocus();
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
    DestroyWindow();
    return modalResult;
}

void CDialog::CreateControls(const DialogTemplate& dialogTemplate) {
    for (const DialogItem& item : dialogTemplate.items) {
        QWidget* widget = MakeControl(item, GetSafeHwnd(), this);
        widget->setProperty("ringlogControlId", static_cast<unsigned>(item.id));
        widget->setFont(GetSafeHwnd()->font());
        CRect rect{item.x, item.y, item.x + item.cx, item.y + item.cy};
        MapDialogRect(rect);
        widget->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
        widget->setEnabled((item.style & WS_DISABLED) == 0);
        widget->setVisible((item.style & WS_VISIBLE) != 0);
        auto control = std::make_unique<CWnd>();
        control->Attach(widget);
        controls.push_back(std::move(control));
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
