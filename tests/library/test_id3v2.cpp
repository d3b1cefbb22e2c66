#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include <QBuffer>
#include <QTemporaryDir>

#include "tests/library/mp3fixture.h"
#include "library/tcommframe.h"
#include "library/tid3v2tag.h"
#include "library/ttextframe.h"
#include "library/tunknownframe.h"

namespace {
TID3v2Tag tagOf(const QByteArray& bytes)
{
    QByteArray copy = bytes;
    QBuffer b(&copy);
    b.open(QIODevice::ReadOnly);
    TID3v2Tag t;
    t.LoadFromStream(&b, copy.size());
    return t;
}
}  // namespace

TEST(ID3v2, TotalSizeAndFrames)
{
    QByteArray b = QByteArray("ID3\x03\x00\x00\x00\x00\x07\x76", 10) + mp3::textFrame("TIT2", "Hello");
    b.append(1024 - b.size(), '\0');
    const TID3v2Tag t = tagOf(b + mp3::frames(2));
    EXPECT_TRUE(t.fOk);
    EXPECT_EQ(t.GetSize(), 1024);
    ASSERT_EQ(t.FFramelist.GetCount(), 1);
    auto* f = dynamic_cast<TTextFrame*>(t.FFramelist.GetID3Frame(0));
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->FSize, 6u);
    EXPECT_EQ(f->FEncode, 0);
    EXPECT_EQ(f->FText, "Hello");
}

TEST(ID3v2, InvalidOrEmptyTagsCountAsNone)
{
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"size byte above 0x7F", QByteArray("ID3\x03\x00\x00\x00\x00\x87\x76", 10) + QByteArray(2000, 'x')},
        {"only padding", mp3::id3v2(100).replace(10, 20, QByteArray(20, '\0'))},
        {"major version 5", QByteArray("ID3\x05\x00\x00", 6) + mp3::synchsafe(30) + mp3::textFrame("TIT2", "x") +
                                QByteArray(20, '\0')},
        {"size beyond the data", QByteArray("ID3\x03\x00\x00", 6) + mp3::synchsafe(500) + mp3::textFrame("TIT2", "x")},
        {"ten bytes", QByteArray("ID3\x03\x00\x00\x00\x00\x00\x00", 10)},
        {"no tag", mp3::frames(2)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TID3v2Tag t = tagOf(c.bytes);
        EXPECT_FALSE(t.fOk);
        EXPECT_EQ(t.GetSize(), 0);
    }
}

TEST(ID3v2, FrameKindsAndLyingFrameSizes)
{
    const QByteArray comm = QByteArray("COMM") + mp3::be32(13) + QByteArray(2, '\0') + QByteArray("\x00" "eng", 4) +
                            QByteArray("desc\0text", 9);
    const QByteArray priv = QByteArray("PRIV") + mp3::be32(3) + QByteArray(2, '\0') + "abc";
    const QByteArray txxx = QByteArray("TXXX") + mp3::be32(2) + QByteArray(2, '\0') + "zz";
    const QByteArray liar = QByteArray("TPE1") + mp3::be32(0x7FFFFFFF) + QByteArray(2, '\0') + "Band";
    const QByteArray body = comm + priv + txxx + liar;
    const TID3v2Tag t = tagOf(QByteArray("ID3\x04\x00\x00", 6) + mp3::synchsafe(uint32_t(body.size())) + body);
    ASSERT_EQ(t.FFramelist.GetCount(), 4);
    auto* c = dynamic_cast<TCommFrame*>(t.FFramelist.GetID3Frame(0));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->FLanguage, "eng");
    EXPECT_EQ(c->FContent, "desc");
    EXPECT_EQ(c->FText, "text");
    auto* u = dynamic_cast<TUnknownFrame*>(t.FFramelist.GetID3Frame(1));
    ASSERT_NE(u, nullptr);
    EXPECT_EQ(u->FData, "abc");
    EXPECT_NE(dynamic_cast<TUnknownFrame*>(t.FFramelist.GetID3Frame(2)), nullptr);
    auto* l = dynamic_cast<TTextFrame*>(t.FFramelist.GetID3Frame(3));
    ASSERT_NE(l, nullptr);
    EXPECT_TRUE(l->FText.isEmpty());  // its data is not there: not read
    EXPECT_EQ(t.GetSize(), body.size() + 10);
}

TEST(ID3v2, WriteAndRemoveKeepTheAudio)
{
    QTemporaryDir dir;
    const QString p = dir.filePath("v2.mp3");
    const QByteArray audio = mp3::frames(4);
    ASSERT_TRUE(mp3::write(p, mp3::id3v2(300) + audio));
    TID3v2Tag t;
    auto f = std::make_unique<TTextFrame>();
    f->SetId("TIT2");
    f->SetText("New title");
    t.FFramelist.Add(std::move(f));
    t.UpdateSize();
    EXPECT_EQ(t.FHeader.FSize, 1024u);
    EXPECT_EQ(t.GetPaddingSize(), 1024 - 20);
    t.SaveToFile(p);
    EXPECT_EQ(mp3::read(p).size(), 1034 + audio.size());
    EXPECT_TRUE(mp3::read(p).endsWith(audio));
    TID3v2Tag back;
    back.LoadFromFile(p);
    ASSERT_TRUE(back.fOk);
    EXPECT_EQ(dynamic_cast<TTextFrame*>(back.FFramelist.GetID3Frame(0))->FText, "New title");
    back.DeleteFromFile(p);
    EXPECT_EQ(mp3::read(p), audio);
    back.SetOk(false);
    EXPECT_EQ(back.GetSize(), 0);
    EXPECT_EQ(back.FFramelist.GetCount(), 0);
}

TEST(ID3v2, HeaderFlags)
{
    TID3V2Header h;
    EXPECT_EQ(h.FMajorVersion, 3);
    h.SetFlag(7, true);
    h.SetFlag(9, true);
    EXPECT_TRUE(h.GetFlag(7));
    EXPECT_FALSE(h.GetFlag(9));
    EXPECT_EQ(h.FFlags, 0x80);
    h.FSize = 1014;
    uint8_t b[10];
    h.Save(b, 10);
    EXPECT_EQ(QByteArray(reinterpret_cast<char*>(b) + 6, 4), QByteArray("\x00\x00\x07\x76", 4));
}

// A tag of 255 MB of empty frames (25.5 million frame headers) costs its bytes, not an
// object per frame; it still counts as a tag of that size. Read from a stream it costs
// not even its bytes.
TEST(ID3v2, MillionsOfEmptyFramesAreCountedNotKept)
{
    const uint32_t size = 255000000;
    QByteArray data(qsizetype(size) + 10, Qt::Uninitialized);
    std::memcpy(data.data(), "ID3\x03\x00\x00", 6);
    std::memcpy(data.data() + 6, mp3::synchsafe(size).constData(), 4);
    const char frame[10] = {'T', 'I', 'T', '2', 0, 0, 0, 0, 0, 0};
    std::memcpy(data.data() + 10, frame, 10);
    for (qsizetype have = 10; have < qsizetype(size); have *= 2)
        std::memcpy(data.data() + 10 + have, data.constData() + 10, size_t(std::min(have, qsizetype(size) - have)));
    TID3v2Tag t;
    t.FHeader.FSize = size;
    t.Load(reinterpret_cast<const uint8_t*>(data.constData()) + 10, size);
    EXPECT_TRUE(t.fOk);
    EXPECT_EQ(t.GetSize(), int64_t(size) + 10);
    EXPECT_LE(t.FFramelist.GetCount(), TID3FrameList::kMaxKept);
    EXPECT_EQ(t.FFramelist.GetCount() + t.FFramelist.FCounted, size / 10);

    QBuffer b(&data);
    b.open(QIODevice::ReadOnly);
    TID3v2Tag s;
    s.LoadFromStream(&b, data.size());
    EXPECT_TRUE(s.fOk);
    EXPECT_EQ(s.GetSize(), int64_t(size) + 10);
    EXPECT_EQ(s.FFramelist.FCounted, size / 10);
    EXPECT_EQ(b.pos(), data.size());

    // real frames among them are kept; a tag of only empty frames still holds its size
    const QByteArray mixed = QByteArray("ID3\x03\x00\x00", 6) + mp3::synchsafe(50) + QByteArray(frame, 10) +
                             mp3::textFrame("TIT2", "Hi") + QByteArray(frame, 10) + QByteArray(17, '\0');
    const TID3v2Tag m = tagOf(mixed + mp3::frames(2));
    EXPECT_EQ(m.GetSize(), 60);
    ASSERT_EQ(m.FFramelist.GetCount(), 1);
    EXPECT_EQ(dynamic_cast<TTextFrame*>(m.FFramelist.GetID3Frame(0))->FText, "Hi");
    EXPECT_EQ(m.FFramelist.FCounted, 2);
}

namespace {
// a stream that can only be read forward
class Forward : public QIODevice {
public:
    explicit Forward(QByteArray* bytes) : bytes_(bytes) {}
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return bytes_->size() - at_ + QIODevice::bytesAvailable(); }

protected:
    qint64 readData(char* data, qint64 max) override
    {
        const qint64 n = std::min(max, qint64(bytes_->size()) - at_);
        std::memcpy(data, bytes_->constData() + at_, size_t(n));
        at_ += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray* bytes_;
    qint64 at_ = 0;
};
}  // namespace

// A stream is read a block at a time: frames across the blocks' edges, a frame larger than
// a block and frames cut by the tag's end come out as from the bytes in memory.
TEST(ID3v2, StreamAndMemoryReadTheSameFrames)
{
    QByteArray body;
    for (int i = 0; body.size() < (1 << 20) - 13; ++i) body += mp3::textFrame("TPE1", QByteArray(90, char('a' + i % 26)));
    body += QByteArray(10, '\0').replace(0, 4, "COMM");                        // empty, counted
    body += QByteArray("TXXX", 4) + mp3::be32(1600000) + QByteArray(2, '\0') + QByteArray(1600000, 'x');
    for (int i = 0; i < 1000; ++i) body += mp3::textFrame("TALB", "album");
    body += QByteArray("PRIV", 4) + mp3::be32(5000) + QByteArray(2, '\0') + QByteArray(100, 'p');  // cut short
    const QByteArray tag = QByteArray("ID3\x03\x00\x00", 6) + mp3::synchsafe(uint32_t(body.size())) + body;
    TID3v2Tag mem;
    mem.FHeader.FSize = uint32_t(body.size());
    mem.Load(reinterpret_cast<const uint8_t*>(body.constData()), body.size());
    for (bool forward : {false, true}) {
        SCOPED_TRACE(forward ? "forward only" : "seekable");
        QByteArray bytes = tag + mp3::frames(2);
        std::unique_ptr<QIODevice> b;
        if (forward) b = std::make_unique<Forward>(&bytes);
        else b = std::make_unique<QBuffer>(&bytes);
        b->open(QIODevice::ReadOnly);
        TID3v2Tag s;
        s.LoadFromStream(b.get(), bytes.size());
        ASSERT_EQ(s.FFramelist.GetCount(), mem.FFramelist.GetCount());
        EXPECT_EQ(s.FFramelist.FCounted, 1);
        EXPECT_EQ(s.FFramelist.GetSize(), mem.FFramelist.GetSize());
        QByteArray a(body.size(), '\0'), c(body.size(), '\0');
        s.FHeader = mem.FHeader;
        s.Save(reinterpret_cast<uint8_t*>(a.data()), a.size());
        mem.Save(reinterpret_cast<uint8_t*>(c.data()), c.size());
        EXPECT_TRUE(a == c);
        if (!forward) {
            EXPECT_EQ(b->pos(), tag.size());
        } else {
            EXPECT_EQ(b->bytesAvailable(), bytes.size() - tag.size());
        }
        EXPECT_EQ(s.GetSize(), tag.size());
    }
    // a stream that ends inside the tag gives no frames
    QByteArray cut = tag.left(tag.size() - 10);
    Forward f(&cut);
    f.open(QIODevice::ReadOnly);
    TID3v2Tag s;
    s.LoadFromStream(&f, tag.size());
    EXPECT_FALSE(s.fOk);
    EXPECT_EQ(s.FFramelist.GetCount(), 0);
}

// More frames than any real tag holds: the first kMaxKept are kept, the rest counted.
TEST(ID3v2, FramesBeyondTheBoundAreCounted)
{
    const QByteArray one = mp3::textFrame("TXXX", "x");
    const int n = TID3FrameList::kMaxKept + 100;
    TID3v2Tag t;
    const QByteArray data = one.repeated(n);
    t.FHeader.FSize = uint32_t(data.size());
    t.Load(reinterpret_cast<const uint8_t*>(data.constData()), data.size());
    EXPECT_EQ(t.FFramelist.GetCount(), TID3FrameList::kMaxKept);
    EXPECT_EQ(t.FFramelist.FCounted, 100);
}
