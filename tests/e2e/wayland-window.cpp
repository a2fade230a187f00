// An ordinary application window for the Wayland tests: a plain red
// toplevel that the compositor places as it places any window.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Plain window"));
    window.setStyleSheet(QStringLiteral("background: #ff0000"));
    window.resize(400, 300);
    window.show();
    return app.exec();
}
