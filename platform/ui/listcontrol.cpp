#include "platform/ui/listcontrol.h"

#include "platform/shell/virtualkey.h"
#include "platform/ui/dc.h"
#include "platform/ui/firstpaint.h"
#include "platform/ui/imagelist.h"
#include "platform/ui/listaccessible.h"
#include "platform/ui/listview.h"

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

// Pixels as int, however far down a long list they lie.
int ClampToInt(long long value) {
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

FirstPaintHook firstPaintHook = nullptr;

} // namespace

ListControl::ListControl(CListView* owner, QWidget* parent)
    : WndWidget(owner, parent), scrollBar(new QScrollBar(Qt::Vertical, this)), scroller(QScroller::scroller(this)) {
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

void ListControl::InsertRow(int at, std::u16string_view text, int image) {
    Row row;
    row.image = image;
    row.texts[0] = rowTexts.Add(text);
    rows.insert(rows.begin() + at, row);
}

void ListControl::SetRowText(Row& row, int column, std::u16string_view text) {
    const RowTextPool::Text old = row.texts[column];
    row.texts[column] = rowTexts.Add(text);
    rowTexts.Release(old);
    if (rowTexts.WorthCompacting()) {
        CompactTexts();
    }
}

void ListControl::ClearRows() {
    rows.clear();
    rowTexts.Rewind();
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
    CListView* view = View();
    if (view == nullptr) {
        return;
    }
    NMHDR press{view, view->GetDlgCtrlID(), NM_LISTPRESS};
    LRESULT answer = 0;
    view->OnListNotify(&press, &answer);

    // A tap leaves only the tapped row selected and focused; a tap beside the rows selects none.
    const int hit = CListCtrl(this).HitTest(CPoint{pressedAt.x(), pressedAt.y()});
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        const unsigned wanted = row == hit ? (LVIS_SELECTED | LVIS_FOCUSED) : 0u;
        Row& each = rows[static_cast<size_t>(row)];
        if ((each.state & (LVIS_SELECTED | LVIS_FOCUSED)) != wanted) {
            const unsigned old = each.state;
            each.state = (each.state & ~(LVIS_SELECTED | LVIS_FOCUSED)) | wanted;
            StateChanged(row, old);
        }
    }
    // Then the click, as the stylus comes up.
    NMITEMACTIVATE click;
    click.hdr = NMHDR{view, view->GetDlgCtrlID(), NM_CLICK};
    click.item = hit;
    click.action = CPoint{releasedAt.x(), releasedAt.y()};
    LRESULT result = 0;
    view->OnClick(&click, &result);
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
    CListView* view = View();
    if (view == nullptr) {
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
    dc.DrawText(RowTextPool::Read(each.texts[1]).c_str(), label, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
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
