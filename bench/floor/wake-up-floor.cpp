// The least a Qt program that samples like Vistrel's activity item can cost:
// a QApplication showing one small window, a timer at the given interval, and
// on each tick one pread of each given file (kept open). Nothing is drawn.
// Built and run by bench/compare-with-gkrellm.sh --floor, side by side with the others.
//
// Usage: wake-up-floor INTERVAL_MS [FILE...]
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc < 2)
        return 2;
    std::vector<int> files;
    for (int i = 2; i < argc; ++i) {
        const int file = ::open(argv[i], O_RDONLY | O_CLOEXEC);
        if (file >= 0)
            files.push_back(file);
    }
    QWidget window;
    window.setWindowFlags(Qt::FramelessWindowHint);
    window.resize(100, 20);
    window.show();
    QTimer timer;
    timer.setTimerType(Qt::CoarseTimer);
    timer.setInterval(std::atoi(argv[1]));
    QObject::connect(&timer, &QTimer::timeout, [&files] {
        static std::array<char, 512> buffer;
        for (const int file : files)
            (void)::pread(file, buffer.data(), buffer.size(), 0);
    });
    timer.start();
    return application.exec();
}
