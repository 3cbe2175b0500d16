#include "platform/ui/listcontrol.h"

#include "platform/shell/virtualkey.h"
#include "platform/ui/dc.h"
#include "platform/ui/firstpaint.h"
#include "platform/ui/imagelist.h"
#include "platform/ui/listaccessible.h"
#include "platform/ui/listview.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

namespace {

constexpr int kWheelRows = 3;

FirstPaintHook firstPaintHook = nullptr;

} // namespace

ListControl::ListControl(CListView* owner, QWidget* parent)
    : WndWidget(owner, parent), scrollBar(new QScrollBar(Qt::Vertical, this)) {
    InstallListAccessibility();
    scrollBar->setObjectName(QStringLiteral("listScrollBar"));
    scrollBar->setFocusPolicy(Qt::NoFocus);
    scrollBar->hide();
    QObject::connect(scrollBar, &QScrollBar::valueChanged, this, [this](int value) {
        if (value != topIndex) {
            topIndex = value;
            update();
        }
    });
    MeasureRows();
}

ListControl::~ListControl() = default;

CListView* ListControl::View() const {
    return static_cast<CListView*>(Owner());
}

QRect ListControl::ClientRect() const {
    QRect client = rect();
    if (!scrollBar->isHidden()) {
        client.setWidth(std::max(0, width() - kScrollBarWidth));
    }
    return client;
}

const ListControl::Row* ListControl::RowAt(int row) const {
    return row >= 0 && row < static_cast<int>(rows.size()) ? &rows[static_cast<size_t>(row)] : nullptr;
}

ListControl::Row* ListControl::RowAt(int row) {
    return row >= 0 && row < static_cast<int>(rows.size()) ? &rows[static_cast<size_t>(row)] : nullptr;
}

int ListControl::CountPerPage() const {
    return std::max(1, ClientRect().height() / rowHeight);
}

CRect ListControl::RowBounds(int row) const {
    const int top = (row - topIndex) * rowHeight;
    int width = 0;
    for (int column = 0; column < columnCount; ++column) {
        width += columnWidths[column];
    }
    // A full-row list reaches across the client area even where the columns end earlier.
    if ((extendedStyle & LVS_EX_FULLROWSELECT) != 0) {
        width = std::max(width, ClientRect().width());
    }
    return CRect{0, top, width, top + rowHeight};
}

void ListControl::ScrollTo(int top) {
    const int last = std::max(0, static_cast<int>(rows.size()) - CountPerPage());
    top = std::clamp(top, 0, last);
    if (top != topIndex) {
        topIndex = top;
        scrollBar->setValue(top);
        update();
    }
}

void ListControl::MeasureRows() {
    int height = QFontMetrics(font()).height();
    if ((style & LVS_OWNERDRAWFIXED) != 0 && View() != nullptr) {
        MEASUREITEMSTRUCT measure;
        measure.ctlType = ODT_LISTVIEW;
        measure.ctlId = View()->GetDlgCtrlID();
        measure.itemWidth = static_cast<unsigned>(ClientRect().width());
        measure.itemHeight = static_cast<unsigned>(height);
        View()->MeasureItem(&measure);
        height = static_cast<int>(std::min(measure.itemHeight, 0x7FFFu));
    }
    // A row has at least one pixel, whatever the owner answers.
    rowHeight = std::max(1, height);
    UpdateScrollBar();
    update();
}

void ListControl::RowsChanged() {
    if (topIndex > 0 && topIndex > static_cast<int>(rows.size()) - CountPerPage()) {
        topIndex = std::max(0, static_cast<int>(rows.size()) - CountPerPage());
    }
    // A fill adds its rows one by one: the scroll bar, the repaint and the screen reader follow once
    // the owner is done, not at every row.
    if (!rowsChangePending) {
        rowsChangePending = true;
        QMetaObject::invokeMethod(
            this, [this] { FinishRowsChange(); }, Qt::QueuedConnection);
    }
}

void ListControl::FinishRowsChange() {
    if (!rowsChangePending) {
        return;
    }
    rowsChangePending = false;
    UpdateScrollBar();
    update();
    ListRowsChanged(this);
}

void ListControl::StateChanged(int row, unsigned oldState) {
    const Row* changed = RowAt(row);
    if (changed == nullptr || changed->state == oldState) {
        return;
    }
    update(RowBounds(row).left, RowBounds(row).top, width(), rowHeight);
    ListRowStateChanged(this, row, oldState, changed->state);
}

void ListControl::UpdateScrollBar() {
    const int count = static_cast<int>(rows.size());
    const bool wasShown = !scrollBar->isHidden();
    const bool needed = static_cast<long long>(count) * rowHeight > height();
    if (needed != wasShown) {
        scrollBar->setVisible(needed);
        // The client area changed width: the owner hears of it as of any resize.
        if (Owner() != nullptr) {
            Owner()->OnSize(0, ClientRect().width(), ClientRect().height());
        }
    }
    scrollBar->setGeometry(width() - kScrollBarWidth, 0, kScrollBarWidth, height());
    const int last = std::max(0, count - CountPerPage());
    scrollBar->setRange(0, last);
    scrollBar->setPageStep(CountPerPage());
    topIndex = std::clamp(topIndex, 0, last);
    scrollBar->setValue(topIndex);
}

void ListControl::HandlePress(CPoint point) {
    CListView* view = View();
    if (view == nullptr) {
        return;
    }
    NMHDR press{view, view->GetDlgCtrlID(), NM_LISTPRESS};
    LRESULT answer = 0;
    view->OnListNotify(&press, &answer);

    // A tap leaves only the tapped row selected and focused; a tap beside the rows selects none.
    const int hit = CListCtrl(this).HitTest(point);
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        const unsigned wanted = row == hit ? (LVIS_SELECTED | LVIS_FOCUSED) : 0u;
        Row& each = rows[static_cast<size_t>(row)];
        if ((each.state & (LVIS_SELECTED | LVIS_FOCUSED)) != wanted) {
            const unsigned old = each.state;
            each.state = (each.state & ~(LVIS_SELECTED | LVIS_FOCUSED)) | wanted;
            StateChanged(row, old);
        }
    }
    setFocus(Qt::MouseFocusReason);
    // The click goes to the owner when the stylus comes up.
    pressedRow = hit;
}

void ListControl::mouseReleaseEvent(QMouseEvent* event) {
    const int row = pressedRow;
    pressedRow = -2;
    CListView* view = View();
    if (view == nullptr || event->button() != Qt::LeftButton || row == -2) {
        WndWidget::mouseReleaseEvent(event);
        return;
    }
    const QPoint at = event->position().toPoint();
    NMITEMACTIVATE click;
    click.hdr = NMHDR{view, view->GetDlgCtrlID(), NM_CLICK};
    click.item = row;
    click.action = CPoint{at.x(), at.y()};
    LRESULT result = 0;
    view->OnClick(&click, &result);
}

void ListControl::HandleKey(unsigned virtualKey) {
    // Of the keys the owner passes on, the list itself pages through its rows.
    constexpr unsigned kPageUp = 0x21;
    constexpr unsigned kPageDown = 0x22;
    if (virtualKey == kPageUp) {
        ScrollTo(topIndex - CountPerPage());
    } else if (virtualKey == kPageDown) {
        ScrollTo(topIndex + CountPerPage());
    }
}

void ListControl::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0) {
        ScrollTo(topIndex - steps * kWheelRows);
    }
    event->accept();
}

void ListControl::resizeEvent(QResizeEvent* event) {
    UpdateScrollBar();
    WndWidget::resizeEvent(event);
}

void ListControl::paintEvent(QPaintEvent*) {
    CListView* view = View();
    if (view == nullptr) {
        return;
    }
    FinishRowsChange();
    const QRect client = ClientRect();
    QPainter painter(this);
    painter.setClipRect(client);

    // The owner paints the background; what it painted stays whatever it answers.
    {
        CDC dc(&painter, this);
        view->OnEraseBkgnd(&dc);
    }

    NMLVCUSTOMDRAW draw;
    draw.nmcd.hdr = NMHDR{view, view->GetDlgCtrlID(), NM_CUSTOMDRAW};
    draw.nmcd.drawStage = CDDS_PREPAINT;
    draw.nmcd.rc = CRect{0, 0, client.width(), client.height()};
    LRESULT listResult = CDRF_DODEFAULT;
    std::u16string written;
    {
        CDC dc(&painter, this);
        dc.CaptureText(&written);
        draw.nmcd.dc = &dc;
        view->OnCustomDraw(&draw, &listResult);
    }
    const std::u16string shownEmpty = rows.empty() ? written : std::u16string();
    if (shownEmpty != emptyText) {
        emptyText = shownEmpty;
        ListEmptyTextChanged(this);
    }

    // Only the rows in view are painted.
    const int count = static_cast<int>(rows.size());
    const int last = std::min(count, topIndex + client.height() / rowHeight + 2);
    for (int row = topIndex; row < last; ++row) {
        // Each row starts from the list's own colours and font, whatever the row before selected.
        CDC dc(&painter, this);
        LRESULT rowResult = CDRF_DODEFAULT;
        if ((listResult & CDRF_NOTIFYITEMDRAW) != 0) {
            const Row& each = rows[static_cast<size_t>(row)];
            draw.nmcd.drawStage = CDDS_ITEMPREPAINT;
            draw.nmcd.dc = &dc;
            draw.nmcd.rc = RowBounds(row);
            draw.nmcd.itemSpec = static_cast<uintptr_t>(row);
            draw.nmcd.itemState = ((each.state & LVIS_SELECTED) != 0 ? CDIS_SELECTED : 0u) |
                                  ((each.state & LVIS_FOCUSED) != 0 ? CDIS_FOCUS : 0u);
            draw.nmcd.itemParam = each.data;
            view->OnCustomDraw(&draw, &rowResult);
            // The owner may have emptied the list while drawing.
            if (row >= static_cast<int>(rows.size())) {
                break;
            }
        }
        if ((rowResult & CDRF_SKIPDEFAULT) == 0) {
            DrawRowDefault(dc, row);
        }
    }
    // Once: whoever watches the start-up hears of the first paint and nothing after it.
    if (FirstPaintHook hook = firstPaintHook) {
        firstPaintHook = nullptr;
        hook(count);
    }
}

FirstPaintHook SetFirstPaintHook(FirstPaintHook hook) {
    const FirstPaintHook previous = firstPaintHook;
    firstPaintHook = hook;
    return previous;
}

void ListControl::DrawRowDefault(CDC& dc, int row) {
    const Row& each = rows[static_cast<size_t>(row)];
    const CRect bounds = RowBounds(row);
    const bool selected = (each.state & LVIS_SELECTED) != 0;
    CRect label{columnWidths[0], bounds.top, bounds.right, bounds.bottom};
    dc.FillSolidRect(label, selected ? GetSysColor(COLOR_HIGHLIGHT) : textBackgroundColour);
    CRect icon;
    if (smallImages != nullptr && CListCtrl(this).GetItemRect(row, &icon, LVIR_ICON)) {
        smallImages->Draw(&dc, each.image, CPoint{icon.left, icon.top});
    }
    dc.SetTextColor(selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : GetSysColor(COLOR_BTNTEXT));
    dc.SetBkMode(TRANSPARENT);
    label.left += 2;
    dc.DrawText(each.texts[1].c_str(), label, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
}

QString ListControl::SpokenText(int row) const {
    CListView* view = View();
    if (RowAt(row) == nullptr || view == nullptr) {
        return {};
    }
    std::u16string text;
    view->GetSpokenText(row, text);
    return QString::fromStdU16String(text);
}
