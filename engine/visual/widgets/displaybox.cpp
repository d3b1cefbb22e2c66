#include "engine/visual/widgets/displaybox.h"

DibCanvas& DisplayBox::Canvas()
{
    // bits() detaches a picture someone holds a copy of: the canvas follows the pixels
    QImage& p = picture();
    canvas_ = DibCanvas(reinterpret_cast<uint32_t*>(p.bits()), p.width(), p.height(), int(p.bytesPerLine()));
    return canvas_;
}
