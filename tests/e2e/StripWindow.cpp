#include "configuration/QRNMenuBarSimulatorView.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include <cstdio>
#include <unistd.h>

// A window with a palette above an item strip, for the drag-and-drop tests.
// Once the window shows, and again for every request read from stdin, it
// prints where every cell is on the screen ("cell <view> <index> <left> <top>
// <width> <height>"), then "ready" at the start and after a request
// "state palette=<codes> strip=<codes>".

namespace {

// A marker colour no cell uses, so a screenshot can find it.
const QColor MarkerColor(255, 0, 128);

void fill(QRNMenuBarSimulatorView& view, const QStringList& codes)
{
    for (const QString& code : codes)
        view.addMenuBarCell(QRNMenuBarCell::newMenuBarCellForStringCode(code), code);
}

void print(const QString& line)
{
    std::fputs(qPrintable(line + u'\n'), stdout);
    std::fflush(stdout);
}

void printCells(const QString& name, const QRNMenuBarSimulatorView& view)
{
    for (quint64 i = 0; i < view.countOfMenuBarCells(); ++i) {
        const QRNMenuBarCell* cell = view.menuBarCellAtIndex(i);
        const QPoint topLeft = view.mapToGlobal(QPointF(cell->offset(), 0)).toPoint();
        print(QStringLiteral("cell %1 %2 %3 %4 %5 %6")
                  .arg(name)
                  .arg(i)
                  .arg(topLeft.x())
                  .arg(topLeft.y())
                  .arg(qRound(cell->width()))
                  .arg(view.height()));
    }
}

void printCells(const QRNMenuBarSimulatorView& palette, const QRNMenuBarSimulatorView& strip)
{
    printCells(QStringLiteral("palette"), palette);
    printCells(QStringLiteral("strip"), strip);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QPalette colors = QApplication::palette();
    colors.setColor(QPalette::Highlight, MarkerColor);
    QApplication::setPalette(colors);

    QWidget window;
    window.setWindowTitle(QStringLiteral("Vistrel strips"));
    auto* layout = new QVBoxLayout(&window);
    auto* palette = new QRNMenuBarSimulatorView;
    auto* strip = new QRNMenuBarSimulatorView;
    palette->setIsItemSource(true);
    fill(*palette, {"QRNSpacerMenuBarCell:N", "QRNStateMenuBarCell:T", "QRNTextMenuBarCell:N"});
    fill(*strip, {"QRNNumericMenuBarCell:T", "QRNNumericMenuBarCell:B", "QRNNumericMenuBarCell:P"});
    layout->addWidget(palette);
    layout->addSpacing(30);
    layout->addWidget(strip);
    window.setGeometry(100, 100, 400, 150);
    window.show();

    QTimer exposure;
    QObject::connect(&exposure, &QTimer::timeout, [&] {
        if (!window.windowHandle() || !window.windowHandle()->isExposed())
            return;
        exposure.stop();
        printCells(*palette, *strip);
        print(QStringLiteral("ready"));
    });
    exposure.start(50);

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[256];
        if (::read(STDIN_FILENO, buffer, sizeof buffer) <= 0) {
            QApplication::quit();
            return;
        }
        printCells(*palette, *strip);
        print(QStringLiteral("state palette=%1 strip=%2")
                  .arg(palette->cellCodes().join(u','), strip->cellCodes().join(u',')));
    });
    return QApplication::exec();
}
