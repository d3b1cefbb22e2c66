#include <gtest/gtest.h>

#include <random>

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include "engine/dib/dib_error.h"
#include "tests/engine/dib/dibtesthelpers.h"
#include "engine/dib/elzhexception.h"
#include "engine/dib/elzrw1exception.h"

namespace {

QByteArray Save(TDIBUltra& d, TDUPixelFormat final)
{
    QByteArray out;
    QBuffer b(&out);
    b.open(QIODevice::WriteOnly);
    d.SaveToStream(b, DUsmDIBUltra, final);
    return out;
}

std::unique_ptr<TDIBUltra> Load(const QByteArray& data)
{
    auto b = std::make_unique<QBuffer>();
    b->setData(data);
    b->open(QIODevice::ReadOnly);
    return std::make_unique<TDIBUltra>(std::move(b));
}

// a loader failure is one of the library's own exceptions
std::string LoadError(const QByteArray& data)
{
    try {
        Load(data);
    } catch (const DIB_ERROR& e) {
        return e.what();
    } catch (const ElzhException& e) {
        return e.what();
    } catch (const ELzrw1Exception& e) {
        return e.what();
    }
    return "no error";
}

void Fill(TDIBUltra& d, unsigned seed, bool runs)
{
    std::mt19937 rng(seed);
    const uint32_t max = DUmaxValue[d.DIBResol];
    for (int y = 0; y < d.DIBHeight; ++y)
        for (int x = 0; x < d.DIBWidth; ++x)
            d.DirectPlot(x, y, runs ? uint32_t((x / 7 + y) * 0x010203) & max : uint32_t(rng()) & max);
}

void ExpectSamePixels(const TDIBUltra& a, const TDIBUltra& b)
{
    ASSERT_EQ(a.DIBWidth, b.DIBWidth);
    ASSERT_EQ(a.DIBHeight, b.DIBHeight);
    ASSERT_EQ(a.DIBResol, b.DIBResol);
    for (int y = 0; y < a.DIBHeight; ++y)
        for (int x = 0; x < a.DIBWidth; ++x) ASSERT_EQ(a.GetPixelIndex(x, y), b.GetPixelIndex(x, y)) << x << "," << y;
}

// a Windows bitmap of our own making
QByteArray Bmp(int width, int height, int bits, uint32_t compression, const QByteArray& pixels,
               const std::vector<uint32_t>& extra = {})
{
    QByteArray h(54, '\0');
    auto put32 = [&](int at, uint32_t v) {
        for (int i = 0; i < 4; ++i) h[at + i] = char(v >> (8 * i));
    };
    h[0] = 'B', h[1] = 'M';
    put32(14, 40);
    put32(18, uint32_t(width));
    put32(22, uint32_t(height));
    h[26] = 1;
    h[28] = char(bits);
    put32(30, compression);
    for (uint32_t v : extra)
        for (int i = 0; i < 4; ++i) h.append(char(v >> (8 * i)));
    put32(10, uint32_t(h.size()));
    put32(2, uint32_t(h.size() + pixels.size()));
    return h + pixels;
}

}  // namespace

std::vector<uint32_t> PixelValues(const TDIBUltra& d)
{
    std::vector<uint32_t> v;
    for (int y = 0; y < d.DIBHeight; ++y)
        for (int x = 0; x < d.DIBWidth; ++x) v.push_back(d.GetPixelIndex(x, y));
    return v;
}

TEST(StoredImage, EveryFormatRoundTripsExactly)
{
    for (int f = DUpf1; f <= DUpf32; ++f)
        for (bool lzh : {true, false})
            for (bool runs : {true, false})
                for (auto [w, h] : {std::pair{1, 1}, std::pair{13, 7}, std::pair{64, 3}, std::pair{1030, 2}}) {
                    SCOPED_TRACE(testing::Message() << "format " << f << " lzh " << lzh << " " << w << "x" << h);
                    TDIBUltra d(w, h, TDUPixelFormat(f));
                    Fill(d, unsigned(f * 100 + w), runs);
                    d.WLZH(lzh);
                    const auto before = PixelValues(d);
                    const QByteArray data = Save(d, TDUPixelFormat(f));
                    EXPECT_EQ(PixelValues(d), before);  // rows back in their order
                    auto back = Load(data);
                    ExpectSamePixels(d, *back);
                    // row padding included (set to the last pixel byte when saving), except where
                    // the prediction filter carries pixels only
                    if (f != DUpf24) {
                        EXPECT_EQ(std::memcmp(d.DIBbits, back->DIBbits, size_t(d.DIBSize)), 0);
                    }
                    EXPECT_EQ(back->RLZH(), lzh);
                    EXPECT_EQ(back->ClpRect, (TRect{0, 0, w - 1, h - 1}));
                    EXPECT_EQ(back->BcoulL & DUmaxValue[f], back->GetIndexFromColor(0xFFFFFF));
                    if (f <= DUpf8) {
                        EXPECT_EQ(back->DIBLogPal.Count, d.DIBLogPal.Count);
                    }
                }
}

TEST(StoredImage, HeaderAndEncodingByFormat)
{
    struct C {
        TDUPixelFormat f;
        uint8_t encoding;  // DUnoRLE and DUINC bits
    };
    for (auto c : {C{DUpf1, 0x20}, C{DUpf4, 0x20}, C{DUpf8, 0x00}, C{DUpf15, 0x20}, C{DUpf16, 0x20},
                   C{DUpf24, 0x60}, C{DUpf32, 0x20}}) {
        TDIBUltra d(300, 2, c.f);
        d.WLZH(false);
        const QByteArray s = Save(d, DUpf24);
        ASSERT_GE(s.size(), 24);
        EXPECT_EQ(uint8_t(s[0]), 0xFE);
        EXPECT_EQ(uint8_t(s[1]), 0x4D);
        EXPECT_EQ(uint8_t(s[2]) | uint8_t(s[3]) << 8, 300);
        EXPECT_EQ(uint8_t(s[4]), 2);
        EXPECT_EQ(uint8_t(s[6]), c.f);
        EXPECT_EQ(uint8_t(s[7]), DUpf24);
        EXPECT_EQ(uint8_t(s[8]) & 0x60, c.encoding) << int(c.f);
        // default palettes are not stored
        EXPECT_EQ(bool(uint8_t(s[8]) & 0x10), c.f <= DUpf8);
        EXPECT_EQ(uint8_t(s[10]), 0);
        // the marker follows at once, then the pixels, whose size is in the header
        EXPECT_EQ(uint8_t(s[20]), 0xFE);
        const uint32_t pixelBytes = uint8_t(s[16]) | uint8_t(s[17]) << 8 | uint8_t(s[18]) << 16;
        EXPECT_EQ(s.size(), 20 + 2 + qsizetype(pixelBytes) + 2);
        if (c.f != DUpf8) {
            EXPECT_EQ(pixelBytes, uint32_t(d.DIBSize));
        }
    }
}

TEST(StoredImage, OwnPalettesAreStoredWhole)
{
    T256ColorsPalette pal;
    pal.Count = 256;
    for (int i = 0; i < 256; ++i) pal.Entries[i] = {uint8_t(i), uint8_t(255 - i), uint8_t(i * 7), 0};
    for (int count : {3, 255, 256}) {
        pal.Count = uint16_t(count);
        TDIBUltra d(5, 5, DUpf8, &pal);
        Fill(d, 1, false);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 5; ++x) d.DirectPlot(x, y, d.GetPixelIndex(x, y) % uint32_t(count));
        const QByteArray s = Save(d, DUpf8);
        EXPECT_FALSE(uint8_t(s[8]) & 0x10);
        auto back = Load(s);
        ASSERT_EQ(back->DIBLogPal.Count, count);
        for (int i = 0; i < count; ++i) {
            EXPECT_EQ(back->DIBLogPal.Entries[i].Red, pal.Entries[i].Red);
            EXPECT_EQ(back->DIBLogPal.Entries[i].Blue, pal.Entries[i].Blue);
        }
        ExpectSamePixels(d, *back);
    }
}

TEST(StoredImage, FinalFormatConvertsOnLoad)
{
    TDIBUltra d(6, 4, DUpf24);
    d.SetPenColor(0x0000FF);
    d.MoveTo(0, 1);
    d.LineTo(5, 1);
    d.DirectPlot(2, 3, 0x00FF00);
    auto back = Load(Save(d, DUpf16));
    ASSERT_EQ(back->DIBResol, DUpf16);
    EXPECT_EQ(back->GetPixelIndex(3, 1), 0xF800u);
    EXPECT_EQ(back->GetPixelIndex(2, 3), 0x07E0u);
    EXPECT_EQ(back->GetPixelIndex(2, 2), 0u);
    auto eight = Load(Save(d, DUpf8));
    EXPECT_EQ(eight->GetColorFromIndex(eight->GetPixelIndex(0, 1)), 0x0000FFu);
}

TEST(StoredImage, AlphaStructureRoundTrip)
{
    TDIBUltra d(5, 3, DUpf8), mask(5, 3, DUpf8);
    Fill(d, 4, false);
    mask.DirectPlot(2, 1, 200);
    d.SetAlphaMask(mask, 1, 9);
    auto back = Load(Save(d, DUpf8));
    EXPECT_EQ(back->DIBResol, DUpf16);  // a picture with an alpha mask is built as 5-6-5
    EXPECT_EQ(back->Alpha, d.Alpha);
    EXPECT_TRUE(DUhas(back->DIBStatus, DUtAlpha));
    TDIBUltra dest(5, 3, DUpf16);
    back->AlphaChanelBlit(dest, 0, 1, 0);
    EXPECT_EQ(Drawn(dest, 0), (Pixels{{2, 1}}) ) ;

    TDIBUltra d24(5, 3, DUpf24);
    Fill(d24, 2, false);
    d24.SetAlphaMask(mask, 1, 0);
    const auto before = PixelValues(d24);
    QByteArray out;
    QBuffer b(&out);
    b.open(QIODevice::WriteOnly);
    EXPECT_EQ(ErrorOf([&] { d24.SaveToStream(b, DUsmDIBUltra, DUpf24); }),
              "Only 256 colors (or less) UltraDIBs can be saved with AlphaChannels !");
    EXPECT_EQ(PixelValues(d24), before);
    EXPECT_EQ(ErrorOf([&] { d24.SaveToStream(b, DUsmWindows, DUpf24); }),
              "Saving in Windows DIB Format is not yet supported (boring format...)");
    EXPECT_TRUE(out.isEmpty());
}

TEST(StoredImage, Files)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath("pic.dib");
    TDIBUltra d(7, 5, DUpf24);
    Fill(d, 3, false);
    d.SaveToFile(name, DUsmDIBUltra, DUpf24);
    TDIBUltra back(name);
    ExpectSamePixels(d, back);
    EXPECT_THROW(TDIBUltra(dir.filePath("missing.dib")), DIB_ERROR);
    EXPECT_THROW(d.SaveToFile(dir.filePath("no/such/dir/x.dib"), DUsmDIBUltra, DUpf24), DIB_ERROR);
    // a mask from a file
    TDIBUltra mask(7, 5, DUpf8);
    mask.DirectPlot(1, 1, 255);
    mask.SaveToFile(dir.filePath("mask.dib"), DUsmDIBUltra, DUpf8);
    TDIBUltra pic(7, 5, DUpf16);
    pic.SetAlphaFile(dir.filePath("mask.dib"), 1, 0);
    EXPECT_TRUE(DUhas(pic.DIBStatus, DUtAlpha));
}

TEST(StoredImage, BadInputIsRefused)
{
    TDIBUltra d(40, 30, DUpf8);
    Fill(d, 5, true);
    TDIBUltra mask(40, 30, DUpf8);
    mask.DirectPlot(3, 3, 255);
    d.SetAlphaMask(mask, 1, 0);
    d.WLZH(false);
    const QByteArray plain = Save(d, DUpf8);
    d.WLZH(true);
    const QByteArray packed = Save(d, DUpf8);

    EXPECT_EQ(LoadError(QByteArray("XY1234567890123456789")), "DIB File Format Unrecognized !");
    EXPECT_EQ(LoadError(QByteArray()), "DIB File Format Unrecognized !");
    // every truncation of a good file is refused
    for (const QByteArray* file : {&plain, &packed})
        for (int cut = 0; cut < file->size(); ++cut) ASSERT_NE(LoadError(file->left(cut)), "no error") << cut;

    auto patched = [&](int at, std::initializer_list<int> bytes) {
        QByteArray p = plain;
        int i = at;
        for (int b : bytes) p[i++] = char(b);
        return p;
    };
    // sizes that the body cannot hold are refused before anything is allocated
    EXPECT_EQ(LoadError(patched(2, {0xFF, 0xFF, 0xFF, 0xFF})), "Corrupted CompressedDIB data !");
    EXPECT_EQ(LoadError(patched(6, {9})), "Corrupted CompressedDIB data !");
    EXPECT_EQ(LoadError(patched(2, {0, 0})), "Corrupted CompressedDIB data !");
    EXPECT_EQ(LoadError(patched(10, {0x00, 0x02})), "Corrupted CompressedDIB data !");
    EXPECT_EQ(LoadError(patched(20, {0})), "Internal Error During CompressedDIB Loading Process !");
    // the prediction filter only takes 24-bit pixels
    EXPECT_EQ(LoadError(patched(8, {0x60 | 0x10 | 0x02})), "Corrupted CompressedDIB data !");
    QByteArray noEnd = plain;
    noEnd[plain.indexOf(char(0xA6)) - 1] = 0;
    EXPECT_EQ(LoadError(noEnd), "Abnormal CompressedDIB Loading Terminaison !");
    // the alpha block: its size and its runs must fit
    const int a = int(plain.indexOf(char(0xA6), 22));
    QByteArray alpha = plain;
    alpha[a + 1 + AlphaOffBlockSize + 2] = char(0x7F);
    EXPECT_EQ(LoadError(alpha), "Internal Error During AlphaStructure Loading Process !");
    alpha = plain;
    alpha[a + 1 + AlphaHeaderSize] = char(0xFF);  // a run far wider than the picture
    EXPECT_EQ(LoadError(alpha), "Internal Error During AlphaStructure Loading Process !");
    alpha = plain;
    alpha[alpha.size() - 1] = 0;
    EXPECT_EQ(LoadError(alpha), "Abnormal AlphaStructure Ending !");
    alpha = plain;
    alpha[a] = 0;
    EXPECT_EQ(LoadError(alpha), "Internal Error During AlphaStructure Loading Process !");
    // LZH bodies that claim far more than they can hold
    QByteArray bomb = packed.left(20);
    bomb[8] = char(0x08);
    bomb += QByteArray::fromHex("ffffff0f0000");
    EXPECT_EQ(LoadError(bomb), "LZH : Compressed data corrupted");
}

TEST(StoredImage, RandomBytesNeverCrash)
{
    TDIBUltra d(9, 4, DUpf24);
    Fill(d, 8, true);
    const QByteArray seeds[] = {Save(d, DUpf24), [&] {
                                    d.WLZH(false);
                                    return Save(d, DUpf16);
                                }()};
    std::mt19937 rng(99);
    int loaded = 0;
    for (const QByteArray& seed : seeds)
        for (int i = 0; i < 3000; ++i) {
            QByteArray m = seed;
            const int flips = int(rng() % 6) + 1;
            for (int k = 0; k < flips; ++k) m[int(rng() % unsigned(m.size()))] = char(rng());
            if (LoadError(m) == "no error") ++loaded;
        }
    EXPECT_GT(loaded, 0);
}

TEST(WindowsBitmap, FormatsByBitCount)
{
    // 2x2, bottom-up rows
    const QByteArray px16 = QByteArray::fromHex("00f8e007" "1f00ffff");
    auto b565 = Load(Bmp(2, 2, 16, 3, px16, {0xF800, 0x07E0, 0x001F}));
    EXPECT_EQ(b565->DIBResol, DUpf16);
    EXPECT_EQ(b565->GetPixelIndex(0, 1), 0xF800u);  // first stored row is the bottom one
    EXPECT_EQ(b565->GetPixelIndex(1, 0), 0xFFFFu);
    auto b555 = Load(Bmp(2, 2, 16, 0, px16));
    EXPECT_EQ(b555->DIBResol, DUpf15);
    // 5-5-5 bit fields are converted to 5-6-5
    auto b16 = Load(Bmp(1, 1, 16, 3, QByteArray::fromHex("007c0000"), {0x7C00, 0x03E0, 0x001F}));
    EXPECT_EQ(b16->DIBResol, DUpf16);
    EXPECT_EQ(b16->GetPixelIndex(0, 0), 0xF800u);

    auto b24 = Load(Bmp(1, 2, 24, 0, QByteArray::fromHex("010203000a0b0c00")));
    EXPECT_EQ(b24->DIBResol, DUpf24);
    EXPECT_EQ(b24->GetPixelIndex(0, 0), 0x0C0B0Au);
    auto top = Load(Bmp(1, -2, 24, 0, QByteArray::fromHex("010203000a0b0c00")));
    EXPECT_EQ(top->GetPixelIndex(0, 0), 0x030201u);
    auto b32 = Load(Bmp(1, 1, 32, 0, QByteArray::fromHex("01020300")));
    EXPECT_EQ(b32->DIBResol, DUpf32);
    EXPECT_EQ(b32->GetPixelIndex(0, 0), 0x030201u);

    // 8 bits with all 256 palette entries: the last one is kept
    std::vector<uint32_t> pal(256);
    for (int i = 0; i < 256; ++i) pal[size_t(i)] = uint32_t(i) << 16 | uint32_t(255 - i);
    auto b8 = Load(Bmp(1, 1, 8, 0, QByteArray::fromHex("ff000000"), pal));
    EXPECT_EQ(b8->DIBResol, DUpf8);
    EXPECT_EQ(b8->DIBLogPal.Count, 256);
    EXPECT_EQ(b8->GetColorFromIndex(b8->GetPixelIndex(0, 0)), 0x0000FFu);
    auto b1 = Load(Bmp(9, 1, 1, 0, QByteArray::fromHex("80800000"), {0, 0xFFFFFF}));
    EXPECT_EQ(b1->DIBResol, DUpf1);
    EXPECT_EQ(b1->GetPixelIndex(0, 0), 1u);
    EXPECT_EQ(b1->GetPixelIndex(8, 0), 1u);
    auto b4 = Load(Bmp(2, 1, 4, 0, QByteArray::fromHex("1f000000"), std::vector<uint32_t>(16, 0x123456)));
    EXPECT_EQ(b4->DIBResol, DUpf4);
    EXPECT_EQ(b4->GetPixelIndex(1, 0), 0xFu);
}

TEST(WindowsBitmap, BadFilesAreRefused)
{
    EXPECT_EQ(LoadError(Bmp(1, 1, 2, 0, QByteArray(4, 0))), "Unsupported WindowsDIB Resolution");
    EXPECT_EQ(LoadError(Bmp(1, 1, 8, 1, QByteArray(4, 0))), "Unsupported WindowsDIB Compression");
    EXPECT_EQ(LoadError(Bmp(4000, 4000, 24, 0, QByteArray(40, 0))), "Corrupted WindowsDIB data !");
    EXPECT_EQ(LoadError(Bmp(0, 1, 24, 0, QByteArray(4, 0))), "Corrupted WindowsDIB data !");
    EXPECT_EQ(LoadError(Bmp(1, INT32_MIN, 24, 0, QByteArray(4, 0))), "Corrupted WindowsDIB data !");
    EXPECT_EQ(LoadError(Bmp(1, 1, 8, 0, QByteArray(4, 0), {0, 0})), "Corrupted WindowsDIB data !");
    const QByteArray good = Bmp(3, 3, 24, 0, QByteArray(36, 7));
    for (int cut = 0; cut < good.size(); ++cut) ASSERT_NE(LoadError(good.left(cut)), "no error") << cut;
}
