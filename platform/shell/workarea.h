#pragma once

#include <QWidget>

// Where the program's full-screen windows lie, one over the other, between the bars of the screen.
class WorkArea : public QWidget {
public:
    explicit WorkArea(QWidget* parent);

    // Gives the window the whole area and puts it over the others. A window not shown yet hears of
    // its size at once, as part of its start-up, not only once it is shown.
    void PlaceFullScreen(QWidget* window);
};
