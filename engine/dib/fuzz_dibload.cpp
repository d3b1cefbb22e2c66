// libFuzzer target: any bytes given to the surface loader are refused with one of the
// library's exceptions or give a surface; never a crash or a read out of bounds.
#include <cstdint>
#include <memory>

#include <QBuffer>
#include <QByteArray>

#include "engine/dib/dib_error.h"
#include "engine/dib/elzhexception.h"
#include "engine/dib/elzrw1exception.h"
#include "engine/dib/tdibultra.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    buffer->open(QIODevice::ReadOnly);
    try {
        TDIBUltra dib(std::move(buffer));
        // touch every pixel and, when there is one, blit through the alpha mask
        volatile uint32_t sum = 0;
        for (int y = 0; y < dib.DIBHeight; ++y)
            for (int x = 0; x < dib.DIBWidth; ++x) sum = sum + dib.GetPixelIndex(x, y);
        if (!dib.Alpha.empty() && dib.DIBResol == DUpf16) {
            TDIBUltra dest(dib.DIBWidth, dib.DIBHeight, DUpf16);
            dib.AlphaChanelBlit(dest, 0, 1, 0);
        }
    } catch (const DIB_ERROR&) {
    } catch (const ElzhException&) {
    } catch (const ELzrw1Exception&) {
    }
    return 0;
}
