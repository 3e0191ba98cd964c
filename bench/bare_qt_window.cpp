// The baseline for startup_bench: a bare Qt window with the main window's controls (the same
// labels, buttons, box, bar and five icon images) and nothing else, built by hand.
#include <time.h>

#include <QApplication>
#include <QFrame>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle("Volscope");
    window.setFixedSize(320, 353);
    new QLabel(&window);  // the drive icon
    const char* labels[] = {"C",
                            "Volume Name:",
                            "Serial Number:",
                            "Maximum Component Length:",
                            "File System: ",
                            "Disk Space Usage:",
                            "Used / Total:",
                            "Total Number of Clusters: ",
                            "Number of Sectors per Cluster: ",
                            "Number of Bytes per Sector:"};
    int top = 112;
    for (const char* text : labels) {
        auto* label = new QLabel(QString::fromLatin1(text), &window);
        label->setGeometry(8, top, 305, 17);
        top += 16;
    }
    const char* buttons[] = {"<", ">", "Browse...", "Close"};
    int left = 8;
    for (const char* text : buttons) {
        auto* button = new QPushButton(QString::fromLatin1(text), &window);
        button->setGeometry(left, 320, 60, 25);
        left += 70;
    }
    auto* box = new QFrame(&window);
    box->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    box->setGeometry(8, 208, 305, 25);
    auto* bar = new QWidget(box);
    bar->setGeometry(2, 2, 121, 25);
    const char* icons[] = {"drive_none", "drive_fixed", "drive_removable", "drive_network",
                           "drive_cd"};
    for (const char* icon : icons) {
        auto* image = new QLabel(&window);
        image->setPixmap(QPixmap::fromImage(
            QImageReader(QStringLiteral(":/volscope/%1.ico").arg(QLatin1String(icon))).read()));
        image->hide();
    }
    window.show();
    window.repaint();
    QApplication::processEvents();
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::printf("%lld\n", static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec);
    return 0;
}
