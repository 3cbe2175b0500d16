#include "platform/ui/listcontrol.h"

#include "platform/shell/virtualkey.h"
#include "platform/ui/dc.h"
#include "platform/ui/firstpaint.h"
#include "platform/ui/imagelist.h"
#include "platform/ui/listaccessible.h"
#include "platform/ui/listcontrolowner.h"
#include "platform/ui/wnd.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QScrollEvent>
#include <QScrollPrepareEvent>
#include <QScroller>
#include <QStyleHints>
#include <QWheelEvent>

#include <algorithm>
#include <climits>

namespace {

constexpr int kWheelRows = 3;
// The icon rectangle inside column 0: the image's width from the list's indent, the row's height.
constexpr int kIconIndent = 2;
// The icon sits a little below its row's top, so that the first row's icon keeps clear of the bar
// above the list as the others keep clear of the separator above them.
constexpr int kIconDrop = 2;

// Pixels as int, however far down a long list they lie.
int ClampToInt(long long value) {
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

FirstPaintHook firstPaintHook = nullptr;

} // namespace

ListControl::ListControl(CWnd* window, ListControlOwner* owner, QWidget* parent)
    : WndWidget(window, parent), listOwner(owner), scrollBar(new QScrollBar(Qt::Vertical, this)),
      scroller(QScroller::scroller(this)) {
    InstallListAccessibility();
    scrollBar->setObjectName(QStringLiteral("listScrollBar"));
    scrollBar->setFocusPolicy(Qt::NoFocus);
    scrollBar->hide();
    QObject::connect(scrollBar, &QScrollBar::valueChanged, this, [this](int value) { ScrollToOffset(value); });
    // The scroll bar in the stylus's hand stops a flick, as a press on the rows does.
    QObject::connect(scrollBar, &QScrollBar::sliderPressed, this, [this] { scroller->stop(); });

    // The list ends where its rows end: no rubber band past the first or the last row.
    QScrollerProperties properties = scroller->scrollerProperties();
    properties.setScrollMetric(QScrollerProperties::HorizontalOvershootPolicy,
                               QVariant::fromValue(QScrollerProperties::OvershootAlwaysOff));
    properties.setScrollMetric(QScrollerProperties::VerticalOvershootPolicy,
                               QVariant::fromValue(QScrollerProperties::OvershootAlwaysOff));
    scroller->setScrollerProperties(properties);
    UpdateScrollerDistance();
    // Once the scroller follows the finger the press can no longer be a tap.
    QObject::connect(scroller, &QScroller::stateChanged, this, [this](QScroller::State state) {
        if (state == QScroller::Dragging) {
            pressMayTap = false;
        } else if (state == QScroller::Inactive) {
            ReportScroll();
        }
    });
    MeasureRows();
}

ListControl::~ListControl() = default;

ListControlOwner* ListControl::ListOwner() const {
    // The owner and the window are one object: once the window is gone, so is the owner.
    return Owner() != nullptr ? listOwner : nullptr;
}

NMHDR ListControl::Header(int code) const {
    return NMHDR{Owner(), Owner() != nullptr ? Owner()->GetDlgCtrlID() : 0u, code};
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

void ListControl::SetStyle(uint32_t bits) {
    const uint32_t old = style;
    style = bits & LVS_LISTBITS;
    if (((old ^ style) & LVS_OWNERDRAWFIXED) != 0) {
        MeasureRows();
    }
    update();
}

void ListControl::SetExtendedStyle(uint32_t bits) {
    extendedStyle = bits;
    update();
}

void ListControl::SetBackgroundColour(uint32_t colour) {
    backgroundColour = colour;
    update();
}

void ListControl::SetTextBackgroundColour(uint32_t colour) {
    textBackgroundColour = colour;
    update();
}

void ListControl::SetSmallImages(CImageList* images) {
    smallImages = images;
    update();
}

int ListControl::InsertColumn(int column, int width) {
    if (columnCount >= kColumnCount || column < 0) {
        return -1;
    }
    const int index = std::min(column, columnCount);
    for (int moved = columnCount; moved > index; --moved) {
        columnWidths[moved] = columnWidths[moved - 1];
    }
    columnWidths[index] = std::max(0, width);
    ++columnCount;
    update();
    return index;
}

bool ListControl::SetColumnWidth(int column, int width) {
    if (column < 0 || column >= columnCount) {
        return false;
    }
    width = std::max(0, width);
    if (columnWidths[column] != width) {
        columnWidths[column] = width;
        update();
    }
    return true;
}

int ListControl::ColumnWidth(int column) const {
    return column >= 0 && column < columnCount ? columnWidths[column] : 0;
}

int ListControl::InsertRow(int index, std::u16string_view text, int image) {
    if (index < 0) {
        return -1;
    }
    const int at = std::min(index, RowCount());
    Row row;
    row.image = image;
    row.texts[0] = rowTexts.Add(text);
    rows.insert(rows.begin() + at, row);
    RowsChanged();
    return at;
}

bool ListControl::SetRowText(int row, int column, std::u16string_view text) {
    Row* item = RowAt(row);
    if (item == nullptr || column < 0 || column >= kColumnCount) {
        return false;
    }
    const RowTextPool::Text old = item->texts[column];
    item->texts[column] = rowTexts.Add(text);
    rowTexts.Release(old);
    if (rowTexts.WorthCompacting()) {
        CompactTexts();
    }
    RowsChanged();
    return true;
}

RowTextPool::Text ListControl::TextOf(int row, int column) const {
    const Row* item = RowAt(row);
    return item != nullptr && column >= 0 && column < kColumnCount ? item->texts[column] : nullptr;
}

std::u16string ListControl::RowText(int row, int column) const {
    return RowTextPool::Read(TextOf(row, column));
}

int ListControl::CopyText(RowTextPool::Text text, char16_t* out, int capacity) {
    if (out == nullptr || capacity <= 0) {
        return 0;
    }
    const size_t length = RowTextPool::Copy(text, out, static_cast<size_t>(capacity - 1));
    out[length] = u'\0';
    return static_cast<int>(length);
}

bool ListControl::SetRowData(int row, uintptr_t data) {
    Row* item = RowAt(row);
    if (item == nullptr) {
        return false;
    }
    item->data = data;
    return true;
}

uintptr_t ListControl::RowData(int row) const {
    const Row* item = RowAt(row);
    return item != nullptr ? item->data : 0;
}

bool ListControl::ReadRow(LVITEM* item) const {
    const Row* row = item != nullptr ? RowAt(item->item) : nullptr;
    if (row == nullptr) {
        return false;
    }
    if ((item->mask & LVIF_IMAGE) != 0) {
        item->image = row->image;
    }
    if ((item->mask & LVIF_STATE) != 0) {
        item->state = row->state & item->stateMask;
    }
    if ((item->mask & LVIF_PARAM) != 0) {
        item->param = row->data;
    }
    return true;
}

bool ListControl::SetRowState(int row, unsigned state, unsigned mask) {
    const Row* item = RowAt(row);
    if (item == nullptr) {
        return false;
    }
    // In the single-selection style a row that becomes selected takes the selection from every
    // other row, so that whatever acts on "the selected row" finds the one the user sees.
    if ((style & LVS_SINGLESEL) != 0 && (mask & state & LVIS_SELECTED) != 0) {
        for (int other = 0; other < RowCount(); ++other) {
            const unsigned otherState = rows[static_cast<size_t>(other)].state;
            if (other != row && (otherState & LVIS_SELECTED) != 0) {
                ChangeState(other, otherState & ~LVIS_SELECTED);
            }
        }
    }
    ChangeState(row, (item->state & ~mask) | (state & mask));
    return true;
}

unsigned ListControl::RowState(int row, unsigned mask) const {
    const Row* item = RowAt(row);
    return item != nullptr ? item->state & mask : 0;
}

int ListControl::NextRow(int start, unsigned flags) const {
    for (int row = std::max(0, start + 1); row < RowCount(); ++row) {
        if ((rows[static_cast<size_t>(row)].state & flags) == flags) {
            return row;
        }
    }
    return -1;
}

void ListControl::DeleteAllRows() {
    rows.clear();
    rowTexts.Rewind();
    ScrollTo(0);
    RowsChanged();
}

void ListControl::CompactTexts() {
    RowTextPool fresh;
    for (Row& each : rows) {
        for (RowTextPool::Text& text : each.texts) {
            text = fresh.Add(RowTextPool::Read(text));
        }
    }
    rowTexts = std::move(fresh);
}

int ListControl::CountPerPage() const {
    // From the first row whose top is in view to the last whose bottom is.
    const long long firstWhole = (static_cast<long long>(offset) + rowHeight - 1) / rowHeight;
    const long long pastLastWhole = (static_cast<long long>(offset) + ClientRect().height()) / rowHeight;
    return std::max(1, ClampToInt(pastLastWhole - firstWhole));
}

int ListControl::MaxOffset() const {
    const long long content = static_cast<long long>(rows.size()) * rowHeight;
    return ClampToInt(std::max(0LL, content - ClientRect().height()));
}

int ListControl::TapDistance() {
    return QGuiApplication::styleHints()->startDragDistance();
}

bool ListControl::EnsureVisible(int row, bool partialOk) {
    if (RowAt(row) == nullptr) {
        return false;
    }
    const CRect bounds = RowBounds(row);
    const int height = ClientRect().height();
    if (bounds.top < 0) {
        ScrollTo(row);
    } else if (bounds.bottom > height) {
        // A row that shows in part is left where it is only when the caller allows it; else the
        // list moves by whole rows until the row shows whole at the bottom.
        const bool partlyShown = bounds.top < height;
        if (!(partialOk && partlyShown)) {
            ScrollTo(row - std::max(1, height / rowHeight) + 1);
        }
    }
    return true;
}

CRect ListControl::RowBounds(int row) const {
    const int top = ClampToInt(static_cast<long long>(row) * rowHeight - offset);
    int width = 0;
    for (int column = 0; column < columnCount; ++column) {
        width += columnWidths[column];
    }
    // A full-row list reaches across the client area even where the columns end earlier.
    if ((extendedStyle & LVS_EX_FULLROWSELECT) != 0) {
        width = std::max(width, ClientRect().width());
    }
    return CRect{0, top, width, ClampToInt(static_cast<long long>(top) + rowHeight)};
}

bool ListControl::RowRect(int row, int code, CRect* rect) const {
    if (rect == nullptr || RowAt(row) == nullptr) {
        return false;
    }
    const CRect bounds = RowBounds(row);
    switch (code) {
    case LVIR_ICON: {
        const int width = smallImages != nullptr ? smallImages->GetImageSize().cx : 0;
        *rect = CRect{kIconIndent, std::min(bounds.top + kIconDrop, bounds.bottom), kIconIndent + width, bounds.bottom};
        return true;
    }
    case LVIR_LABEL:
        *rect = CRect{columnWidths[0], bounds.top, bounds.right, bounds.bottom};
        return true;
    default:
        *rect = bounds;
        return true;
    }
}

bool ListControl::ColumnRect(int row, int column, int code, CRect* rect) const {
    if (rect == nullptr || RowAt(row) == nullptr || column < 0 || column >= columnCount) {
        return false;
    }
    if (column == 0 && code != LVIR_BOUNDS) {
        return RowRect(row, code, rect);
    }
    const CRect bounds = RowBounds(row);
    int left = 0;
    for (int before = 0; before < column; ++before) {
        left += columnWidths[before];
    }
    *rect = CRect{left, bounds.top, left + columnWidths[column], bounds.bottom};
    return true;
}

int ListControl::HitTest(CPoint point) const {
    if (point.y < 0 || point.x < 0 || point.x >= ClientRect().width()) {
        return -1;
    }
    const long long row = (static_cast<long long>(offset) + point.y) / rowHeight;
    return row < RowCount() ? static_cast<int>(row) : -1;
}

void ListControl::ScrollTo(int top) {
    // Keys and programs move the list by rows; a flick under way gives way to them.
    scroller->stop();
    ScrollToOffset(ClampToInt(static_cast<long long>(std::max(0, top)) * rowHeight));
}

void ListControl::ScrollToOffset(int pixels) {
    pixels = std::clamp(pixels, 0, MaxOffset());
    if (pixels != offset) {
        offset = pixels;
        scrollBar->setValue(pixels);
        update(ClientRect());
    }
    // A flick is told once it comes to rest; the keys, the wheel and the scroll bar at once.
    const QScroller::State state = scroller->state();
    if (state != QScroller::Dragging && state != QScroller::Scrolling) {
        ReportScroll();
    }
}

void ListControl::ReportScroll() {
    if (reportedOffset != offset) {
        reportedOffset = offset;
        ListScrolled(this);
    }
}

void ListControl::UpdateScrollerDistance() {
    // One threshold tells a tap from a scroll: the scroller starts to follow the finger at the
    // same distance (it counts in metres; half a pixel less, as it asks for more than its figure).
    const qreal pixelsPerMetre = scroller->pixelPerMeter().y();
    if (pixelsPerMetre <= 0) {
        return;
    }
    const QVariant distance((TapDistance() - 0.5) / pixelsPerMetre);
    QScrollerProperties properties = scroller->scrollerProperties();
    if (properties.scrollMetric(QScrollerProperties::DragStartDistance) != distance) {
        properties.setScrollMetric(QScrollerProperties::DragStartDistance, distance);
        scroller->setScrollerProperties(properties);
    }
}

void ListControl::MeasureRows() {
    int height = QFontMetrics(font()).height();
    if (ListControlOwner* owner = ListOwner(); (style & LVS_OWNERDRAWFIXED) != 0 && owner != nullptr) {
        MEASUREITEMSTRUCT measure;
        measure.ctlType = ODT_LISTVIEW;
        measure.ctlId = Owner()->GetDlgCtrlID();
        measure.itemWidth = static_cast<unsigned>(ClientRect().width());
        measure.itemHeight = static_cast<unsigned>(height);
        owner->MeasureItem(&measure);
        height = static_cast<int>(std::min(measure.itemHeight, 0x7FFFu));
    }
    // A row has at least one pixel, whatever the owner answers.
    rowHeight = std::max(1, height);
    UpdateScrollBar();
    update();
}

void ListControl::RowsChanged() {
    offset = std::min(offset, MaxOffset());
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

void ListControl::ChangeState(int row, unsigned state) {
    Row* changed = RowAt(row);
    if (changed == nullptr || changed->state == state) {
        return;
    }
    const unsigned oldState = changed->state;
    changed->state = state;
    update(RowBounds(row).left, RowBounds(row).top, width(), rowHeight);
    ListRowStateChanged(this, row, oldState, state);
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
    offset = std::clamp(offset, 0, MaxOffset());
    scrollBar->setRange(0, MaxOffset());
    scrollBar->setPageStep(std::max(1, ClientRect().height()));
    scrollBar->setSingleStep(rowHeight);
    scrollBar->setValue(offset);
}

void ListControl::HandlePress(CPoint point) {
    // The owner lets the list handle this press: it becomes a tap if it lifts where it went down.
    pressHandled = true;
    pressedAt = QPoint(point.x, point.y);
    setFocus(Qt::MouseFocusReason);
}

void ListControl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        WndWidget::mousePressEvent(event);
        return;
    }
    pressDown = true;
    pressHandled = false;
    pressedAt = event->position().toPoint();
    // A press that stops a flick only stops it.
    pressMayTap = scroller->state() != QScroller::Scrolling;
    UpdateScrollerDistance();
    scroller->handleInput(QScroller::InputPress, event->position(), static_cast<qint64>(event->timestamp()));
    // The owner hears of the press at once and passes it back. A finger comes here too: the list
    // takes no touch events, so the toolkit turns them into these presses, moves and lifts.
    WndWidget::mousePressEvent(event);
}

void ListControl::mouseMoveEvent(QMouseEvent* event) {
    if (!pressDown || (event->buttons() & Qt::LeftButton) == 0) {
        WndWidget::mouseMoveEvent(event);
        return;
    }
    if ((event->position().toPoint() - pressedAt).manhattanLength() >= TapDistance()) {
        pressMayTap = false;
    }
    scroller->handleInput(QScroller::InputMove, event->position(), static_cast<qint64>(event->timestamp()));
}

void ListControl::mouseReleaseEvent(QMouseEvent* event) {
    if (!pressDown || event->button() != Qt::LeftButton) {
        WndWidget::mouseReleaseEvent(event);
        return;
    }
    pressDown = false;
    if ((event->position().toPoint() - pressedAt).manhattanLength() >= TapDistance()) {
        pressMayTap = false;
    }
    scroller->handleInput(QScroller::InputRelease, event->position(), static_cast<qint64>(event->timestamp()));
    const bool tap = pressHandled && pressMayTap;
    pressHandled = false;
    pressMayTap = false;
    if (tap) {
        Tap(event->position().toPoint());
    }
}

void ListControl::Tap(QPoint releasedAt) {
    ListControlOwner* owner = ListOwner();
    if (owner == nullptr) {
        return;
    }
    NMHDR press = Header(NM_LISTPRESS);
    LRESULT answer = 0;
    owner->OnListNotify(&press, &answer);

    // A tap leaves only the tapped row selected and focused; a tap beside the rows selects none.
    const int hit = HitTest(CPoint{pressedAt.x(), pressedAt.y()});
    for (int row = 0; row < RowCount(); ++row) {
        const unsigned wanted = row == hit ? (LVIS_SELECTED | LVIS_FOCUSED) : 0u;
        const unsigned state = rows[static_cast<size_t>(row)].state;
        if ((state & (LVIS_SELECTED | LVIS_FOCUSED)) != wanted) {
            ChangeState(row, (state & ~(LVIS_SELECTED | LVIS_FOCUSED)) | wanted);
        }
    }
    // Then the click, as the stylus comes up.
    NMITEMACTIVATE click;
    click.hdr = Header(NM_CLICK);
    click.item = hit;
    click.action = CPoint{releasedAt.x(), releasedAt.y()};
    LRESULT result = 0;
    owner->OnClick(&click, &result);
}

bool ListControl::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::ScrollPrepare: {
        // The scroller asks, at every press, what can scroll and where the list stands.
        auto* prepare = static_cast<QScrollPrepareEvent*>(event);
        prepare->setViewportSize(ClientRect().size());
        prepare->setContentPosRange(QRectF(0, 0, 0, MaxOffset()));
        prepare->setContentPos(QPointF(0, offset));
        prepare->accept();
        return true;
    }
    case QEvent::Scroll:
        ScrollToOffset(qRound(static_cast<QScrollEvent*>(event)->contentPos().y()));
        return true;
    default:
        return WndWidget::event(event);
    }
}

void ListControl::HandleKey(unsigned virtualKey) {
    // Of the keys the owner passes on, the list itself pages through its rows.
    constexpr unsigned kPageUp = 0x21;
    constexpr unsigned kPageDown = 0x22;
    if (virtualKey == kPageUp) {
        ScrollTo(TopIndex() - CountPerPage());
    } else if (virtualKey == kPageDown) {
        ScrollTo(TopIndex() + CountPerPage());
    }
}

void ListControl::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0) {
        scroller->stop();
        ScrollToOffset(ClampToInt(offset - static_cast<long long>(steps) * kWheelRows * rowHeight));
    }
    event->accept();
}

void ListControl::resizeEvent(QResizeEvent* event) {
    UpdateScrollBar();
    WndWidget::resizeEvent(event);
}

void ListControl::paintEvent(QPaintEvent* event) {
    ListControlOwner* owner = ListOwner();
    if (owner == nullptr) {
        return;
    }
    FinishRowsChange();
    const QRect client = ClientRect();
    // Only what is repainted is erased and drawn: the owner reads the clip box.
    const QRect repainted = client.intersected(event->rect());
    QPainter painter(this);
    painter.setClipRect(repainted);

    // The owner paints the background; what it painted stays whatever it answers.
    {
        CDC dc(&painter, this);
        Owner()->OnEraseBkgnd(&dc);
    }

    NMLVCUSTOMDRAW draw;
    draw.nmcd.hdr = Header(NM_CUSTOMDRAW);
    draw.nmcd.drawStage = CDDS_PREPAINT;
    draw.nmcd.rc = CRect{0, 0, client.width(), client.height()};
    LRESULT listResult = CDRF_DODEFAULT;
    std::u16string written;
    {
        CDC dc(&painter, this);
        dc.CaptureText(&written);
        draw.nmcd.dc = &dc;
        owner->OnCustomDraw(&draw, &listResult);
    }
    const std::u16string shownEmpty = rows.empty() ? written : std::u16string();
    if (shownEmpty != emptyText) {
        emptyText = shownEmpty;
        ListEmptyTextChanged(this);
    }

    // Only the rows in view, and of those the ones repainted, are painted.
    const int count = static_cast<int>(rows.size());
    const int first = ClampToInt((static_cast<long long>(offset) + std::max(0, repainted.top())) / rowHeight);
    const int last =
        std::min(count, ClampToInt((static_cast<long long>(offset) + std::max(0, repainted.bottom())) / rowHeight + 1));
    for (int row = first; row < last; ++row) {
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
            owner->OnCustomDraw(&draw, &rowResult);
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
    if (smallImages != nullptr && RowRect(row, LVIR_ICON, &icon)) {
        smallImages->Draw(&dc, each.image, CPoint{icon.left, icon.top});
    }
    dc.SetTextColor(selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : GetSysColor(COLOR_BTNTEXT));
    dc.SetBkMode(TRANSPARENT);
    label.left += 2;
    dc.DrawText(RowTextPool::Read(each.texts[1]).c_str(), label, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
}

QString ListControl::SpokenText(int row) const {
    ListControlOwner* owner = ListOwner();
    if (RowAt(row) == nullptr || owner == nullptr) {
        return {};
    }
    std::u16string text;
    owner->GetSpokenText(row, text);
    return QString::fromStdU16String(text);
}
