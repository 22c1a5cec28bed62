// Shows a main window, prints the monotonic clock once the event loop runs and quits, as VTX does
// with VTX_QUIT_WHEN_SHOWN.
#include <QApplication>
#include <QMainWindow>

#include "bench/app/ShownClock.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(680, 420);
    window.show();
    printClockWhenShownAndQuit();
    return app.exec();
}
