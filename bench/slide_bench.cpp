// How long one drive step takes on this display: the main window on this machine's drives
// steps ">" and "<" in turn and reports the time per step and the moves of the icon per second.
// With --frames DIR it also writes what the screen shows every few milliseconds during one ">"
// step, to check that the icon visibly slides. Run it under a real display (xvfb-run -a ...).
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "app/volscope_program.h"

int main(int argc, char** argv) {
    toolkit::qt::QtApplication application(argc, argv);
    VolscopeProgram program;
    main_window::FrmMain& frmMain = program.frmMain;
    frmMain.form().show();
    program.toolkit.doEvents();

    if (argc == 3 && std::strcmp(argv[1], "--frames") == 0) {
        QDir().mkpath(argv[2]);
        int frame = 0;
        QTimer grabber;
        QObject::connect(&grabber, &QTimer::timeout, [&] {
            QGuiApplication::primaryScreen()->grabWindow(0).save(
                QStringLiteral("%1/frame-%2.png").arg(argv[2]).arg(frame++, 3, 10, QChar('0')));
        });
        grabber.start(15);
        frmMain.cmdNext_Click();
        grabber.stop();
        std::printf("%d frames written to %s\n", frame, argv[2]);
        frmMain.cmdPrev_Click();
    }

    // Each ">" from C makes 133 moves out and one per 20 twips of window width beyond 1920 in;
    // each "<" the same number out and 97 in.
    const int steps = 10;
    const auto movesIn = static_cast<int>((frmMain.form().width() - 1920) / 20) + 1;
    const int movesPerPair = (133 + movesIn) + (movesIn + 97);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < steps; ++i) {
        frmMain.cmdNext_Click();
        frmMain.cmdPrev_Click();
    }
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    std::printf("platform %s: one step %.1f ms on average, %.0f moves per second (%d steps)\n",
                QGuiApplication::platformName().toUtf8().constData(), seconds * 1000 / (2 * steps),
                movesPerPair * steps / seconds, 2 * steps);
    return 0;
}
