#include "extension/RunLoopWait.h"

#include <QEventLoop>
#include <QTimer>

void runRunLoopForSeconds(double seconds)
{
    QEventLoop loop;
    QTimer::singleShot(int(seconds * 1000), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}
