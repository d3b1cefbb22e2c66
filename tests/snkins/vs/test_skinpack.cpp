// The skin graphics collection and its pack format.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QPainter>
#include <QTemporaryDir>
#include <QtEndian>

#include "snkins/vs/bmpfile.h"
#include "snkins/vs/skinerror.h"
#include "snkins/vs/tvschangelink.h"
#include "snkins/vs/tvscomposer.h"
#include "snkins/vs/tvsgraphics.h"
#include "tests/snkins/vs/skinrig.h"

namespace {

QByteArray int32(qint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    return QByteArray(b, 4);
}

QByteArray entry(const QByteArray& name, const QByteArray& bmp)
{
    return int32(qint32(name.size())) + name + (bmp.isEmpty() ? QByteArray(1, '\1') : QByteArray(1, '\0') + bmp);
}

QByteArray pack(const QList<QByteArray>& entries, qint32 count = -1)
{
    QByteArray b = int32(TVsGraphics::FileId) + int32(count < 0 ? qint32(entries.size()) : count);
    for (const QByteArray& e : entries) b += e;
    return b;
}

QByteArray save(const TVsGraphics& list)
{
    QByteArray bytes;
    QBuffer out(&bytes);
    out.open(QIODevice::WriteOnly);
    list.SaveToStream(out);
    return bytes;
}

// Loads `bytes`; the error message, or empty when it loaded.
QString load(TVsGraphics& list, const QByteArray& bytes)
{
    QBuffer in;
    in.setData(bytes);
    in.open(QIODevice::ReadOnly);
    try {
        list.LoadFromStream(in);
    } catch (const SkinError& e) {
        return e.message();
    }
    return QString();
}

// A device that only reads forward, as a pipe does.
class ForwardOnly : public QIODevice {
public:
    explicit ForwardOnly(QByteArray data) : data_(std::move(data)) { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* out, qint64 max) override
    {
        const qint64 n = qMin(max, qint64(data_.size() - at_));
        if (n <= 0) return 0;
        memcpy(out, data_.constData() + at_, size_t(n));
        at_ += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray data_;
    qsizetype at_ = 0;
};

QImage drawn(int w, int h, QColor c)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    QPainter p(&img);
    p.fillRect(0, 0, w / 2, h / 2, Qt::white);
    return img;
}

// A BMP file written by Qt's own writer (8-bit palette, 1-bit): other bytes than ours.
QByteArray qtBmp(const QImage& image)
{
    QByteArray bytes;
    QBuffer out(&bytes);
    out.open(QIODevice::WriteOnly);
    image.save(&out, "BMP");
    return bytes;
}

struct Fixture : testing::Test {
    void SetUp() override { ensureApp(); }
};
using SkinPack = Fixture;

}  // namespace

TEST_F(SkinPack, EmptyListIsEightBytesAndNotStoredWithTheForm)
{
    TVsGraphics list;
    EXPECT_EQ(save(list), int32(0x04B2FDB6) + int32(0));
    EXPECT_FALSE(list.HasData());
    TVsGraphic g;
    list.Add(&g);
    EXPECT_TRUE(list.HasData());
}

TEST_F(SkinPack, RoundTripKeepsNamesPixelsAndBytes)
{
    TVsGraphics list;
    TVsGraphic g;
    const QList<std::pair<QString, QImage>> pictures = {
        {QStringLiteral("fondo.bmp"), drawn(13, 7, QColor(33, 33, 33))},
        {QStringLiteral("Tira bend - micro.bmp"), drawn(5, 9, QColor(254, 178, 10))},
        {QString::fromLatin1("se\xf1or.bmp"), drawn(1, 1, QColor(1, 2, 3))},
    };
    for (const auto& [name, image] : pictures) {
        g.SetName(name);
        g.SetBitmap(image);
        list.Add(&g);
    }
    const QByteArray first = save(list);
    TVsGraphics back;
    ASSERT_EQ(load(back, first), QString());
    ASSERT_EQ(back.Count(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(back.Items(i)->Name(), pictures[i].first);
        EXPECT_EQ(back.Items(i)->Bitmap().convertToFormat(QImage::Format_RGB32), pictures[i].second);
    }
    EXPECT_EQ(save(back), first);
}

TEST_F(SkinPack, BitmapsOfOtherWritersSaveBackByteForByte)
{
    const QByteArray indexed = qtBmp(drawn(6, 3, Qt::darkGreen).convertToFormat(QImage::Format_Indexed8));
    const QByteArray mono = qtBmp(drawn(9, 2, Qt::black).convertToFormat(QImage::Format_Mono));
    const QByteArray bytes = pack({entry("a.bmp", indexed), entry("b.bmp", mono)});
    TVsGraphics list;
    ASSERT_EQ(load(list, bytes), QString());
    EXPECT_EQ(list.Items(0)->Bitmap().size(), QSize(6, 3));
    EXPECT_EQ(list.Items(1)->Bitmap().size(), QSize(9, 2));
    EXPECT_EQ(save(list), bytes);
}

TEST_F(SkinPack, EmptyFlagLoadsAnEmptyBitmapAndSavesBackTheSame)
{
    // any non-zero flag means empty; it saves back as 1
    QByteArray bytes = pack({entry("void.bmp", {}), entry("x.bmp", encodeBmp(drawn(2, 2, Qt::red)))});
    TVsGraphics list;
    ASSERT_EQ(load(list, bytes), QString());
    EXPECT_TRUE(list.Items(0)->Bitmap().isNull());
    EXPECT_EQ(Gw(list.Items(0)), 0);
    EXPECT_EQ(Gh(list.Items(0)), 0);
    EXPECT_EQ(save(list), bytes);
    bytes[8 + 4 + 8] = char(7);
    ASSERT_EQ(load(list, bytes), QString());
    EXPECT_TRUE(list.Items(0)->Bitmap().isNull());
}

TEST_F(SkinPack, NameLengthZeroOrLessGivesAnEmptyNameAfterANamedEntry)
{
    for (qint32 length : {0, -5}) {
        const QByteArray bytes = pack({entry("first.bmp", {}), int32(length) + QByteArray(1, '\1')});
        TVsGraphics list;
        ASSERT_EQ(load(list, bytes), QString()) << length;
        ASSERT_EQ(list.Count(), 2);
        EXPECT_EQ(list.Items(0)->Name(), QStringLiteral("first.bmp"));
        EXPECT_EQ(list.Items(1)->Name(), QString());
    }
}

TEST_F(SkinPack, LookUpIgnoresCaseAndTheFirstOfTwoEqualNamesWins)
{
    TVsComposer composer;
    addGraphic(composer, QStringLiteral("cb1.bmp"), drawn(1, 1, Qt::red));
    addGraphic(composer, QStringLiteral("fondo.bmp"), drawn(2, 2, Qt::red));
    addGraphic(composer, QStringLiteral("FONDO.bmp"), drawn(3, 3, Qt::red));
    EXPECT_EQ(composer.Graphics()->IndexByName(QStringLiteral("FONDO.BMP")), 1);
    EXPECT_EQ(composer.GetGraphic(QStringLiteral("Fondo.Bmp"))->Bitmap().width(), 2);
    EXPECT_EQ(composer.GetGraphic(QStringLiteral("fondo")), nullptr);
    // the name reads back exactly as written
    EXPECT_EQ(composer.GetGraphic(QStringLiteral("FONDO.BMP"))->Name(), QStringLiteral("fondo.bmp"));
    QStringList names;
    composer.GetGraphicNames(names);
    EXPECT_EQ(names, QStringList({"cb1.bmp", "fondo.bmp", "FONDO.bmp"}));
}

TEST_F(SkinPack, AddStoresACopy)
{
    TVsGraphics list;
    TVsGraphic mine;
    mine.SetName(QStringLiteral("a.bmp"));
    mine.SetBitmap(drawn(4, 4, Qt::blue));
    list.Add(&mine);
    mine.SetName(QStringLiteral("b.bmp"));
    mine.SetBitmap(drawn(8, 8, Qt::green));
    EXPECT_EQ(list.Items(0)->Name(), QStringLiteral("a.bmp"));
    EXPECT_EQ(list.Items(0)->Bitmap().width(), 4);
    EXPECT_NE(list.Items(0), &mine);
    EXPECT_EQ(list.IndexOf(&mine), -1);
    EXPECT_EQ(list.IndexOf(list.Items(0)), 0);
}

TEST_F(SkinPack, LoadFromFileTellsTheClientsOnce)
{
    QTemporaryDir dir;
    TVsComposer source;
    for (int i = 0; i < 4; ++i) addGraphic(source, QStringLiteral("g%1.bmp").arg(i), drawn(3, 3, Qt::red));
    const QString path = dir.filePath(QStringLiteral("skin.vsf"));
    source.Graphics()->SaveToFile(path);

    TVsComposer composer;
    addGraphic(composer, QStringLiteral("old.bmp"), drawn(1, 1, Qt::red));
    int notices = 0;
    TVsChangeLink link;
    link.OnChange = [&](TVsSharedComponent* sender) {
        EXPECT_EQ(sender, &composer);
        ++notices;
    };
    composer.InsertLink(&link);
    composer.Graphics()->LoadFromFile(path);
    EXPECT_EQ(notices, 1);
    EXPECT_EQ(composer.Graphics()->Count(), 4);

    // a failing load tells them once too, with what it read
    QFile cut(path);
    ASSERT_TRUE(cut.resize(cut.size() - 3));
    notices = 0;
    EXPECT_THROW(composer.Graphics()->LoadFromFile(path), SkinError);
    EXPECT_EQ(notices, 1);
    EXPECT_EQ(composer.Graphics()->Count(), 3);
}

TEST_F(SkinPack, LinksLeaveTheirComponentAndTheComponentLeavesItsLinks)
{
    auto composer = std::make_unique<TVsComposer>();
    auto first = std::make_unique<TVsChangeLink>();
    TVsChangeLink second;
    composer->InsertLink(first.get());
    composer->InsertLink(&second);
    EXPECT_EQ(second.Sender(), composer.get());
    first.reset();
    EXPECT_EQ(composer->LinkCount(), 1);
    composer->RemoveLink(first.get());  // not in the list: ignored
    composer.reset();
    EXPECT_EQ(second.Sender(), nullptr);
}

TEST_F(SkinPack, WrongIdFailsWithTheListEmpty)
{
    TVsGraphics list;
    TVsGraphic g;
    list.Add(&g);
    QByteArray bytes = pack({entry("a.bmp", {})});
    bytes[0] = 0x00;
    EXPECT_EQ(load(list, bytes), QStringLiteral("Invalid file format."));
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(SkinPack, TruncatedStreamKeepsTheEntriesBeforeTheCut)
{
    const QList<QByteArray> entries = {entry("one.bmp", encodeBmp(drawn(3, 2, Qt::red))), entry("two.bmp", {}),
                                       entry("three.bmp", encodeBmp(drawn(2, 5, Qt::blue)))};
    const QByteArray whole = pack(entries);
    QList<qsizetype> ends;  // where each entry ends
    qsizetype at = 8;
    for (const QByteArray& e : entries) ends << (at += e.size());
    for (qsizetype cut = 0; cut < whole.size(); ++cut) {
        const QByteArray part = whole.left(cut);
        const int complete = int(std::count_if(ends.begin(), ends.end(), [&](qsizetype end) { return end <= cut; }));
        for (bool forwardOnly : {false, true}) {
            TVsGraphics list;
            QString error;
            if (forwardOnly) {
                ForwardOnly in(part);
                try {
                    list.LoadFromStream(in);
                } catch (const SkinError& e) {
                    error = e.message();
                }
            } else {
                error = load(list, part);
            }
            EXPECT_FALSE(error.isEmpty()) << "cut at " << cut;
            EXPECT_EQ(list.Count(), complete) << "cut at " << cut;
        }
    }
    TVsGraphics list;
    EXPECT_EQ(load(list, whole), QString());
    EXPECT_EQ(list.Count(), 3);
}

TEST_F(SkinPack, LengthsBeyondTheStreamFailAtTheirEntry)
{
    const QByteArray good = entry("ok.bmp", encodeBmp(drawn(2, 2, Qt::red)));
    QByteArray hugeBmp = encodeBmp(drawn(2, 2, Qt::red));
    qToLittleEndian<quint32>(0x7FFFFFF0u, hugeBmp.data() + 2);  // file size beyond the stream
    QByteArray wideBmp = encodeBmp(drawn(2, 2, Qt::red));
    qToLittleEndian<qint32>(30000, wideBmp.data() + 18);  // 30000 x 30000 from 70 bytes
    qToLittleEndian<qint32>(30000, wideBmp.data() + 22);
    QByteArray tinyBmp = encodeBmp(drawn(2, 2, Qt::red));
    qToLittleEndian<quint32>(5u, tinyBmp.data() + 2);  // smaller than its own header
    const struct {
        const char* what;
        QByteArray bytes;
        int kept;
    } cases[] = {
        {"count of a billion", pack({good}, 1000000000), 1},
        {"name length past the end", pack({good, int32(0x7FFFFFFF) + "abc"}), 1},
        {"BMP size past the end", pack({good, entry("big.bmp", hugeBmp)}), 1},
        {"BMP pixels past the end", pack({good, entry("wide.bmp", wideBmp)}), 1},
        {"BMP size below its header", pack({entry("tiny.bmp", tinyBmp), good}), 0},
        {"no flag", pack({int32(3) + "abc"}), 0},
    };
    for (const auto& c : cases) {
        TVsGraphics list;
        EXPECT_FALSE(load(list, c.bytes).isEmpty()) << c.what;
        EXPECT_EQ(list.Count(), c.kept) << c.what;
        ForwardOnly in(c.bytes);
        EXPECT_THROW(list.LoadFromStream(in), SkinError) << c.what;
        EXPECT_EQ(list.Count(), c.kept) << c.what;
    }
}

TEST_F(SkinPack, FolderNamesStayInsideTheFolder)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("skin/"));
    ASSERT_TRUE(QDir().mkpath(folder));
    TVsGraphics list;
    TVsGraphic g;
    g.SetBitmap(drawn(3, 3, Qt::red));
    for (const char* name : {"../outside.bmp", "sub\\inner.bmp", "Tira bend - micro.bmp"}) {
        g.SetName(QString::fromLatin1(name));
        list.Add(&g);
    }
    list.SaveToFolder(folder);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("outside.bmp"))));
    QStringList files = QDir(folder).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(files, QStringList({"Tira bend - micro.bmp", "inner.bmp", "outside.bmp"}));

    // loading reads the same plain names back; the list's names stay as they were
    for (int i = 0; i < list.Count(); ++i) {
        TVsGraphic blank;
        blank.SetName(list.Items(i)->Name());
        list.SetItems(i, &blank);
    }
    list.LoadFromFolder(folder);
    for (int i = 0; i < list.Count(); ++i) EXPECT_EQ(list.Items(i)->Bitmap().size(), QSize(3, 3));
    EXPECT_EQ(list.Items(0)->Name(), QStringLiteral("../outside.bmp"));

    for (const char* bad : {"..", "", "dir/"}) {
        TVsGraphics one;
        g.SetName(QString::fromLatin1(bad));
        one.Add(&g);
        EXPECT_THROW(one.SaveToFolder(folder), SkinError) << bad;
        EXPECT_THROW(one.LoadFromFolder(folder), SkinError) << bad;
    }
}

TEST_F(SkinPack, MissingBitmapFileFailsKeepingTheBitmapsLoadedBeforeIt)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    TVsGraphics list;
    TVsGraphic g;
    g.SetName(QStringLiteral("here.bmp"));
    g.SetBitmap(drawn(4, 4, Qt::red));
    list.Add(&g);
    list.SaveToFolder(folder);
    g.SetBitmap(drawn(1, 1, Qt::red));
    list.SetItems(0, &g);
    g.SetName(QStringLiteral("missing.bmp"));
    list.Add(&g);
    try {
        list.LoadFromFolder(folder);
        FAIL() << "a missing bitmap file loaded";
    } catch (const SkinError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Cannot open file"))) << e.what();
    }
    EXPECT_EQ(list.Items(0)->Bitmap().size(), QSize(4, 4));
    EXPECT_EQ(list.Items(1)->Bitmap().size(), QSize(1, 1));
}

TEST_F(SkinPack, ListEditsAndIndicesOutsideTheList)
{
    TVsGraphics list;
    int notices = 0;
    QObject::connect(&list, &TVsPersistent::OnChange, [&] { ++notices; });
    TVsGraphic g;
    for (const char* name : {"a", "b", "c"}) {
        g.SetName(QString::fromLatin1(name));
        list.Add(&g);
    }
    list.Exchange(0, 2);
    list.Move(0, 1);
    list.Delete(2);
    g.SetName(QStringLiteral("z"));
    list.Insert(0, &g);
    EXPECT_EQ(notices, 7);
    QStringList names;
    for (int i = 0; i < list.Count(); ++i) names << list.Items(i)->Name();
    EXPECT_EQ(names, QStringList({"z", "b", "c"}));
    EXPECT_THROW(list.Items(3), SkinError);
    EXPECT_THROW(list.Delete(-1), SkinError);
    notices = 0;
    list.Clear();
    EXPECT_EQ(notices, 1);
    TVsGraphics copy;
    copy.Assign(&list);
    EXPECT_EQ(copy.Count(), 0);
}
