#include "menubar/DevicePixels.h"

namespace DevicePixels {

QImage* directTarget(const QPainter& painter)
{
    QPaintDevice* device = painter.device();
    if (!device || device->devType() != QInternal::Image || painter.opacity() != 1.0 || painter.hasClipping()
        || painter.compositionMode() != QPainter::CompositionMode_SourceOver)
        return nullptr;
    auto* image = static_cast<QImage*>(device);
    return image->format() == QImage::Format_ARGB32_Premultiplied ? image : nullptr;
}

} // namespace DevicePixels
