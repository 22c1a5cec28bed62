// The floor of the start-up figure: VTX's own main-window form with its pictures, style sheets,
// captions, fonts and loading animation, as VTX first shows it, but no meeting SDK, settings,
// join history or network. Language 0 (Chinese, VTX's default) unless the first argument says 1.
// With VTX_QUIT_WHEN_SHOWN it prints the clock and quits once shown, as VTX does.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMovie>
#include <QPushButton>
#include <cstdio>

#include "base/Localization.h"
#include "bench/app/ShownClock.h"
#include "ui/MainWindowForm.h"
#include "ui/Styles.h"

int main(int argc, char** argv)
{
    Q_INIT_RESOURCE(res);
    QApplication app(argc, argv);
    const int languageId = argc > 1 && QByteArray(argv[1]) == "1" ? 1 : 0;
    const QString pack = QCoreApplication::applicationDirPath() + (languageId == 1 ? "/en_US.ini" : "/zh_CN.ini");
    if (Localization::Instance()->Load(languageId, pack) != 0) {
        std::fprintf(stderr, "no language pack beside the program\n");
        return 1;
    }
    if (!styles::applyApplicationLook(app)) {
        std::fprintf(stderr, "no style sheet in the resources\n");
        return 1;
    }

    // The window flags VTX's window is made with: changing them later would re-polish the form.
    QMainWindow window(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                    Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    MainWindowForm form;
    form.setupUi(&window);
    form.applyStyles(&window, languageId);
    // Until the SDK answers, VTX offers neither sign-in nor join.
    form.loginButton->hide();
    form.joinButton->hide();
    window.setFixedSize(window.size());
    form.applyTexts(&window);
    QMovie movie(QStringLiteral(":/UI/res/loading.gif"));
    form.loading->setMovie(&movie);
    movie.start();

    window.show();
    // As VTX, it stays up to be looked at unless the benchmark asks it to quit.
    if (qEnvironmentVariableIsSet("VTX_QUIT_WHEN_SHOWN"))
        printClockWhenShownAndQuit();
    return app.exec();
}
