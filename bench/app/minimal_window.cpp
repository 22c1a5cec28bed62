// Shows a main window, prints the monotonic clock once the event loop runs and quits, as VTX does
// with VTX_QUIT_WHEN_SHOWN.
#include <QApplication>
#include <QMainWindow>
#include <QTimer>
#include <cstdio>
#include <ctime>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(680, 420);
    window.show();
    QTimer::singleShot(0, &app, [] {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        std::printf("shown %.3f\n", now.tv_sec * 1000.0 + now.tv_nsec / 1e6);
        std::fflush(stdout);
        QCoreApplication::quit();
    });
    return app.exec();
}
