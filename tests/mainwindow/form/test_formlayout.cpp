// The form built by the form library in every view and width: shown controls lie inside the
// window and do not overlap (but for the overlays the form data names), no fuchsia lies under a
// control, the views put their controls where the views' data says, the window is never cut.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QImage>

#include "mainwindow/form/formbuilder.h"
#include "tests/mainwindow/form/formapp.h"
#include "snkins/colorref.h"
#include "snkins/vs/tvsbutton.h"
#include "snkins/vs/tvscomposer.h"
#include "snkins/vs/tvsskin.h"
#include "snkins/vs/tvsslider.h"

namespace {

QApplication& app() { return formApp(); }

struct Built {
    QWidget window;
    FormBuilder form{&window};
    Built(int width, int height) { form.build(width, height); }
};

// The whole tree's shown widgets, with the parent each is checked against.
void shownTree(const FormBuilder& f, const QString& parent, QList<QWidget*>& out)
{
    for (QWidget* w : f.shownChildren(parent)) {
        out << w;
        shownTree(f, w->objectName(), out);
    }
}

bool overlayPair(const FormData& d, const QString& a, const QString& b)
{
    const FormData::Control* ca = d.control(a);
    const FormData::Control* cb = d.control(b);
    // named overlays, and anything on a backdrop (the button row, the side strip)
    return (ca && (ca->backdrop || ca->overlays.contains(b, Qt::CaseInsensitive))) ||
           (cb && (cb->backdrop || cb->overlays.contains(a, Qt::CaseInsensitive)));
}

struct Case {
    const char* view;
    int width, height;
};

class FormLayout : public ::testing::TestWithParam<Case> {};

TEST_P(FormLayout, ShownControlsLieInsideTheWindowAndDoNotOverlap)
{
    app();
    const Case k = GetParam();
    Built b(k.width, k.height);
    b.form.applyView(QString::fromLatin1(k.view));
    const QRect window(0, 0, b.window.width(), b.window.height());
    EXPECT_EQ(b.window.width(), std::min(k.width, 1280));
    EXPECT_EQ(b.window.height(), k.height);
    QList<QWidget*> shown;
    shownTree(b.form, QStringLiteral("VsSkin1"), shown);
    ASSERT_GT(shown.size(), 20);
    for (QWidget* w : shown) {
        SCOPED_TRACE(w->objectName().toStdString());
        const QRect inParent = w->geometry();
        if (w->parentWidget() == b.form.skin()) {
            EXPECT_TRUE(window.contains(inParent)) << "outside the window";
        } else {
            EXPECT_TRUE(w->parentWidget()->rect().contains(inParent)) << "outside its panel";
        }
    }
    for (int i = 0; i < shown.size(); ++i)
        for (int j = i + 1; j < shown.size(); ++j) {
            QWidget* a = shown[i];
            QWidget* c = shown[j];
            if (a->parentWidget() != c->parentWidget()) continue;
            if (!a->geometry().intersects(c->geometry())) continue;
            EXPECT_TRUE(overlayPair(b.form.data(), a->objectName(), c->objectName()))
                << a->objectName().toStdString() << " overlaps " << c->objectName().toStdString();
        }
}

TEST_P(FormLayout, NoFuchsiaUnderAShownControlAndTheWindowIsNotCutBelowOrRight)
{
    app();
    const Case k = GetParam();
    Built b(k.width, k.height);
    b.form.applyView(QString::fromLatin1(k.view));
    const QRegion mask = b.form.windowMask();
    const QImage bg = b.form.composer()->GetGraphic(QStringLiteral("fondo.bmp"))->Bitmap().convertToFormat(QImage::Format_RGB32);
    const QRgb key = colorFromRef(clFuchsia).rgb();
    QList<QWidget*> shown;
    shownTree(b.form, QStringLiteral("VsSkin1"), shown);
    for (QWidget* w : shown) {
        const QRect r(w->mapTo(&b.window, QPoint(0, 0)), w->size());
        EXPECT_EQ(QRegion(r) - mask, QRegion()) << w->objectName().toStdString() << " lies partly outside the window's shape";
        for (int y = r.top(); y <= r.bottom() && y < bg.height(); ++y)
            for (int x = r.left(); x <= r.right() && x < bg.width(); ++x)
                ASSERT_NE(bg.pixel(x, y), key) << w->objectName().toStdString() << " at " << x << "," << y;
    }
    // the browser area (opaque, in front) reaches the window's bottom and right edge
    QWidget* todo = b.form.control(QStringLiteral("todo"));
    EXPECT_EQ(todo->geometry().bottom(), b.window.height() - 1);
    EXPECT_EQ(todo->geometry().right(), b.window.width() - 1);
    // a window taller or wider than the background is not cut there
    EXPECT_TRUE(mask.contains(QRect(0, 1400, 1280, 300)));
    EXPECT_TRUE(mask.contains(QRect(1280, 0, 300, 1700)));
    EXPECT_FALSE(mask.contains(QPoint(0, 0)));  // the rounded corner
}

INSTANTIATE_TEST_SUITE_P(Views, FormLayout,
                         ::testing::Values(Case{"Extended", 1024, 768}, Case{"Extended", 1280, 1024},
                                           Case{"Extended", 1024, 1500}, Case{"Essential", 1024, 768},
                                           Case{"Essential", 1280, 1024}, Case{"Minimal", 1024, 768},
                                           Case{"Minimal", 1280, 1024}),
                         [](const auto& info) {
                             return std::string(info.param.view) + "_" + std::to_string(info.param.width) + "x" +
                                    std::to_string(info.param.height);
                         });

QMap<QString, QRect> geometries(const FormBuilder& f)
{
    QMap<QString, QRect> g;
    for (const QString& n : f.names())
        if (QWidget* w = f.control(n)) g.insert(n, w->geometry());
    return g;
}

TEST(FormViews, ApplyingExtendedMovesNothing)
{
    app();
    Built b(1024, 768);
    const auto before = geometries(b.form);
    QHash<QString, QString> graphics;
    for (const QString& n : b.form.names())
        if (auto* g = b.form.get<TVsSkinGraphicControl>(n)) graphics.insert(n, g->GraphicName());
    b.form.applyView(QStringLiteral("Extended"));
    EXPECT_EQ(geometries(b.form), before);
    for (auto it = graphics.cbegin(); it != graphics.cend(); ++it)
        EXPECT_EQ(b.form.get<TVsSkinGraphicControl>(it.key())->GraphicName(), it.value()) << it.key().toStdString();
    // and back from a compact view, everything returns
    b.form.applyView(QStringLiteral("Minimal"));
    b.form.applyView(QStringLiteral("Extended"));
    const auto after = geometries(b.form);
    for (const FormData::Control& c : b.form.data().controls())
        if (const auto* keys = b.form.data().view(QStringLiteral("Extended"))->find(c.name);
            keys && (keys->contains(QStringLiteral("Rect")) || keys->contains(QStringLiteral("Top")))) {
            EXPECT_EQ(after.value(c.name), before.value(c.name)) << c.name.toStdString();
        }
}

TEST(FormViews, CompactViewsPutTheirControlsInsideTheButtonRow)
{
    app();
    Built b(1024, 768);
    for (const char* v : {"Essential", "Minimal"}) {
        SCOPED_TRACE(v);
        b.form.applyView(QString::fromLatin1(v));
        QWidget* row = b.form.control(QStringLiteral("botonera"));
        ASSERT_TRUE(row->isVisible() || row->isVisibleTo(&b.window));
        const int T = b.form.data().view(QString::fromLatin1(v))->globals.value(QStringLiteral("RowTop")).toInt();
        EXPECT_EQ(row->geometry(), QRect(0, T, 1024, 74));
        for (const auto& e : b.form.data().view(QString::fromLatin1(v))->controls) {
            if (!e.second.contains(QStringLiteral("Rect")) || e.second.contains(QStringLiteral("Visible"))) continue;
            const QString n = e.first;
            if (n == QLatin1String("botonera") || n.startsWith(QLatin1String("panelwheel")) ||
                n.startsWith(QLatin1String("Panel")) || n.startsWith(QLatin1String("VsImage")) ||
                n.startsWith(QLatin1String("vsimage")) || n == QLatin1String("pfonts") || n.startsWith(QLatin1String("bp")) ||
                n.startsWith(QLatin1String("bg")) || n == QLatin1String("btnsavetube"))
                continue;
            QWidget* w = b.form.control(n);
            EXPECT_TRUE(row->geometry().contains(w->geometry())) << n.toStdString();
            EXPECT_FALSE(b.form.covered(w)) << n.toStdString();
        }
        // the selectors are disabled and all lit
        for (const char* s : {"bmix", "bfx", "bax", "bsampler"}) {
            EXPECT_FALSE(b.form.control(QString::fromLatin1(s))->isEnabled());
            EXPECT_EQ(b.form.control(QString::fromLatin1(s))->property("Tag").toInt(), 1);
        }
        EXPECT_EQ(b.form.get<QComboBox>(QStringLiteral("ComboBoxEx1"))->currentText(), QString::fromLatin1(v));
    }
    b.form.applyView(QStringLiteral("Minimal"));
    EXPECT_FALSE(b.form.control(QStringLiteral("drawgran1"))->isVisibleTo(&b.window));
    EXPECT_EQ(b.form.control(QStringLiteral("Panel3"))->y(), 80);
    EXPECT_EQ(b.form.get<TVsButton>(QStringLiteral("btnplay1"))->GraphicName(), QStringLiteral("Tira Playp.bmp"));
    EXPECT_EQ(b.form.get<TVsButton>(QStringLiteral("bendmas1"))->GraphicName(), QStringLiteral("Tira bend + micro.bmp"));
    EXPECT_EQ(b.form.control(QStringLiteral("todo"))->y(), 150);
}

TEST(FormViews, LayoutRulingsHold)
{
    app();
    Built b(1024, 768);
    auto rect = [&](const char* n) { return b.form.control(QString::fromLatin1(n))->geometry(); };
    auto onSurface = [&](const char* n) {
        QWidget* w = b.form.control(QString::fromLatin1(n));
        return QRect(w->mapTo(b.form.skin(), QPoint(0, 0)), w->size());
    };
    // the waveforms, overviews and cue strips: 480 wide; deck A's left of deck B's, above 380
    for (const char* n : {"display1grande", "display2grande", "displaypeq1", "displaypeq2", "imgcues", "imgcues2"}) {
        EXPECT_EQ(rect(n).width(), 480) << n;
        EXPECT_LT(onSurface(n).bottom(), 380) << n;
    }
    for (const char* n : {"display1grande", "displaypeq1", "imgcues", "artist1", "title1"}) {
        // deck A's displays end by x 505, their middle well in deck A's drop zone (x < 500)
        EXPECT_LE(onSurface(n).right(), 505) << n;
        EXPECT_LT(onSurface(n).center().x(), 500) << n;
    }
    for (const char* n : {"display2grande", "displaypeq2", "imgcues2", "artist2", "title2"}) {
        EXPECT_GE(onSurface(n).left(), 521) << n;
        EXPECT_GT(onSurface(n).center().x(), 560) << n;
    }
    // hot cue, memory, delete and loop-length buttons narrow enough for the compact rows
    for (const char* n : {"cue11", "cue12", "CUE16", "cue21", "CUE26", "delete1", "delete2", "r1", "r8", "l1", "l8"})
        EXPECT_LE(rect(n).width(), 16) << n;
    EXPECT_LE(rect("memory1").width(), 17);
    EXPECT_LE(rect("memory2").width(), 17);
    for (const char* n : {"btncue1", "btnpause1", "btnplay1", "btncue2", "btnpause2", "btnplay2"}) {
        EXPECT_LE(rect(n).width(), 60) << n;
        EXPECT_LE(rect(n).height(), 47) << n;
    }
    EXPECT_EQ(rect("todo").top(), 441);
    EXPECT_EQ(rect("vrwheela").size(), QSize(187, 187));
    // wide: the window at most 1280, the top bar and the browser follow the right edge
    const int closeRight = rect("VsButton7").right();
    b.form.applyWidth(1920, 768);
    EXPECT_TRUE(b.form.wide());
    EXPECT_EQ(b.window.width(), 1280);
    EXPECT_EQ(rect("VsButton7").right(), closeRight + 256);
    EXPECT_EQ(rect("todo").right(), 1279);
    EXPECT_EQ(b.form.get<TVsButton>(QStringLiteral("maximizar"))->GraphicName(), QStringLiteral("tira minimizar.bmp"));
    for (const char* s : {"bmix", "bfx", "bax", "bsampler"}) EXPECT_FALSE(b.form.control(QString::fromLatin1(s))->isEnabled());
    b.form.applyWidth(1024, 768);
    EXPECT_EQ(rect("VsButton7").right(), closeRight);
    EXPECT_EQ(b.form.get<TVsButton>(QStringLiteral("maximizar"))->GraphicName(), QStringLiteral("tira maximizar.bmp"));
    EXPECT_TRUE(b.form.control(QStringLiteral("bfx"))->isEnabled());
    // the surface keeps its background's size
    EXPECT_EQ(b.form.skin()->size(), QSize(1280, 1400));
}

TEST(FormViews, ControlsStartInTheirStartStates)
{
    app();
    Built b(1024, 768);
    EXPECT_EQ(b.form.get<TVsSlider>(QStringLiteral("crossfader"))->Position(), 63);
    EXPECT_EQ(b.form.get<TVsSlider>(QStringLiteral("trackvolume2"))->Position(), 127);
    EXPECT_TRUE(b.form.get<TVsButton>(QStringLiteral("nhcue1"))->Down());
    EXPECT_EQ(b.form.get<TVsButton>(QStringLiteral("r5"))->property("Tag").toInt(), 5);
    EXPECT_EQ(b.form.get<TVsButton>(QStringLiteral("r5"))->property("Hint").toString(), QStringLiteral("LOOP1"));
    EXPECT_EQ(b.form.get<TVsButton>(QStringLiteral("bconfig"))->GraphicName(), QStringLiteral("tconfigoff.bmp"));
    EXPECT_NE(b.form.object(QStringLiteral("Timer1")), nullptr);
    EXPECT_NE(b.form.object(QStringLiteral("JvPopupMenu1")), nullptr);
    EXPECT_EQ(b.form.object(QStringLiteral("nothing of the form")), nullptr);
    // every control of the data was made
    for (const FormData::Control& c : b.form.data().controls())
        EXPECT_NE(b.form.object(c.name), nullptr) << c.name.toStdString();
}

}  // namespace
