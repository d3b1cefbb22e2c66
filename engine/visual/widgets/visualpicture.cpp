#include "engine/visual/widgets/visualpicture.h"

std::shared_ptr<TDIBUltra> dibFromImage(const QImage& image)
{
    if (image.isNull()) return nullptr;
    QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    DibCanvas source(reinterpret_cast<uint32_t*>(rgb.bits()), rgb.width(), rgb.height(), int(rgb.bytesPerLine()));
    auto dib = std::make_shared<TDIBUltra>(rgb.width(), rgb.height(), DUpf24);
    dib->Cnv.BitBlt(0, 0, rgb.width(), rgb.height(), source, 0, 0);
    return dib;
}
