// Surfaces read from the program's raw-data resources, and the pixel memory handed over.
#include <gtest/gtest.h>

#include "engine/dib/dib_error.h"
#include "tests/engine/dib/dibtesthelpers.h"
#include "tests/engine/dib/resourceimages.h"

namespace {
void ExpectPicture(const TDIBUltra& d, bool numbered, int w, int h)
{
    ASSERT_EQ(d.DIBWidth, w);
    ASSERT_EQ(d.DIBHeight, h);
    EXPECT_EQ(d.DIBResol, DUpf24);
    EXPECT_EQ(d.ClpRect, (TRect{0, 0, w - 1, h - 1}));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) ASSERT_EQ(d.GetPixelIndex(x, y), resourceimages::Pixel(numbered, x, y)) << x << "," << y;
}
}  // namespace

TEST(Resources, ByNameInAnyCaseAndByNumber)
{
    for (const char* name : {"PROBE", "probe", "Probe"}) {
        SCOPED_TRACE(name);
        TDIBUltra d(nullptr, QString::fromLatin1(name));
        ExpectPicture(d, false, resourceimages::kNamedW, resourceimages::kNamedH);
    }
    TDIBUltra n(nullptr, resourceimages::kNumber);
    ExpectPicture(n, true, resourceimages::kNumberedW, resourceimages::kNumberedH);
    // the number's name form finds the same resource
    TDIBUltra byText(nullptr, QStringLiteral("#101"));
    ExpectPicture(byText, true, resourceimages::kNumberedW, resourceimages::kNumberedH);
}

TEST(Resources, AMissingResourceFailsAsAMissingFileDoes)
{
    EXPECT_EQ(ErrorOf([] { TDIBUltra d(nullptr, QStringLiteral("absent")); }),
              "Cannot open file \":/RCDATA/ABSENT\".");
    EXPECT_EQ(ErrorOf([] { TDIBUltra d(nullptr, 102); }), "Cannot open file \":/RCDATA/#102\".");
    EXPECT_EQ(ErrorOf([] { TDIBUltra d(QStringLiteral("/nonexistent/probe.dib")); }),
              "Cannot open file \"/nonexistent/probe.dib\".");
}

TEST(Resources, ReleaseHandleHandsOverThePixelsAndLeavesTheSurfaceUnbound)
{
    TDIBUltra d(5, 3, DUpf24);
    d.DirectPlot(0, 0, 0x112233);
    d.DirectPlot(4, 2, 0x445566);
    const int stride = d.Stride();
    const std::vector<uint8_t> bits = d.ReleaseHandle();
    ASSERT_EQ(int(bits.size()), stride * 3);
    EXPECT_EQ(bits[size_t(2 * stride)], 0x33);  // top row last, bytes B, G, R
    EXPECT_EQ(bits[size_t(2 * stride + 2)], 0x11);
    EXPECT_EQ(bits[12], 0x66);
    EXPECT_EQ(bits[14], 0x44);

    EXPECT_FALSE(d.CnvOK);
    EXPECT_EQ(d.DIBbits, nullptr);
    EXPECT_EQ(d.GetScanLine(0), nullptr);
    // drawing on it now does nothing
    d.SetPenColor(0xFFFFFF);
    d.MoveTo(0, 0);
    d.LineTo(4, 2);
    d.FillRect({0, 0, 5, 3});
    d.SetPixel(1, 1, 0xFFFFFF);
    d.ClearAll();
    TDIBUltra target(5, 3, DUpf24);
    d.DrawOn({0, 0, 5, 3}, target.Cnv, 0, 0);
    EXPECT_TRUE(Drawn(target, 0).empty());
    EXPECT_TRUE(d.ReleaseHandle().empty());

    // BufferDim makes it a surface again, blank
    d.BufferDim(4, 2);
    EXPECT_TRUE(d.CnvOK);
    ASSERT_EQ(d.DIBWidth, 4);
    ASSERT_EQ(d.DIBHeight, 2);
    EXPECT_TRUE(Drawn(d, 0).empty());
    d.SetPenColor(0x0000FF);
    d.Plot(1, 1);
    EXPECT_EQ(Drawn(d, 0), (Pixels{{1, 1}}));
}
