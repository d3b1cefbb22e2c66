// The gallery of the jog wheel, sliders, buttons, panel, grid, switches, tree and the shared
// dialogs: pictures to look at, written under the build folder (gallery/kit2.png and
// gallery/kit2_splash.png). On a window system (xvfb-run -a with QT_QPA_PLATFORM=xcb) the
// splash is also taken from the screen, its see-through corners included
// (gallery/kit2_splash_screen.png).
#include <gtest/gtest.h>

#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <QtMath>

#include "snkins/dialogs/tfinfo2.h"
#include "snkins/dialogs/tplimbprogress.h"
#include "snkins/dialogs/tsplashform.h"
#include "snkins/dialogs/ttquormessage.h"
#include "snkins/quor/tjvswitch2.h"
#include "snkins/quor/tnslider.h"
#include "snkins/quor/tquorbutton.h"
#include "snkins/quor/tquordial.h"
#include "snkins/quor/tquorgrid.h"
#include "snkins/quor/tquorpanel.h"
#include "snkins/quor/tquorswitch1.h"
#include "snkins/quor/tquortreeview.h"
#include "tests/snkins/quor/kitapp.h"

namespace {

QString galleryDir()
{
    const QString dir = QStringLiteral(OSTREL_TEST_BIN_DIR "/gallery");
    QDir().mkpath(dir);
    return dir;
}

// a platter like the main window's: dark, a ring of fine marks, one bright mark, the deck's
// accent on the outer ring
QImage platter(QColor accent)
{
    QImage img(187, 187, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(93.5, 93.5);
    p.setPen(Qt::NoPen);
    p.setBrush(accent);
    p.drawEllipse(c, 92, 92);
    QRadialGradient g(c, 88);
    g.setColorAt(0, QColor(0x3A, 0x3A, 0x3A));
    g.setColorAt(1, QColor(0x11, 0x11, 0x11));
    p.setBrush(g);
    p.drawEllipse(c, 87, 87);
    p.setPen(QPen(QColor(0x4A, 0x4A, 0x4A), 1));
    for (int i = 0; i < 90; ++i) {
        const qreal a = qDegreesToRadians(i * 4.0);
        p.drawLine(c + QPointF(qCos(a), qSin(a)) * 74, c + QPointF(qCos(a), qSin(a)) * 82);
    }
    p.setPen(QPen(QColor(0xDD, 0xDD, 0xDD), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(0, -50), c + QPointF(0, -82));
    return img;
}

QStringList row(const QString& artist, const QString& title, const QString& bpm, const QString& path,
                const QString& plays)
{
    QStringList cells(25);
    cells[2] = bpm;
    cells[3] = artist;
    cells[4] = title;
    cells[5] = QStringLiteral("05:12");
    cells[6] = path;
    cells[22] = plays;
    return cells;
}

QLabel* caption(QWidget* parent, const QString& text, int x, int y)
{
    auto* l = new QLabel(text, parent);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, QColor(0xA0, 0xA0, 0xA0));
    l->setPalette(pal);
    l->move(x, y);
    l->adjustSize();
    return l;
}

TEST(QuorGallery, WritesThePictures)
{
#if defined(__SANITIZE_THREAD__)
    // pictures only; QPainter fills large gradients on Qt's own thread pool, which TSan cannot see
    GTEST_SKIP();
#endif
    kitApp();
    const QString existing = QStringLiteral(OSTREL_TEST_BIN_DIR "/gallery/present.mp3");
    QDir().mkpath(galleryDir());
    {
        QFile f(existing);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }

    QWidget board;
    board.resize(1240, 760);
    board.setAutoFillBackground(true);
    QPalette pal = board.palette();
    pal.setColor(QPalette::Window, QColor(0x21, 0x21, 0x21));
    board.setPalette(pal);

    // jog wheels, deck A turned by a count of 4500 (45 degrees), deck B at rest
    caption(&board, QStringLiteral("TQuorDial"), 10, 6);
    auto* wheelA = new TQuorDial(&board);
    wheelA->move(10, 26);
    wheelA->setfstep(100);
    wheelA->setfimage(platter(QColor(0xFE, 0xB2, 0x0A)));
    wheelA->setfcount(4500);
    auto* wheelB = new TQuorDial(&board);
    wheelB->move(205, 26);
    wheelB->setfstep(100);
    wheelB->setfimage(platter(QColor(0x8A, 0xCE, 0x1B)));

    // sliders: horizontal at 30, a pressed one, and the vertical zoom counting upwards
    caption(&board, QStringLiteral("TnSlider"), 10, 222);
    auto* s1 = new TnSlider(&board);
    s1->move(10, 244);
    s1->SetPosition(30);
    auto* s2 = new TnSlider(&board);
    s2->move(10, 264);
    s2->SetPosition(75);
    press(s2, QPoint(150, 5), Qt::RightButton);  // the pressed frame
    auto* s3 = new TnSlider(&board);
    s3->Horizontal = false;
    s3->AutoSize = false;
    QImage vruler = TnSlider().ImageRuler().transformed(QTransform().rotate(90));
    s3->SetImageRuler(vruler);
    s3->resize(11, 140);
    s3->SetMaxvalue(6);
    s3->SetInversed(true);
    s3->SetPosition(4);
    s3->move(220, 222);

    // buttons: rest, hover, pressed, disabled, disabled-down; captions on the sampler pads
    caption(&board, QStringLiteral("TquorButton"), 10, 288);
    const char* names[] = {"REST", "HOT", "DOWN", "OFF", "OFF-D"};
    for (int i = 0; i < 5; ++i) {
        auto* b = new TquorButton(&board);
        b->move(10 + i * 56, 308);
        b->setcaption(QString::fromLatin1(names[i]));
        b->setcaption_colorup(QColor(0xDD, 0xDD, 0xDD));
        b->setcaption_colorover(Qt::white);
        b->setcaption_colordown(QColor(0xFE, 0xB2, 0x0A));
        QFont f = b->font();
        f.setPixelSize(10);
        f.setBold(true);
        b->setFont(f);
        if (i == 1) movePointer(b, QPoint(20, 20));
        if (i == 2) {
            movePointer(b, QPoint(20, 20));
            press(b, QPoint(20, 20));
        }
        if (i >= 3) {
            b->SetDown(i == 4);
            b->setEnabled(false);
        }
    }

    // switches
    caption(&board, QStringLiteral("Tjvswitch2 / TQuorSwitch1"), 10, 366);
    auto* sw1 = new Tjvswitch2(&board);
    sw1->setGeometry(10, 386, 90, 40);
    sw1->setTextPosition(Tjvswitch2::tpRight);
    sw1->setCaption(QStringLiteral("Off"));
    auto* sw2 = new Tjvswitch2(&board);
    sw2->setGeometry(100, 386, 90, 40);
    sw2->setTextPosition(Tjvswitch2::tpRight);
    sw2->setCaption(QStringLiteral("On"));
    sw2->setStateOn(true);
    for (Tjvswitch2* s : {sw1, sw2}) {
        QPalette sp = s->palette();
        sp.setColor(QPalette::Window, QColor(0x21, 0x21, 0x21));
        sp.setColor(QPalette::WindowText, QColor(0xDD, 0xDD, 0xDD));
        s->setPalette(sp);
    }
    auto* m1 = new TQuorSwitch1(&board);
    m1->move(10, 434);
    m1->setCaption(QStringLiteral("Cancel"));
    auto* m2 = new TQuorSwitch1(&board);
    m2->move(120, 434);
    m2->setCaption(QStringLiteral("Held"));
    for (TQuorSwitch1* s : {m1, m2}) {
        QPalette sp = s->palette();
        sp.setColor(QPalette::Window, QColor(0x21, 0x21, 0x21));
        sp.setColor(QPalette::WindowText, Qt::white);
        s->setPalette(sp);
    }
    press(m2, QPoint(40, 10));

    // a titled panel holding the group tree
    auto* panel = new TQuorPanel(&board);
    panel->setGeometry(10, 470, 290, 280);
    panel->setColor(QColor(0, 0, 0));
    panel->setbordercolor(QColor(56, 56, 56));
    panel->tcaptioncolor = QColor(68, 68, 68);
    panel->tcaptionfcolor = QColor(221, 221, 221);
    panel->tlinecolor = QColor(192, 192, 192);
    panel->ttitlecaption = QStringLiteral("Groups");
    panel->hasclose = true;
    panel->movepanel = true;
    panel->init();
    panel->SetShowtitle(true);
    panel->setshowimages(true);
    auto* treeLayout = new QVBoxLayout(panel->client());
    treeLayout->setContentsMargins(2, 2, 2, 2);
    auto* tree = new TQuorTreeView(panel->client());
    tree->tbackcolor = QColor(0, 0, 0);
    tree->tfontcolor = Qt::white;
    tree->init();
    treeLayout->addWidget(tree);
    QTreeWidgetItem* house = tree->addNode(nullptr, QStringLiteral("House"));
    tree->addNode(house, QStringLiteral("Deep"));
    tree->addNode(house, QStringLiteral("Tech House"));
    tree->addNode(nullptr, QStringLiteral("Techno"));
    QTreeWidgetItem* warm = tree->addNode(nullptr, QStringLiteral("Warm-up"));
    house->setExpanded(true);
    tree->setSelected(warm);

    // the song grid: played, unplayed, missing, a play count that is not digits, selected
    auto* grid = new TquorGrid(&board);
    grid->setGeometry(410, 26, 820, 320);
    grid->init(&board);
    grid->ftitlefill = true;
    const int widths[] = {38, 55, 83, 245, 245, 109};
    const char* heads[] = {"   T", "   V", "   BPM", "   Artist", "   Title", "   Time"};
    for (int c = 0; c < 25; ++c) grid->setColWidths(c, c < 6 ? widths[c] : 0);
    for (int c = 0; c < 6; ++c) grid->setCells(c, 0, QString::fromLatin1(heads[c]));
    const QString gone = QStringLiteral("/nowhere/gone.mp3");
    grid->setSongRows({
        row(QStringLiteral("Velvet Rise"), QStringLiteral("Night Drive"), QStringLiteral("124.000"), existing, QStringLiteral("2")),
        row(QStringLiteral("Blue Echo"), QStringLiteral("Summer Bass (Extended Mix)"), QStringLiteral("126.000"), existing, QString()),
        row(QStringLiteral("Öland"), QStringLiteral("Mirror"), QStringLiteral("128.000"), gone, QStringLiteral("1")),
        row(QStringLiteral("Storm"), QStringLiteral("Zero Hour"), QStringLiteral("122.500"), existing, QStringLiteral("abc")),
        row(QStringLiteral("Deep Love"), QStringLiteral("A title far too long for its column, cut with an ellipsis"), QStringLiteral("118.000"), existing, QString()),
        row(QStringLiteral("Ámbar"), QStringLiteral("Eclair"), QStringLiteral("130.000"), existing, QStringLiteral("5")),
        row(QStringLiteral("Missing One"), QStringLiteral("Gone"), QStringLiteral("120.000"), gone, QString()),
    });
    for (int r = 1; r < grid->RowCount(); ++r) grid->setCells(0, r, r == 2 ? QStringLiteral(" A") : QString());
    grid->Tag = 3;
    grid->SortGrid(3, true);
    grid->setRow(3);
    caption(&board, QStringLiteral("TquorGrid (titlefill)"), 410, 6);

    auto* grid2 = new TquorGrid(&board);
    grid2->setGeometry(410, 352, 820, 100);
    grid2->init(&board);
    for (int c = 0; c < 25; ++c) grid2->setColWidths(c, c < 6 ? widths[c] : 0);
    for (int c = 0; c < 6; ++c) grid2->setCells(c, 0, QString::fromLatin1(heads[c]));
    grid2->setSongRows({row(QStringLiteral("Title pieces"), QStringLiteral("from the bitmaps"), QStringLiteral("090.000"), existing, QStringLiteral("1")),
                        row(QStringLiteral("Descending"), QStringLiteral("by title"), QStringLiteral("100.000"), existing, QString())});
    grid2->Tag = -4;
    grid2->setRow(2);

    board.show();
    QApplication::processEvents();
    QImage shot = board.grab().toImage();

    // the dialogs, each drawn into the board's free corner
    Ttquormessage box;
    box.pdt->tcaplabel->setText(QStringLiteral("Warning "));
    box.Label1->setText(QStringLiteral("Audio format not sopported !  "));
    box.bffd1->move(10, 112);
    box.bffd2->move(box.width() - 108, 112);
    TPlimbprogress progress;
    progress.progress->setValue(40);
    progress.Label1->setText(QStringLiteral("Inserting 12 of 30"));
    {
        QPainter p(&shot);
        p.drawImage(320, 470, box.grab().toImage());
        p.drawImage(720, 470, progress.grab().toImage());
    }
    ASSERT_TRUE(shot.save(galleryDir() + QStringLiteral("/kit2.png")));

    Tfinfo2 info;
    info.e1->setText(QStringLiteral("128.000"));
    info.e2->setText(QStringLiteral("Velvet Rise"));
    info.e3->setText(QStringLiteral("Night Drive"));
    info.Label9->setText(existing);
    ASSERT_TRUE(info.grab().save(galleryDir() + QStringLiteral("/kit2_info.png")));

    // the splash over a checked background, its mask applied as the window system would
    Tsplashform splash;
    splash.Loading->setText(QStringLiteral("Initialize Audio Class..."));
    splash.sp1->setValue(75);
    splash.version->setText(QStringLiteral("Release 2.0.1"));
    splash.show();
    QApplication::processEvents();
    QImage composed(699, 341, QImage::Format_RGB32);
    {
        QPainter p(&composed);
        for (int y = 0; y < composed.height(); y += 10)
            for (int x = 0; x < composed.width(); x += 10)
                p.fillRect(x, y, 10, 10, ((x + y) / 10) % 2 ? QColor(90, 110, 140) : QColor(60, 80, 110));
        p.translate(10, 10);
        p.setClipRegion(splash.mask());
        p.drawImage(0, 0, splash.grab().toImage());
    }
    ASSERT_TRUE(composed.save(galleryDir() + QStringLiteral("/kit2_splash.png")));

    if (QGuiApplication::platformName() == QStringLiteral("xcb")) {
        QWidget behind;
        behind.setWindowFlags(Qt::FramelessWindowHint);
        behind.setGeometry(splash.geometry().adjusted(-20, -20, 20, 20));
        behind.setAutoFillBackground(true);
        QPalette bp = behind.palette();
        bp.setColor(QPalette::Window, QColor(60, 80, 110));
        behind.setPalette(bp);
        behind.show();
        splash.raise();
        QTest::qWait(500);
        const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0, behind.x(), behind.y(), behind.width(),
                                                                            behind.height());
        ASSERT_TRUE(screen.save(galleryDir() + QStringLiteral("/kit2_splash_screen.png")));
    }
}

}  // namespace
