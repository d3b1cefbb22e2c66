// The skin drawn from the form data: every graphic resolves in the pack, each control's graphic
// cells match its size, captions are tall enough and contrast with their cells, the pack and
// the bitmap list load through their own readers and save back to the same bytes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QSet>

#include "mainwindow/form/formdata.h"
#include "tests/mainwindow/form/formapp.h"
#include "mainwindow/form/formlook.h"
#include "snkins/colorref.h"
#include "snkins/vr/tvrbitmaps.h"
#include "snkins/vs/tvscomposer.h"

namespace {

QApplication& app() { return formApp(); }

const FormData& form()
{
    static FormData data(QStringLiteral(":/skin/tform1.skn"));
    return data;
}

QByteArray resource(const char* name)
{
    QFile f(QStringLiteral(":/skin/") + QString::fromLatin1(name));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

TVsComposer& composer()
{
    app();
    static TVsComposer* c = [] {
        auto* c = new TVsComposer;
        c->Graphics()->LoadFromFile(QStringLiteral(":/skin/tform1.vsf"));
        return c;
    }();
    return *c;
}

// Every graphic the system names for the main window, spelled as it spells them.
const QStringList& namedGraphics()
{
    static const QStringList names = [] {
        QStringList n = {"fondo.bmp", "Barra_Lateral_Playlist.bmp", "Tira Auto.bmp", "Tira Cue.bmp", "Tira Cuep.bmp",
                         "Tira Effects.bmp", "Tira Info.bmp", "Tira Load.bmp", "Tira Loadp.bmp", "Tira Mixer.bmp",
                         "Tira Pause.bmp", "Tira Pausep.bmp", "Tira Play.bmp", "Tira Playp.bmp", "Tira Sampler.bmp",
                         "Tira Sync.bmp", "Tira Syncp.bmp", "Tira bend + micro.bmp", "Tira bend +.bmp",
                         "Tira bend - micro.bmp", "Tira bend -.bmp", "Tira_Explorer.bmp", "Tira_Groups.bmp",
                         "Tira_Playlist.bmp", "Tira_Save_tube.bmp", "barra_controles.bmp", "pitch_ruler2 ostrel.bmp",
                         "pitch_ruler2 ostrelp.bmp", "pote pitch slim.bmp", "pote_pitch.bmp", "pote_vol.bmp",
                         "sliderpitchtrackv.bmp", "tconfigoff.bmp", "tconfigon.bmp", "tira maximizar.bmp",
                         "tira minimizar.bmp", "tiraledrojo.bmp"};
        for (int i = 1; i <= 6; ++i)
            for (const char* p : {"cb", "ca", "cr", "cbv", "cav", "crv"}) n << QStringLiteral("%1%2.bmp").arg(QLatin1String(p)).arg(i);
        return n;
    }();
    return names;
}

QStringList usedGraphics()
{
    QStringList used;
    for (const FormData::Control& c : form().controls()) {
        if (!c.graphic.isEmpty()) used << c.graphic;
        for (const char* k : {"Ruler", "Thumb"})
            if (c.raw.contains(QString::fromLatin1(k))) used << c.raw.value(QString::fromLatin1(k));
    }
    for (const QString& v : form().viewNames())
        for (const auto& e : form().view(v)->controls)
            if (e.second.contains(QStringLiteral("GraphicName"))) used << e.second.value(QStringLiteral("GraphicName"));
    return used;
}

TEST(FormArt, EveryGraphicNameResolvesInThePackIgnoringCase)
{
    ASSERT_GT(composer().Graphics()->Count(), 100);
    QStringList all = namedGraphics() + usedGraphics();
    all.removeDuplicates();
    for (const QString& name : all) {
        SCOPED_TRACE(name.toStdString());
        TVsGraphic* g = composer().GetGraphic(name);
        ASSERT_NE(g, nullptr);
        EXPECT_EQ(g->Name(), form().graphic(name)->name);  // stored with the name's own spelling
        EXPECT_EQ(composer().GetGraphic(name.toUpper()), g);
        EXPECT_FALSE(g->Bitmap().isNull());
    }
    // the background is 1280 x 1400
    EXPECT_EQ(composer().GetGraphic(QStringLiteral("FONDO.BMP"))->Bitmap().size(), QSize(1280, 1400));
}

TEST(FormArt, EachControlsGraphicCellsMatchItsSize)
{
    auto check = [](const QString& ctl, const QString& cls, const QRect& r, const QString& graphic) {
        SCOPED_TRACE((ctl + QLatin1Char(' ') + graphic).toStdString());
        const TVsGraphic* g = composer().GetGraphic(graphic);
        ASSERT_NE(g, nullptr);
        const QSize gs = g->Bitmap().size();
        if (cls == QLatin1String("TVsButton") || cls == QLatin1String("TquorButton")) {
            EXPECT_EQ(gs, QSize(r.width() * 5, r.height()));
        } else if (cls == QLatin1String("TVsSlider")) {
            const bool vert = form().control(ctl)->direction == 1;
            const int tw = gs.width() / 2, th = gs.height();
            // the thumb fits across the slider and leaves it room to travel
            EXPECT_LE(vert ? tw : th, vert ? r.width() : r.height());
            EXPECT_GT(vert ? r.height() - th : r.width() - tw, 0);
        } else if (cls == QLatin1String("TVsImage")) {
            EXPECT_EQ(gs, r.size());
        }
    };
    for (const FormData::Control& c : form().controls())
        if (!c.graphic.isEmpty()) check(c.name, c.cls, c.rect, c.graphic);
    // each view's places with each view's graphics
    for (const QString& v : {QStringLiteral("Extended"), QStringLiteral("Essential"), QStringLiteral("Minimal")}) {
        QHash<QString, QString> graphic;
        for (const FormData::Control& c : form().controls()) graphic.insert(c.name, c.graphic);
        // "unchanged" graphics come from the view before: check from Extended as the program starts
        for (const QString& from : {QStringLiteral("Extended"), v})
            for (const auto& e : form().view(from)->controls)
                if (e.second.contains(QStringLiteral("GraphicName"))) graphic.insert(e.first, e.second.value(QStringLiteral("GraphicName")));
        for (const auto& e : form().view(v)->controls) {
            if (!e.second.contains(QStringLiteral("Rect"))) continue;
            const FormData::Control* c = form().control(e.first);
            if (graphic.value(c->name).isEmpty()) continue;
            const QStringList p = e.second.value(QStringLiteral("Rect")).split(QLatin1Char(','));
            check(c->name, c->cls, QRect(p[0].toInt(), p[1].toInt(), p[2].toInt(), p[3].toInt()), graphic.value(c->name));
        }
    }
    // the pictures shown by kit controls
    for (const FormData::Control& c : form().controls()) {
        if (c.cls == QLatin1String("TnSlider")) {
            EXPECT_EQ(composer().GetGraphic(c.raw.value("Ruler"))->Bitmap().size(), c.rect.size()) << c.name.toStdString();
            EXPECT_NE(composer().GetGraphic(c.raw.value("Thumb")), nullptr);
        }
        if (!c.picture.isEmpty()) {
            const QImage img(QStringLiteral(":/skin/form/") + c.picture);
            EXPECT_EQ(img.size(), c.rect.size()) << c.name.toStdString();
        }
    }
}

TEST(FormArt, TheBitmapListHoldsTheKnobStripsAndTheSwitchGlyphs)
{
    app();
    TVrBitmaps list;
    list.LoadFromFile(QStringLiteral(":/skin/VrBitmapList1.vrb"));
    ASSERT_EQ(list.Count(), form().bitmaps().size());
    ASSERT_GE(list.Count(), 33);
    // 31 off, 32 on: the same size, different pictures
    EXPECT_EQ(list.Bitmaps(31)->size(), list.Bitmaps(32)->size());
    EXPECT_NE(*list.Bitmaps(31), *list.Bitmaps(32));
    EXPECT_EQ(form().bitmaps().at(31).state, 0);
    EXPECT_EQ(form().bitmaps().at(32).state, 1);
    // every dial's strip: ImageCount frames of the dial's size
    for (const FormData::Control& c : form().controls()) {
        if (c.cls != QLatin1String("TVrBitmapDial")) continue;
        SCOPED_TRACE(c.name.toStdString());
        ASSERT_GE(c.bitmapIndex, 0);
        ASSERT_LT(c.bitmapIndex, list.Count());
        const QImage* strip = list.Bitmaps(c.bitmapIndex);
        EXPECT_EQ(strip->size(), QSize(c.rect.width() * c.imageCount, c.rect.height()));
        EXPECT_EQ(form().bitmaps().at(c.bitmapIndex).kind, QStringLiteral("knob"));
    }
}

// Loads `bytes` into a collection and saves it back.
template <class Collection>
QByteArray roundTrip(const QByteArray& bytes)
{
    Collection c;
    QBuffer in;
    in.setData(bytes);
    in.open(QIODevice::ReadOnly);
    c.LoadFromStream(in);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    c.SaveToStream(out);
    return out.data();
}

TEST(FormArt, PackAndBitmapListLoadAndSaveBackToTheSameBytes)
{
    app();
    const QByteArray pack = resource("tform1.vsf");
    ASSERT_FALSE(pack.isEmpty());
    EXPECT_EQ(roundTrip<TVsGraphics>(pack), pack);
    const QByteArray stream = resource("VrBitmapList1.vrb");
    ASSERT_FALSE(stream.isEmpty());
    EXPECT_EQ(roundTrip<TVrBitmaps>(stream), stream);
}

TEST(FormArt, CaptionsAreTallEnoughAndContrastWithTheirCells)
{
    const QList<QByteArray> lines = resource("captions.tsv").split('\n');
    ASSERT_GT(lines.size(), 100);
    QSet<QString> captioned;
    for (int i = 1; i < lines.size(); ++i) {
        if (lines[i].isEmpty()) continue;
        const QStringList f = QString::fromUtf8(lines[i]).split(QLatin1Char('\t'));
        ASSERT_EQ(f.size(), 6) << lines[i].constData();
        SCOPED_TRACE(lines[i].toStdString());
        const FormData::Graphic* g = form().graphic(f[0]);
        ASSERT_NE(g, nullptr);
        captioned << g->name;
        EXPECT_GE(f[3].toInt(), formlook::kMinCaptionHeight);
        // the colours the generator used are the look's, and they read
        const formlook::Cell cell = formlook::buttonCell(g->look, f[1].toInt(), g->lit == QLatin1String("always"));
        EXPECT_EQ(QColor(f[4]).rgb(), cell.text.rgb());
        EXPECT_EQ(QColor(f[5]).rgb(), cell.fill.rgb());
        EXPECT_GE(formlook::contrast(cell.text, cell.fill), 4.5);
    }
    for (const FormData::Graphic& g : form().graphics()) {
        if (g.kind != QLatin1String("button")) continue;
        SCOPED_TRACE(g.name.toStdString());
        const int along = g.vertical ? g.cell.height() : g.cell.width();
        if (along < formlook::kMinCaptionWidth) {
            // a narrow button carries a drawn symbol
            EXPECT_FALSE(g.symbol.isEmpty());
            EXPECT_FALSE(captioned.contains(g.name));
        } else if (!captioned.contains(g.name)) {
            // no caption fitted: the symbol stands in for it
            EXPECT_FALSE(g.symbol.isEmpty() && !g.caption.isEmpty());
        }
    }
    // every look, every cell: its text reads on its face
    for (const char* look : {"A", "B", "neutral", "red", "loop", "cueEmptyA", "cueSetA", "cueLoopA", "cueEmptyB",
                             "cueSetB", "cueLoopB"})
        for (int cell = 0; cell < 5; ++cell) {
            const formlook::Cell c = formlook::buttonCell(QString::fromLatin1(look), cell);
            EXPECT_GE(formlook::contrast(c.text, c.fill), 4.5) << look << " " << cell;
        }
}

TEST(FormArt, FuchsiaLiesOnlyInTheBackgroundsTopCorners)
{
    const QImage bg = composer().GetGraphic(QStringLiteral("fondo.bmp"))->Bitmap().convertToFormat(QImage::Format_RGB32);
    const QRgb key = colorFromRef(clFuchsia).rgb();
    int found = 0;
    for (int y = 0; y < bg.height(); ++y)
        for (int x = 0; x < bg.width(); ++x)
            if (bg.pixel(x, y) == key) {
                ++found;
                EXPECT_TRUE(y < 6 && (x < 6 || x >= bg.width() - 6)) << x << "," << y;
            }
    EXPECT_GT(found, 0);  // the corners are rounded
    // a picture button copies its cells as they are: none of its pixels is the key
    for (const FormData::Control& c : form().controls()) {
        if (c.cls != QLatin1String("TquorButton")) continue;
        const QImage cells = composer().GetGraphic(c.graphic)->Bitmap().convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < cells.height(); ++y)
            for (int x = 0; x < cells.width(); ++x)
                ASSERT_NE(cells.pixel(x, y), key) << c.graphic.toStdString() << " at " << x << "," << y;
    }
}

}  // namespace
