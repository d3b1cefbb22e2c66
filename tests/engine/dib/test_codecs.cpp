#include <gtest/gtest.h>

#include <random>

#include <QBuffer>
#include <QByteArray>

#include "engine/dib/dib_error.h"
#include "engine/dib/dibcodec.h"
#include "tests/engine/dib/dibtesthelpers.h"
#include "engine/dib/elzhexception.h"
#include "engine/dib/elzrw1exception.h"
#include "engine/dib/tlzh.h"

namespace {

QByteArray Bytes(std::initializer_list<int> b)
{
    QByteArray a;
    for (int v : b) a.append(char(v));
    return a;
}

QByteArray Rle(const QByteArray& in)
{
    QByteArray out;
    QBuffer b(&out);
    b.open(QIODevice::WriteOnly);
    RLECompress(reinterpret_cast<const uint8_t*>(in.constData()), int(in.size()), b);
    return out;
}

QByteArray UnRle(QByteArray code, int size, int* written = nullptr)
{
    QBuffer b(&code);
    b.open(QIODevice::ReadOnly);
    QByteArray out(size, '\0');
    const int n = RLEDecompress(b, size, reinterpret_cast<uint8_t*>(out.data()));
    if (written) *written = n;
    return out;
}

QByteArray Lzh(const QByteArray& in, int* result = nullptr)
{
    QByteArray src = in, out;
    QBuffer i(&src), o(&out);
    i.open(QIODevice::ReadOnly);
    o.open(QIODevice::WriteOnly);
    TLZH z;
    z.FInputStream = &i;
    z.FOutputStream = &o;
    const int n = z.Compress(int(in.size()));
    if (result) *result = n;
    return out;
}

QByteArray UnLzh(QByteArray in, TLZH* with = nullptr)
{
    QByteArray out;
    QBuffer i(&in), o(&out);
    i.open(QIODevice::ReadOnly);
    o.open(QIODevice::WriteOnly);
    TLZH own;
    TLZH& z = with ? *with : own;
    z.FInputStream = &i;
    z.FOutputStream = &o;
    const int n = z.Decompress();
    EXPECT_EQ(n, out.size());
    return out;
}

// runs, lone 0xFF bytes, pairs and noise in every mix
QByteArray Mixed(int size, unsigned seed)
{
    std::mt19937 rng(seed);
    QByteArray a;
    while (a.size() < size) {
        const int kind = int(rng() % 5), len = int(rng() % 80) + 1;
        const char v = (rng() % 3 == 0) ? char(0xFF) : char(rng() % 4);
        for (int i = 0; i < len && a.size() < size; ++i)
            a.append(kind == 0 ? char(rng()) : kind == 1 ? char(0xFF) : v);
    }
    return a;
}

}  // namespace

struct RleCase {
    const char* name;
    QByteArray in, code;
};

TEST(RunLength, KnownCodes)
{
    const RleCase cases[] = {
        {"100 equal bytes", QByteArray(100, 0x41), Bytes({0xFF, 0x3D, 0x41, 0xA5, 0x41, 0x41, 0x41, 0x00})},
        {"lone 0xFF right after a run", Bytes({0x41, 0x41, 0x41, 0x41, 0x41, 0xFF, 0x42, 0x43}),
         Bytes({0xFF, 0xC5, 0x41, 0xFF, 0x42, 0x43, 0xFF, 0x00})},
        {"0xFF after three literals", Bytes({0x41, 0x41, 0x41, 0x41, 0x41, 0x42, 0x43, 0x44, 0xFF, 0x45, 0x46}),
         Bytes({0xFF, 0xC5, 0x41, 0x42, 0x43, 0x44, 0xFF, 0xFF, 0x45, 0x46, 0xFF, 0x00})},
        {"literals only", Bytes({1, 2, 0xFF}), Bytes({1, 2, 0xFF, 0xFF, 0xFF, 0x00})},
        {"empty", QByteArray(), Bytes({0xFF, 0x00})},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Rle(c.in).toHex(' '), c.code.toHex(' ')) << c.name;
        int n = -1;
        EXPECT_EQ(UnRle(c.code, int(c.in.size()), &n), c.in) << c.name;
        EXPECT_EQ(n, c.in.size()) << c.name;
    }
}

TEST(RunLength, RoundTrips)
{
    for (int size : {1, 2, 3, 4, 61, 62, 63, 64, 65, 300, 5000}) {
        for (unsigned seed = 0; seed < 20; ++seed) {
            const QByteArray in = Mixed(size, seed * 31 + unsigned(size));
            ASSERT_EQ(UnRle(Rle(in), size), in) << size << " " << seed;
        }
    }
    EXPECT_EQ(UnRle(Rle(QByteArray(1000, char(0xFF))), 1000), QByteArray(1000, char(0xFF)));
}

TEST(RunLength, BadCodeIsRefused)
{
    // the code would write past the buffer
    EXPECT_EQ(ErrorOf([] { UnRle(Rle(QByteArray(100, 7)), 99); }), DIBCorruptMessage);
    EXPECT_EQ(ErrorOf([] { UnRle(Bytes({0xFF, 0x3F, 1, 0xFF, 0x3F, 2}), 200); }), DIBCorruptMessage);
    // the input ends before the end code
    const QByteArray code = Rle(Mixed(500, 3));
    for (int cut = 0; cut < code.size(); ++cut)
        EXPECT_THROW(UnRle(code.left(cut), 500), DIB_ERROR) << cut;
}

TEST(PredictionFilter, Rows)
{
    for (int width : {1, 3, 1024, 1025, 2100}) {
        const int stride = (width * 3 + 3) & ~3, height = 3;
        std::vector<uint8_t> px(size_t(stride * height));
        std::mt19937 gen{unsigned(width)};
        for (auto& b : px) b = uint8_t(gen());
        // a row of equal pixels is its first pixel and zeros
        for (int x = 0; x < width; ++x) px[size_t(x * 3)] = 9, px[size_t(x * 3 + 1)] = 8, px[size_t(x * 3 + 2)] = 7;
        QByteArray code;
        QBuffer b(&code);
        b.open(QIODevice::WriteOnly);
        INCFilter(px.data(), width, height, true, b);
        ASSERT_EQ(code.size(), width * 3 * height);
        EXPECT_EQ(code.left(3), Bytes({9, 8, 7}));
        EXPECT_EQ(code.mid(3, width * 3 - 3), QByteArray(width * 3 - 3, '\0'));
        std::vector<uint8_t> back(px.size(), 0);
        b.close();
        b.open(QIODevice::ReadOnly);
        INCFilter(back.data(), width, height, false, b);
        for (int r = 0; r < height; ++r)
            ASSERT_EQ(std::memcmp(back.data() + r * stride, px.data() + r * stride, size_t(width * 3)), 0) << width;
        b.close();
        code.chop(1);
        b.open(QIODevice::ReadOnly);
        EXPECT_THROW(INCFilter(back.data(), width, height, false, b), DIB_ERROR);
    }
}

TEST(Lzh, EmptyInputWritesNothing)
{
    int n = -1;
    EXPECT_EQ(Lzh(QByteArray(), &n), QByteArray());
    EXPECT_EQ(n, 0);
}

TEST(Lzh, RoundTrips)
{
    QByteArray text;
    for (int i = 0; i < 3000; ++i) text += QByteArray::number(i * 7919 % 1000) + " deck tempo cue loop ";
    std::mt19937 rng(5);
    QByteArray noise(70000, '\0');
    for (auto& c : noise) c = char(rng());
    const QByteArray inputs[] = {QByteArray(1, 'x'), QByteArray(2, ' '), QByteArray(100, 'A'), QByteArray(5000, ' '),
                                 text, noise, Mixed(100000, 1), Mixed(40000, 2) + noise.left(1000)};
    for (const auto& in : inputs) {
        int n = 0;
        const QByteArray code = Lzh(in, &n);
        EXPECT_EQ(n, code.size());
        // the size comes first
        const uint32_t size = uint8_t(code[0]) | uint8_t(code[1]) << 8 | uint8_t(code[2]) << 16 | uint32_t(uint8_t(code[3])) << 24;
        EXPECT_EQ(size, uint32_t(in.size()));
        ASSERT_EQ(UnLzh(code), in) << in.size();
    }
    EXPECT_LT(Lzh(text).size(), text.size() / 3);
}

TEST(Lzh, EqualBytesAreOneLiteralThenMatchesAtDistanceOne)
{
    TLZH z;
    std::vector<std::tuple<int, int, int>> tokens;
    z.OnToken = [&](int lit, int len, int dist) { tokens.emplace_back(lit, len, dist); };
    EXPECT_EQ(UnLzh(Lzh(QByteArray(100, 'Q')), &z), QByteArray(100, 'Q'));
    const std::vector<std::tuple<int, int, int>> expected = {{'Q', 0, 0}, {-1, 60, 1}, {-1, 39, 1}};
    EXPECT_EQ(tokens, expected);
}

TEST(Lzh, OutputIsExactlyTheNamedSize)
{
    const QByteArray in = Mixed(3000, 9);
    QByteArray code = Lzh(in);
    EXPECT_EQ(UnLzh(code + QByteArray(50, char(0xA5))), in);
    // a smaller size stops the output, even inside a match
    QByteArray shorter = Lzh(QByteArray(100, 'Q'));
    shorter[0] = 70;
    EXPECT_EQ(UnLzh(shorter), QByteArray(70, 'Q'));
    // past the end of the input the decoder reads zero bits
    QByteArray zeros = Lzh(QByteArray(1, 'z'));
    zeros[0] = 5;
    EXPECT_EQ(UnLzh(zeros).size(), 5);
}

TEST(Lzh, CorruptStreamsAreRefused)
{
    // a tiny stream that names a huge size runs out of input bits
    EXPECT_THROW(UnLzh(Bytes({0xFF, 0xFF, 0xFF, 0x7F, 0x12})), ElzhException);
    TLZH limited;
    limited.MaxOutput = 1000;
    EXPECT_THROW(UnLzh(Lzh(QByteArray(2000, 'x')), &limited), ElzhException);
    EXPECT_THROW(UnLzh(Bytes({1, 0})), ELzrw1Exception);
    TLZH none;
    EXPECT_EQ(ErrorOf([&] { none.Decompress(); }), "LZH (de)compression : Failed to initialize input stream !");
    // random garbage decodes to something or is refused, but never more than it names
    std::mt19937 rng(11);
    for (int i = 0; i < 300; ++i) {
        QByteArray junk(int(rng() % 200) + 4, '\0');
        for (auto& c : junk) c = char(rng());
        junk[2] = 0, junk[3] = 0;
        try {
            const QByteArray out = UnLzh(junk);
            EXPECT_EQ(out.size(), int(uint8_t(junk[0]) | uint8_t(junk[1]) << 8));
        } catch (const ElzhException&) {
        }
    }
}
