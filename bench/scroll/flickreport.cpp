// The scroll benchmark's build of ringlog: the program itself, with a first-paint hook that flicks
// the call list with the stylus a number of times, times every paint of the list while the
// scroller runs, writes the figures to standard error and ends the program.
#include "platform/ui/firstpaint.h"
#include "platform/ui/listcontrol.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QMouseEvent>
#include <QScroller>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kFlicks = 5;

// Times each paint of the list: the paint event is handed on to the list while the filter stands
// aside, inside the same paint, so the time is the list's own painting and nothing else.
class PaintTimer : public QObject {
public:
    explicit PaintTimer(ListControl* watched) : list(watched) { list->installEventFilter(this); }

    bool eventFilter(QObject* object, QEvent* event) override {
        if (object != list || event->type() != QEvent::Paint || !timing) {
            return false;
        }
        list->removeEventFilter(this);
        QElapsedTimer clock;
        clock.start();
        QCoreApplication::sendEvent(list, event);
        paints.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
        list->installEventFilter(this);
        return true;
    }

    ListControl* list;
    bool timing = false;
    std::vector<double> paints;
};

ListControl* FindList() {
    for (QWidget* widget : QApplication::allWidgets()) {
        if (auto* list = dynamic_cast<ListControl*>(widget); list != nullptr && list->isVisible()) {
            return list;
        }
    }
    return nullptr;
}

void Send(ListControl* list, QEvent::Type type, QPoint at, qint64 time) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, list->mapToGlobal(at), button, held, Qt::NoModifier);
    event.setTimestamp(static_cast<quint64>(time));
    QCoreApplication::sendEvent(list, &event);
}

// A quick stroke up a quarter of the list in 24 ms, lifted at once.
void Flick(ListControl* list, qint64 now) {
    const int x = list->ClientRect().width() / 2;
    const int from = list->height() * 3 / 4;
    const int step = std::max(1, list->height() / 12);
    Send(list, QEvent::MouseButtonPress, QPoint(x, from), now);
    for (int i = 1; i <= 3; ++i) {
        Send(list, QEvent::MouseMove, QPoint(x, from - i * step), now + 8 * i);
    }
    Send(list, QEvent::MouseButtonRelease, QPoint(x, from - 3 * step), now + 32);
}

double Percentile(std::vector<double> values, double share) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const size_t at = std::min(values.size() - 1, static_cast<size_t>(share * static_cast<double>(values.size())));
    return values[at];
}

void Run(int rows) {
    ListControl* list = FindList();
    if (list == nullptr) {
        std::fprintf(stderr, "no list on the screen\n");
        std::_Exit(1);
    }
    auto* timer = new PaintTimer(list);
    QElapsedTimer wall;
    wall.start();
    const int startOffset = list->Offset();
    qint64 scrolling = 0;
    for (int flick = 0; flick < kFlicks; ++flick) {
        timer->timing = true;
        QElapsedTimer running;
        running.start();
        Flick(list, wall.elapsed() + 1000);
        // The scroller runs on the event loop until it comes to rest.
        while (list->Scroller()->state() != QScroller::Inactive) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        }
        scrolling += running.elapsed();
        timer->timing = false;
    }
    const std::vector<double>& paints = timer->paints;
    double total = 0;
    for (double each : paints) {
        total += each;
    }
    std::fprintf(stderr,
                 "flick rows %d flicks %d pixels %d frames %zu scrolling-ms %lld paint-ms-mean %.3f median %.3f p95 "
                 "%.3f max %.3f\n",
                 rows, kFlicks, list->Offset() - startOffset, paints.size(), static_cast<long long>(scrolling),
                 paints.empty() ? 0.0 : total / static_cast<double>(paints.size()), Percentile(paints, 0.5),
                 Percentile(paints, 0.95), Percentile(paints, 1.0));
    std::fflush(stderr);
    std::_Exit(0);
}

void StartFlicking(int rows) {
    // The first paint is under way: the flicks start once it is done.
    QTimer::singleShot(0, [rows] { Run(rows); });
}

// Installed before main runs, so the program's own code stays as it ships.
const bool installed = (SetFirstPaintHook(StartFlicking), true);

} // namespace
