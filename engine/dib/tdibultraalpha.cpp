// Transparent colour index, alpha masks and alpha blits (5-6-5 surfaces).
#include "engine/dib/tdibultra.h"

#include <cstring>

#include <QFile>

#include "engine/dib/dib_error.h"

namespace {

const char* const kNoAnimation = "AlphaBlit ne supporte pas encore l'animation. (Num doit être = 1)";
const char* const kDest16 = "L'image en Destination doit être une image à 16 Bpp !";

inline uint16_t Rd16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
inline uint32_t Rd32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }

// each 5-6-5 channel: (s * a + d * (32 - a)) div 32
inline uint16_t Blend(uint16_t s, uint16_t d, unsigned a)
{
    const unsigned r = ((s >> 11) * a + (d >> 11) * (32 - a)) / 32;
    const unsigned g = ((s >> 5 & 63) * a + (d >> 5 & 63) * (32 - a)) / 32;
    const unsigned b = ((s & 31) * a + (d & 31) * (32 - a)) / 32;
    return uint16_t(r << 11 | g << 5 | b);
}

uint16_t* Row16(TDIBUltra& d, int y) { return reinterpret_cast<uint16_t*>(d.GetScanLine(y)); }

bool Inside(const TDIBUltra& s, const TDIBUltra& d, int x, int y)
{
    return x >= 0 && y >= 0 && int64_t(x) + s.DIBWidth <= d.DIBWidth && int64_t(y) + s.DIBHeight <= d.DIBHeight;
}

}  // namespace

void TDIBUltra::MakeTransparent(uint8_t ColorIndex)
{
    if (DIBResol > DUpf8) return;
    DIBStatus |= DUbit(DUtTransparent);
    DIBTransp = ColorIndex;
}

void TDIBUltra::MakeOpaque()
{
    DIBStatus &= uint8_t(~DUbit(DUtTransparent));
}

void TDIBUltra::NoAlpha()
{
    Alpha.clear();
    DIBStatus &= uint8_t(~DUbit(DUtAlpha));
}

void TDIBUltra::SetAlphaMask(const TDIBUltra& MaskDib, int Num, int Delay)
{
    if (Num != 1) throw DIB_ERROR(kNoAnimation);
    if (MaskDib.DIBResol != DUpf8) throw DIB_ERROR("Le masque doit être une image en 256 couleurs !");
    if (MaskDib.DIBWidth != DIBWidth || MaskDib.DIBHeight != DIBHeight)
        throw DIB_ERROR("L'image du masque doit être de même dimensions que le motif !");
    NoAlpha();

    std::vector<uint16_t> runs;
    for (int y = 0; y < DIBHeight; ++y) {
        const uint8_t* row = MaskDib.DIBAdr + int64_t(y) * MaskDib.DIBWidth_b;
        const size_t rowStart = runs.size();
        size_t keep = rowStart;  // runs up to the last one of a level above 0
        for (int x = 0; x < DIBWidth;) {
            const unsigned level = row[x] >> 3;
            int n = 1;
            while (x + n < DIBWidth && n < 255 && (row[x + n] >> 3) == level) ++n;
            runs.push_back(uint16_t(level << 8 | n));
            if (level) keep = runs.size();
            x += n;
        }
        runs.resize(keep);
        if (keep == rowStart) runs.push_back(1);
        runs.push_back(0);
    }
    runs.push_back(0);
    const size_t runBytes = runs.size() * 2;
    if (runBytes >= 65536)
        throw DIB_ERROR("TDIBUltra ne gère pas les masques Alpha faisant + de 65Ko après compression !");

    std::vector<uint8_t> block(AlphaHeaderSize + runBytes, 0);
    const uint32_t blockSize = uint32_t(block.size());
    block[AlphaOffFrames] = 1;
    for (int i = 0; i < 4; ++i) block[AlphaOffBlockSize + i] = uint8_t(blockSize >> (8 * i));
    block[AlphaOffDelay] = uint8_t(Delay);
    block[AlphaOffRunBytes] = uint8_t(runBytes);
    block[AlphaOffRunBytes + 1] = uint8_t(runBytes >> 8);
    for (size_t i = 0; i < runs.size(); ++i) {
        block[AlphaHeaderSize + 2 * i] = uint8_t(runs[i]);
        block[AlphaHeaderSize + 2 * i + 1] = uint8_t(runs[i] >> 8);
    }
    Alpha = std::move(block);
    DIBStatus |= DUbit(DUtAlpha);
}

void TDIBUltra::SetAlphaFile(const QString& MaskFile, int Num, int Delay)
{
    if (!QFile::exists(MaskFile)) throw DIB_ERROR("Alpha Mask File Invalid.");
    const TDIBUltra mask(MaskFile);
    SetAlphaMask(mask, Num, Delay);
}

bool TDIBUltra::AlphaBlockFits(const std::vector<uint8_t>& Block, int Width, int Height)
{
    if (Block.size() < AlphaHeaderSize) return false;
    const uint32_t runBytes = Rd16(&Block[AlphaOffRunBytes]);
    if (Rd32(&Block[AlphaOffBlockSize]) != Block.size() || Block.size() != AlphaHeaderSize + runBytes) return false;
    const uint8_t* p = Block.data() + AlphaHeaderSize;
    const size_t words = runBytes / 2;
    size_t i = 0;
    for (int rows = 0;; ++rows) {
        if (i >= words) return false;
        if (Rd16(p + 2 * i) == 0) return true;  // the mask's end
        if (rows >= Height) return false;
        int64_t x = 0;
        for (;; ++i) {
            if (i >= words) return false;
            const uint16_t w = Rd16(p + 2 * i);
            if (!w) break;
            if ((w >> 8) > 32) return false;
            x += w & 0xFF;
            if (x > Width) return false;
        }
        ++i;
    }
}

void TDIBUltra::AlphaChanelBlit(TDIBUltra& Dest, int AX, int Num, int AY)
{
    if (Alpha.empty()) throw DIB_ERROR("Cette DIBUltra ne supporte pas le traitement Alpha.");
    if (Num != 1) throw DIB_ERROR(kNoAnimation);
    if (DIBResol != DUpf16) throw DIB_ERROR("La DIBUltra a afficher par filtre Alpha doit être une image à 16 Bpp !");
    if (Dest.DIBResol != DUpf16) throw DIB_ERROR(kDest16);
    if (!Inside(*this, Dest, AX, AY))
        throw DIB_ERROR("Le clipping n'est pas encore supporté.\rLe sprite doit tenir entièrement dans l'image de "
                        "destination.");
    if (!AlphaBlockFits(Alpha, DIBWidth, DIBHeight))
        throw DIB_ERROR("Internal Error During AlphaStructure Loading Process !");
    const uint8_t* p = Alpha.data() + AlphaHeaderSize;
    for (int y = 0;; ++y) {
        uint16_t w = Rd16(p);
        if (!w) break;
        const uint16_t* src = Row16(*this, y);
        uint16_t* dst = Row16(Dest, AY + y) + AX;
        int x = 0;
        for (; w; p += 2, w = Rd16(p)) {
            const unsigned level = w >> 8, n = w & 0xFF;
            if (level == 32) std::memcpy(dst + x, src + x, n * 2);
            else if (level)
                for (unsigned i = 0; i < n; ++i) dst[x + i] = Blend(src[x + i], dst[x + i], level);
            x += int(n);
        }
        p += 2;
    }
}

void TDIBUltra::AlphaBlit(TDIBUltra& Dest, int AX, int Level, int AY)
{
    if (Level < 1) return;
    if (Level >= 32) {
        Dest.Cnv.CopyRect(ClpRect, Cnv, ClpRect);
        return;
    }
    if (DIBResol != DUpf16) throw DIB_ERROR("La DIBUltra à afficher par filtre Alpha doit être une image à 16 Bpp !");
    if (Dest.DIBResol != DUpf16) throw DIB_ERROR(kDest16);
    if (!Inside(*this, Dest, AX, AY))
        throw DIB_ERROR("Le clipping n'est pas encore supporté.\rDest doit contenir la DIB fournissant le blend.");
    // the surface's own width: the row padding is not part of the picture
    for (int y = 0; y < DIBHeight; ++y) {
        const uint16_t* src = Row16(*this, y);
        uint16_t* dst = Row16(Dest, AY + y) + AX;
        for (int x = 0; x < DIBWidth; ++x) dst[x] = Blend(src[x], dst[x], unsigned(Level));
    }
}
