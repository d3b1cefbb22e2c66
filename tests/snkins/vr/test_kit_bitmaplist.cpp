// The bitmap list stream and the shared bitmap list: round trips, appending and replacing,
// the failure rules on wrong, truncated and oversized streams, and the list's clients.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtEndian>

#include "snkins/vr/bitmapliststream.h"
#include "snkins/vr/evrexception.h"
#include "snkins/vr/tvrbitmapimage.h"
#include "snkins/vr/tvrbitmaplist.h"
#include "snkins/vr/tvrbitmaps.h"
#include "tests/snkins/vr/kittesthelpers.h"

namespace {

QImage pattern(int w, int h, int seed)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.setPixel(x, y, qRgb((x * 13 + seed) & 255, (y * 7 + seed) & 255, (x ^ y) & 255));
    return img;
}

QImage indexed(int w, int h)
{
    QImage img(w, h, QImage::Format_Indexed8);
    img.setColorTable({qRgb(0, 0, 0), qRgb(255, 0, 255), qRgb(10, 200, 30)});
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.setPixel(x, y, uint((x + y) % 3));
    return img;
}

QByteArray streamOf(const QList<QImage>& images)
{
    QBuffer b;
    b.open(QIODevice::WriteOnly);
    QList<const QImage*> list;
    for (const QImage& i : images) list << &i;
    WriteBitmapListStream(b, list);
    return b.data();
}

void put32(QByteArray& b, int at, quint32 v) { qToLittleEndian(v, b.data() + at); }

bool samePixels(const QImage& a, const QImage& b)
{
    return a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

// Loads `bytes` into a collection that already holds one picture; returns the error text.
std::string loadInto(TVrBitmaps& bitmaps, const QByteArray& bytes)
{
    QBuffer in;
    in.setData(bytes);
    in.open(QIODevice::ReadOnly);
    try {
        bitmaps.LoadFromStream(in);
    } catch (const EVrException& e) {
        EXPECT_LE(in.pos(), in.size());
        return e.what();
    }
    return {};
}

}  // namespace

TEST(KitBitmapList, StreamRoundTripKeepsEveryPictureInOrder)
{
    TVrBitmaps out;
    out.Add(pattern(37, 11, 1));
    out.Add(indexed(5, 3));
    out.Add(pattern(1, 1, 9));
    out.Add(pattern(270, 50, 4));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    out.SaveToStream(buffer);
    const QByteArray bytes = buffer.data();
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData()), 0x00355462u);
    EXPECT_EQ(qFromLittleEndian<qint32>(bytes.constData() + 4), 4);

    TVrBitmaps in;
    EXPECT_EQ(loadInto(in, bytes), "");
    ASSERT_EQ(in.Count(), 4);
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(samePixels(*in.Bitmaps(i), *out.Bitmaps(i))) << i;
}

TEST(KitBitmapList, AnEmptyPictureMakesTheRoundTripToo)
{
    TVrBitmaps out;
    out.Add(QImage());
    out.Add(pattern(3, 2, 1));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    out.SaveToStream(buffer);
    TVrBitmaps in;
    EXPECT_EQ(loadInto(in, buffer.data()), "");
    ASSERT_EQ(in.Count(), 2);
    EXPECT_TRUE(in.Bitmaps(0)->isNull());
    EXPECT_TRUE(samePixels(*in.Bitmaps(1), *out.Bitmaps(1)));
}

TEST(KitBitmapList, FilesRoundTripAndLoadingAppendsWhileTheFormReplaces)
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("pomos ñ.bls"));
    TVrBitmaps out;
    out.Add(pattern(8, 8, 2));
    out.Add(pattern(9, 4, 3));
    out.SaveToFile(name);

    TVrBitmaps in;
    in.Add(pattern(2, 2, 7));
    QSignalSpy spy(&in, &TVrPersistent::OnChange);
    in.LoadFromFile(name);
    EXPECT_EQ(spy.count(), 1);  // one notification for the whole file
    ASSERT_EQ(in.Count(), 3);
    EXPECT_TRUE(samePixels(*in.Bitmaps(1), *out.Bitmaps(0)));

    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    in.ReadData(f);
    EXPECT_EQ(in.Count(), 2);
    EXPECT_TRUE(samePixels(*in.Bitmaps(1), *out.Bitmaps(1)));

    EXPECT_THROW(in.LoadFromFile(dir.filePath(QStringLiteral("missing.bls"))), EVrException);
    EXPECT_EQ(in.Count(), 2);

    TVrBitmaps empty;
    QBuffer none;
    none.open(QIODevice::WriteOnly);
    empty.WriteData(none);
    EXPECT_TRUE(none.data().isEmpty());  // an empty collection is not stored with a form
}

TEST(KitBitmapList, CountZeroOrBelowLoadsNothing)
{
    for (qint32 count : {0, -1, -2147483647 - 1}) {
        QByteArray bytes = streamOf({pattern(4, 4, 1)});
        put32(bytes, 4, quint32(count));
        TVrBitmaps in;
        EXPECT_EQ(loadInto(in, bytes), "") << count;
        EXPECT_EQ(in.Count(), 0) << count;
    }
}

TEST(KitBitmapList, AWrongIdFailsAndAddsNothing)
{
    QByteArray bytes = streamOf({pattern(4, 4, 1)});
    put32(bytes, 0, 0x00355463);
    TVrBitmaps in;
    in.Add(pattern(3, 3, 3));
    EXPECT_EQ(loadInto(in, bytes), "Invalid file format");
    EXPECT_EQ(in.Count(), 1);
}

// A damaged picture fails at that picture: those before it stay, nothing is read past the end.
TEST(KitBitmapList, DamagedStreamsFailAtThePictureAndKeepTheOnesBefore)
{
    const QByteArray good = streamOf({pattern(6, 5, 1), pattern(7, 3, 2)});
    const int first = qFromLittleEndian<qint32>(good.constData() + 8 + 2);
    const int second = 8 + first;
    struct Case {
        const char* what;
        std::function<QByteArray()> make;
        int kept;
        const char* error;
    } cases[] = {
        {"ends inside the id", [&] { return good.left(3); }, 0, "Stream read error"},
        {"ends inside the count", [&] { return good.left(6); }, 0, "Stream read error"},
        {"ends inside the second picture", [&] { return good.left(good.size() - 5); }, 1, "Bitmap image is not valid"},
        {"ends inside the second file header", [&] { return good.left(second + 3); }, 1, "Bitmap image is not valid"},
        {"count above what follows",
         [&] {
             QByteArray b = good;
             put32(b, 4, 1000000);
             return b;
         },
         2, "Bitmap image is not valid"},
        {"size field beyond the bytes left",
         [&] {
             QByteArray b = good;
             put32(b, second + 2, 0x7FFFFFFF);
             return b;
         },
         1, "Bitmap image is not valid"},
        {"size field below 54",
         [&] {
             QByteArray b = good;
             put32(b, 8 + 2, 53);
             return b;
         },
         0, "Bitmap image is not valid"},
        {"not a BMP",
         [&] {
             QByteArray b = good;
             b[second] = 'X';
             return b;
         },
         1, "Bitmap image is not valid"},
        {"pixels claimed beyond the file",
         [&] {
             QByteArray b = good;
             put32(b, second + 18, 30000);  // width
             put32(b, second + 22, 30000);  // height
             return b;
         },
         1, "Bitmap image is not valid"},
    };
    for (const Case& c : cases) {
        TVrBitmaps in;
        in.Add(pattern(2, 2, 5));
        EXPECT_EQ(loadInto(in, c.make()), c.error) << c.what;
        EXPECT_EQ(in.Count(), 1 + c.kept) << c.what;
    }
}

TEST(KitBitmapList, APaletteShorterThanItsPixelsReadsTheMissingColoursAsBlack)
{
    // 2 x 1, 8 bits, a palette of one colour (red) and the pixel values 0 and 7
    QByteArray bmp = QByteArray("BM") + QByteArray(12, '\0');
    QByteArray info(40, '\0');
    qToLittleEndian<quint32>(40, info.data());
    qToLittleEndian<qint32>(2, info.data() + 4);
    qToLittleEndian<qint32>(1, info.data() + 8);
    qToLittleEndian<quint16>(1, info.data() + 12);
    qToLittleEndian<quint16>(8, info.data() + 14);
    qToLittleEndian<quint32>(1, info.data() + 32);
    bmp += info + QByteArray::fromHex("0000FF00") + QByteArray::fromHex("00070000");
    put32(bmp, 2, quint32(bmp.size()));
    put32(bmp, 10, 14 + 40 + 4);
    QImage img;
    ASSERT_TRUE(DecodeBitmapFile(bmp, img));
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.colorCount(), 256);
    EXPECT_EQ(px(img, 0, 0), 0xFF0000u);
    EXPECT_EQ(px(img, 1, 0), 0x000000u);
    QImage shorter;
    EXPECT_FALSE(DecodeBitmapFile(bmp.left(bmp.size() - 1), shorter));  // one byte short of its size field
}

TEST(KitBitmapList, CollectionOperationsKeepTheirOwnCopies)
{
    TVrBitmaps b;
    QImage a = pattern(3, 3, 1);
    EXPECT_EQ(b.Add(a), 0);
    a.fill(Qt::red);
    EXPECT_FALSE(samePixels(*b.Bitmaps(0), a));  // the collection copied it
    b.Add(pattern(4, 4, 2));
    b.Insert(0, pattern(5, 5, 3));
    EXPECT_EQ(b.Bitmaps(0)->width(), 5);
    QImage* second = b.Bitmaps(1);
    EXPECT_EQ(b.IndexOf(second), 1);
    EXPECT_EQ(b.IndexOf(&a), -1);
    b.Exchange(0, 2);
    EXPECT_EQ(b.Bitmaps(0)->width(), 4);
    b.Move(0, 2);
    EXPECT_EQ(b.Bitmaps(2)->width(), 4);
    EXPECT_EQ(b.IndexOf(second), 0);
    b.Delete(1);
    EXPECT_EQ(b.Count(), 2);
    EXPECT_THROW(b.Bitmaps(2), std::out_of_range);
    EXPECT_THROW(b.Delete(-1), std::out_of_range);
    TVrBitmaps copy;
    copy.Assign(&b);
    EXPECT_EQ(copy.Count(), 2);
    EXPECT_NE(copy.Bitmaps(0), b.Bitmaps(0));
    copy.Assign(nullptr);
    EXPECT_EQ(copy.Count(), 0);
}

TEST(KitBitmapList, GetBitmapOutsideTheListGivesNone)
{
    TVrBitmapList list;
    list.Bitmaps()->Add(pattern(2, 2, 1));
    EXPECT_EQ(list.GetBitmap(-1), nullptr);
    EXPECT_EQ(list.GetBitmap(1), nullptr);
    EXPECT_NE(list.GetBitmap(0), nullptr);
}

namespace {
class CountingImage : public TVrBitmapImage {
public:
    int updates = 0;
    void UpdateControlCanvas() override
    {
        ++updates;
        TVrBitmapImage::UpdateControlCanvas();
    }
};
}  // namespace

TEST(KitBitmapList, ChangingTheListRepaintsEveryLinkedImage)
{
    TVrBitmapList list;
    CountingImage a, b;
    a.SetBitmapList(&list);
    b.SetBitmapList(&list);
    QSignalSpy spy(&list, &TVrBitmapList::OnChange);
    a.updates = b.updates = 0;
    list.Bitmaps()->Add(pattern(4, 4, 1));
    EXPECT_EQ(a.updates, 1);
    EXPECT_EQ(b.updates, 1);
    EXPECT_EQ(spy.count(), 1);
    b.SetBitmapList(nullptr);
    list.Bitmaps()->Add(pattern(4, 4, 1));
    EXPECT_EQ(a.updates, 2);
    EXPECT_EQ(b.updates, 2);  // only its own SetBitmapList
}
