// The stored image format (magic 0x4DFE) and Windows bitmaps: loading and saving.
// Nothing read from a file is trusted: every size is checked against the bytes that are
// really there and against the largest picture we accept before anything is allocated.
#include "engine/dib/tdibultra.h"

#include <bit>
#include <cstring>

#include <QBuffer>
#include <QFile>
#include <QSaveFile>

#include "engine/dib/dib_error.h"
#include "engine/dib/dibcodec.h"
#include "engine/dib/tlzh.h"

namespace {

constexpr uint16_t kMagic = 0x4DFE;
constexpr uint16_t kBM = 0x4D42;
constexpr uint8_t kAlphaMark = 0xA6;
constexpr int64_t kMaxFile = int64_t(512) << 20;
constexpr int64_t kMaxPixels = int64_t(256) << 20;  // bytes of pixel memory of a loaded picture
constexpr int64_t kRleRatio = 32;                   // bytes a run-length code byte can stand for, at most
constexpr int64_t kLzhRatio = 64;

const char* const kBmpCorrupt = "Corrupted WindowsDIB data !";

inline uint16_t Rd16(const char* p) { return uint16_t(uint8_t(p[0]) | uint8_t(p[1]) << 8); }
inline uint32_t Rd32(const char* p) { return uint32_t(Rd16(p)) | uint32_t(Rd16(p + 2)) << 16; }

int64_t StrideOf(int64_t width, int bpp) { return ((width * bpp + 31) & ~int64_t(31)) / 8; }

// reads exactly n bytes or throws
QByteArray Take(QIODevice& d, int64_t n, const char* error)
{
    if (n < 0 || d.bytesAvailable() < n) throw DIB_ERROR(error);
    return d.read(n);
}

uint8_t TakeByte(QIODevice& d, const char* error)
{
    char c;
    if (!d.getChar(&c)) throw DIB_ERROR(error);
    return uint8_t(c);
}

// a channel of a bit-field pixel, scaled to 0-255
uint32_t Channel(uint32_t v, uint32_t mask)
{
    if (!mask) return 0;
    const int shift = std::countr_zero(mask);
    const uint64_t top = uint64_t(mask >> shift);
    return uint32_t(uint64_t((v & mask) >> shift) * 255 / top);
}

std::unique_ptr<QIODevice> OpenRead(const QString& FileName)
{
    auto f = std::make_unique<QFile>(FileName);
    if (!f->open(QIODevice::ReadOnly)) throw DIB_ERROR(QStringLiteral("Cannot open file \"%1\".").arg(FileName));
    return f;
}

}  // namespace

TDIBUltra::TDIBUltra(const QString& FileName) : TDIBUltra(OpenRead(FileName)) {}

TDIBUltra::TDIBUltra(std::unique_ptr<QIODevice> Stream) : Cnv(*this)
{
    InitState();
    if (!Stream) throw DIB_ERROR("DIB File Format Unrecognized !");
    LoadFromStream(*Stream);
    Stream.reset();
    SetBrhColor(0xFFFFFF);
    ClpRect = {0, 0, DIBWidth - 1, DIBHeight - 1};
}

void TDIBUltra::LoadFromStream(QIODevice& Stream)
{
    QByteArray data;
    for (;;) {
        const QByteArray chunk = Stream.read(1 << 16);
        if (chunk.isEmpty()) break;
        if (data.size() + chunk.size() > kMaxFile) throw DIB_ERROR("DIB File Format Unrecognized !");
        data += chunk;
    }
    const uint16_t magic = data.size() >= 2 ? Rd16(data.constData()) : 0;
    if (magic == kBM) LoadWindowsBitmap(data);
    else if (magic == kMagic) LoadStored(data);
    else throw DIB_ERROR("DIB File Format Unrecognized !");
}

void TDIBUltra::LoadStored(const QByteArray& Data)
{
    if (Data.size() < 20) throw DIB_ERROR(DIBCorruptMessage);
    const char* h = Data.constData();
    const int width = Rd16(h + 2), height = Rd16(h + 4);
    const uint8_t storedFormat = uint8_t(h[6]), finalFormat = uint8_t(h[7]), flags = uint8_t(h[8]);
    // byte 11 is the high byte of the palette count (0 in files of up to 255 entries)
    const int palCount = uint8_t(h[10]) | uint8_t(h[11]) << 8;
    if (storedFormat > DUpf32 || finalFormat > DUpf32 || palCount > 256 || !width || !height)
        throw DIB_ERROR(DIBCorruptMessage);
    const auto stored = TDUPixelFormat(storedFormat), final = TDUPixelFormat(finalFormat);

    QByteArray body = Data.mid(20);
    if (DUhas(flags, DUtLZH)) {
        QBuffer in(&body);
        in.open(QIODevice::ReadOnly);
        QByteArray unpacked;
        QBuffer out(&unpacked);
        out.open(QIODevice::WriteOnly);
        TLZH lzh;
        lzh.FInputStream = &in;
        lzh.FOutputStream = &out;
        lzh.MaxOutput = std::min(kMaxFile, int64_t(body.size()) * kLzhRatio + 4096);
        lzh.Decompress();
        out.close();
        body = std::move(unpacked);
    }
    QBuffer dev(&body);
    dev.open(QIODevice::ReadOnly);

    DIBStatus = flags;
    DIBTransp = uint8_t(h[9]);
    T256ColorsPalette pal;
    if (stored <= DUpf8) {
        if (DUhas(flags, DUtSysPalette)) {
            pal = DefaultPalette(stored);
        } else {
            const QByteArray e = Take(dev, int64_t(palCount) * 3, DIBCorruptMessage);
            pal.Count = uint16_t(palCount);
            for (int i = 0; i < palCount; ++i)
                pal.Entries[i] = {uint8_t(e[3 * i]), uint8_t(e[3 * i + 1]), uint8_t(e[3 * i + 2]), 0};
        }
    } else if (final <= DUpf8) {
        pal = DefaultPalette(final);
    }

    // the pixels must be able to come from the bytes that are left
    const int64_t raw = StrideOf(width, DUbpp[stored]) * height;
    const int64_t left = dev.bytesAvailable();
    const bool rle = !DUhas(flags, DUnoRLE), inc = !rle && DUhas(flags, DUINC);
    const int64_t needed = rle ? (raw + kRleRatio - 1) / kRleRatio : inc ? int64_t(width) * 3 * height : raw;
    if (raw > kMaxPixels || StrideOf(width, DUbpp[final]) * height > kMaxPixels || needed > left ||
        (inc && stored != DUpf24))
        throw DIB_ERROR(DIBCorruptMessage);

    DIBLogPal = pal;
    CreateBitmap(width, height, final);
    std::unique_ptr<TDIBUltra> temp;
    TDIBUltra* target = this;
    if (stored != final) {
        temp = std::make_unique<TDIBUltra>(width, height, stored, stored <= DUpf8 ? &pal : nullptr);
        target = temp.get();
    }
    if (Rd16(Take(dev, 2, "Internal Error During CompressedDIB Loading Process !").constData()) != kMagic)
        throw DIB_ERROR("Internal Error During CompressedDIB Loading Process !");
    if (rle) {
        RLEDecompress(dev, target->DIBSize, target->DIBbits);
    } else if (inc) {
        INCFilter(target->DIBbits, width, height, false, dev);
    } else {
        const QByteArray px = Take(dev, target->DIBSize, DIBCorruptMessage);
        std::memcpy(target->DIBbits, px.constData(), size_t(target->DIBSize));
    }
    if (temp) {
        Cnv.BitBlt(0, 0, width, height, temp->Cnv, 0, 0);
        temp.reset();
    }
    if (dev.bytesAvailable() < 2 || Rd16(dev.read(2).constData()) != kMagic)
        throw DIB_ERROR("Abnormal CompressedDIB Loading Terminaison !");
    YFlipping();

    if (DUhas(flags, DUtAlpha)) {
        const char* bad = "Internal Error During AlphaStructure Loading Process !";
        if (TakeByte(dev, bad) != kAlphaMark) throw DIB_ERROR(bad);
        const QByteArray head = Take(dev, AlphaHeaderSize, bad);
        const int64_t blockSize = Rd32(head.constData() + AlphaOffBlockSize);
        if (blockSize < AlphaHeaderSize || blockSize > AlphaHeaderSize + 65535) throw DIB_ERROR(bad);
        const QByteArray runs = Take(dev, blockSize - AlphaHeaderSize, bad);
        std::vector<uint8_t> block(static_cast<size_t>(blockSize));
        std::memcpy(block.data(), head.constData(), AlphaHeaderSize);
        std::memcpy(block.data() + AlphaHeaderSize, runs.constData(), size_t(runs.size()));
        if (!AlphaBlockFits(block, DIBWidth, DIBHeight)) throw DIB_ERROR(bad);
        char c;
        if (!dev.getChar(&c) || uint8_t(c) != kAlphaMark) throw DIB_ERROR("Abnormal AlphaStructure Ending !");
        Alpha = std::move(block);
    }
}

void TDIBUltra::LoadWindowsBitmap(const QByteArray& Data)
{
    const int64_t size = Data.size();
    if (size < 54) throw DIB_ERROR(kBmpCorrupt);
    const char* d = Data.constData();
    const int bits = Rd16(d + 28);
    const uint32_t compression = Rd32(d + 30);
    TDUPixelFormat format;
    switch (bits) {
    case 1: format = DUpf1; break;
    case 4: format = DUpf4; break;
    case 8: format = DUpf8; break;
    case 16: format = compression == 3 ? DUpf16 : DUpf15; break;
    case 24: format = DUpf24; break;
    case 32: format = DUpf32; break;
    default: throw DIB_ERROR("Unsupported WindowsDIB Resolution");
    }
    const int64_t headerSize = Rd32(d + 14);
    const int64_t width = int32_t(Rd32(d + 18)), rawHeight = int32_t(Rd32(d + 22));
    const bool topDown = rawHeight < 0;
    const int64_t height = topDown ? -rawHeight : rawHeight;
    if (headerSize < 40 || 14 + headerSize > size || width < 1 || width > 65535 || height < 1 || height > 65535)
        throw DIB_ERROR(kBmpCorrupt);
    if (!(compression == 0 || (compression == 3 && (bits == 16 || bits == 32))))
        throw DIB_ERROR("Unsupported WindowsDIB Compression");

    uint32_t masks[3] = {0, 0, 0};
    int64_t tableAt = 14 + headerSize;
    if (compression == 3) {
        const int64_t at = headerSize >= 52 ? 14 + 40 : tableAt;
        if (at + 12 > size) throw DIB_ERROR(kBmpCorrupt);
        for (int i = 0; i < 3; ++i) masks[i] = Rd32(d + at + 4 * i);
        if (headerSize < 52) tableAt += 12;
    }

    T256ColorsPalette pal;
    if (format <= DUpf8) {
        const int64_t used = Rd32(d + 46);
        const int64_t n = std::min<int64_t>(used ? used : 1 << bits, 1 << bits);
        if (tableAt + n * 4 > size) throw DIB_ERROR(kBmpCorrupt);
        pal.Count = uint16_t(n);
        for (int64_t i = 0; i < n; ++i) {
            const char* e = d + tableAt + 4 * i;
            pal.Entries[i] = {uint8_t(e[2]), uint8_t(e[1]), uint8_t(e[0]), 0};
        }
    }

    const int64_t stride = StrideOf(width, bits), offset = Rd32(d + 10);
    if (stride * height > kMaxPixels || offset + stride * height > size) throw DIB_ERROR(kBmpCorrupt);
    DIBLogPal = pal;
    CreateBitmap(int(width), int(height), format);

    const bool plain = compression == 0 || (bits == 16 && masks[0] == 0xF800 && masks[1] == 0x07E0 && masks[2] == 0x1F) ||
                       (bits == 32 && masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF);
    for (int64_t r = 0; r < height; ++r) {
        const char* src = d + offset + r * stride;
        // bottom-up files start with the bottom row, as our memory does
        uint8_t* dst = DIBbits + (topDown ? height - 1 - r : r) * stride;
        if (plain) {
            std::memcpy(dst, src, size_t(stride));
            continue;
        }
        const int y = int(topDown ? r : height - 1 - r);
        for (int x = 0; x < width; ++x) {
            const uint32_t v = bits == 16 ? Rd16(src + 2 * x) : Rd32(src + 4 * x);
            const TColor c = Channel(v, masks[0]) | Channel(v, masks[1]) << 8 | Channel(v, masks[2]) << 16;
            DirectPlot(x, y, GetIndexFromColor(c));
        }
    }
}

// ---- saving

void TDIBUltra::WLZH(bool Value)
{
    if (Value) DIBStatus |= DUbit(DUtLZH);
    else DIBStatus &= uint8_t(~DUbit(DUtLZH));
}

bool TDIBUltra::RLZH() const { return DUhas(DIBStatus, DUtLZH); }

void TDIBUltra::YFlipping()
{
    if (DIBHeight < 2) return;
    const size_t stride = size_t(Stride());
    std::vector<uint8_t> row(stride);
    for (int i = 0; i < DIBHeight / 2; ++i) {
        uint8_t* a = DIBbits + i * stride;
        uint8_t* b = DIBbits + (DIBHeight - 1 - i) * stride;
        std::memcpy(row.data(), a, stride);
        std::memcpy(a, b, stride);
        std::memcpy(b, row.data(), stride);
    }
}

void TDIBUltra::SaveToFile(const QString& FileName, TSaveMode SavingMode, TDUPixelFormat FinalFormat)
{
    // a failed save leaves the old file
    QSaveFile f(FileName);
    if (!f.open(QIODevice::WriteOnly)) throw DIB_ERROR(QStringLiteral("Cannot create file \"%1\".").arg(FileName));
    SaveToStream(f, SavingMode, FinalFormat);
    if (!f.commit()) throw DIB_ERROR(QStringLiteral("Cannot create file \"%1\".").arg(FileName));
}

void TDIBUltra::SaveToStream(QIODevice& Stream, TSaveMode SavingMode, TDUPixelFormat FinalFormat)
{
    if (SavingMode != DUsmDIBUltra)
        throw DIB_ERROR("Saving in Windows DIB Format is not yet supported (boring format...)");
    YFlipping();  // rows top to bottom while saving
    struct FlipBack {
        TDIBUltra* s;
        ~FlipBack() { s->YFlipping(); }
    } flipBack{this};
    if (DUhas(DIBStatus, DUtAlpha) && DIBResol != DUpf8)
        throw DIB_ERROR("Only 256 colors (or less) UltraDIBs can be saved with AlphaChannels !");

    DIBStatus &= uint8_t(~(DUbit(DUnoRLE) | DUbit(DUINC)));
    if (DIBResol == DUpf24) DIBStatus |= DUbit(DUnoRLE) | DUbit(DUINC);
    else if (DIBResol != DUpf8) DIBStatus |= DUbit(DUnoRLE);

    const int stride = Stride();
    const int used = int((int64_t(DIBWidth) * DIBBPP + 7) / 8);  // bytes of a row that hold pixels
    for (int r = 0; r < DIBHeight; ++r) {
        uint8_t* row = DIBbits + int64_t(r) * stride;
        std::memset(row + used, row[used - 1], size_t(stride - used));
    }

    uint8_t flags = DIBStatus & uint8_t(~DUbit(DUtSysPalette));
    int palCount = 0;
    if (DIBResol <= DUpf8) {
        const T256ColorsPalette& def = DefaultPalette(DIBResol);
        bool sys = DIBLogPal.Count == DUmaxValue[DIBResol] + 1;
        for (int i = 0; sys && i < DIBLogPal.Count; ++i) {
            const TPaletteEntry &a = DIBLogPal.Entries[i], &b = def.Entries[i];
            sys = a.Red == b.Red && a.Green == b.Green && a.Blue == b.Blue;
        }
        if (sys) flags |= DUbit(DUtSysPalette);
        else palCount = std::min<int>(DIBLogPal.Count, 256);
    }

    QByteArray body;
    QBuffer b(&body);
    b.open(QIODevice::WriteOnly);
    for (int i = 0; i < palCount; ++i) {
        const TPaletteEntry& e = DIBLogPal.Entries[i];
        const char rgb[3] = {char(e.Red), char(e.Green), char(e.Blue)};
        b.write(rgb, 3);
    }
    const char marker[2] = {char(kMagic & 0xFF), char(kMagic >> 8)};
    b.write(marker, 2);
    const qint64 pixelsAt = b.pos();
    if (!DUhas(DIBStatus, DUnoRLE)) RLECompress(DIBbits, DIBSize, b);
    else if (DUhas(DIBStatus, DUINC)) INCFilter(DIBbits, DIBWidth, DIBHeight, true, b);
    else b.write(reinterpret_cast<const char*>(DIBbits), DIBSize);
    const uint32_t pixelBytes = uint32_t(b.pos() - pixelsAt);
    b.write(marker, 2);
    if (DUhas(DIBStatus, DUtAlpha) && !Alpha.empty()) {
        b.putChar(char(kAlphaMark));
        b.write(reinterpret_cast<const char*>(Alpha.data()), qint64(Alpha.size()));
        b.putChar(char(kAlphaMark));
    }
    b.close();

    if (DUhas(DIBStatus, DUtLZH)) {
        QByteArray packed;
        QBuffer in(&body), out(&packed);
        in.open(QIODevice::ReadOnly);
        out.open(QIODevice::WriteOnly);
        TLZH lzh;
        lzh.FInputStream = &in;
        lzh.FOutputStream = &out;
        lzh.Compress(int(body.size()));
        out.close();
        body = std::move(packed);
    }

    const TDUPixelFormat final = DUhas(DIBStatus, DUtAlpha) ? DUpf16 : FinalFormat;
    uint8_t head[20] = {uint8_t(kMagic & 0xFF), uint8_t(kMagic >> 8), uint8_t(DIBWidth), uint8_t(DIBWidth >> 8),
                        uint8_t(DIBHeight), uint8_t(DIBHeight >> 8), uint8_t(DIBResol), uint8_t(final), flags,
                        DIBTransp, uint8_t(palCount), uint8_t(palCount >> 8), 0, 0, 0, 0,
                        uint8_t(pixelBytes), uint8_t(pixelBytes >> 8), uint8_t(pixelBytes >> 16),
                        uint8_t(pixelBytes >> 24)};
    Stream.write(reinterpret_cast<const char*>(head), 20);
    Stream.write(body);
}
