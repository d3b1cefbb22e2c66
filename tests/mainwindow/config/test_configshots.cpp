// Pictures of the configuration dialog as the X server shows it (run by shots.sh under
// xvfb-run): every shown page, a JACK set-up of two devices, a question box, and the MIDI page
// while its port list is read. Each picture is checked for the dialog's colours and for no
// see-through key colour.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <QScreen>
#include <QTabWidget>

#include "tests/mainwindow/config/widgetrig.h"

namespace {

using M = ConfigDialogModel;

QString shotDir() {
    const QByteArray d = qgetenv("CONFIG_SHOTS");
    return d.isEmpty() ? QStringLiteral(".") : QString::fromLocal8Bit(d);
}

QImage photograph(QWidget* w) {
    WidgetRig::settle(150);
    const QRect r(w->mapToGlobal(QPoint(0, 0)), w->size());
    return w->screen()
        ->grabWindow(0, r.x(), r.y(), r.width(), r.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

int count(const QImage& img, QRgb colour) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) ++n;
    return n;
}

void save(const QImage& img, const QString& name) {
    ASSERT_TRUE(img.save(shotDir() + QLatin1Char('/') + name + QStringLiteral(".png")));
    EXPECT_EQ(count(img, qRgb(255, 0, 255)), 0) << name.toStdString();
}

struct ShotRig : WidgetRig {
    ShotRig() {
        settled();
        midi.set({"Dev:Dev MIDI 10", "Dev:Dev MIDI 11", "pad0"});
        engine.cfg.portconin = QStringLiteral("Dev:Dev MIDI 11");
        profile.file("Devices/PAD.xml");
        profile.file("Devices/MIXER.XML");
        profile.file("Devices/hid/DECK.xml");
        engine.cfg.controler = QStringLiteral("PAD.XML");
        QPalette pal = mainWindow.palette();
        pal.setColor(QPalette::Window, QColor(0x15, 0x15, 0x15));
        mainWindow.setPalette(pal);
        mainWindow.setAutoFillBackground(true);
        mainWindow.move(0, 0);
        mainWindow.resize(1280, 1000);
    }
};

TEST(ConfigDialogShots, EveryShownPage) {
    ShotRig rig;
    Tfnewconfig* d = rig.openDialog();
    const char* names[] = {"audio", "rec", "automix", "samples", "midi", "hid", "performance", "skin"};
    for (int p = 0; p < M::kPages; ++p) {
        if (!M::pageShown(p)) continue;
        d->JvPageControl1->setCurrentIndex(p);
        const QImage img = photograph(d);
        ASSERT_EQ(img.size(), QSize(939, 660));
        save(img, QStringLiteral("config-%1").arg(QString::fromLatin1(names[p])));
        // the frame and the page in their colours
        EXPECT_GT(count(img, qRgb(32, 32, 32)), 10000) << names[p];
        EXPECT_GT(count(img, qRgb(51, 51, 51)), 100000) << names[p];
    }
}

TEST(ConfigDialogShots, JackTwoDevicesAndTheQuestion) {
    ShotRig rig;
    rig.engine.cfg.devicemode = 0;
    rig.engine.cfg.devicework = 6;
    rig.engine.cfg.asnum[0] = 1;
    rig.engine.cfg.asnum[1] = 2;
    rig.engine.cfg.aschan[0] = 1;
    rig.engine.cfg.aschan[1] = 0;
    Tfnewconfig* d = rig.openDialog();
    save(photograph(d), QStringLiteral("config-audio-jack-mode6"));
    d->model().audio.rdm2Click();
    d->showModel();
    QMessageBox* box = rig.box();
    ASSERT_NE(box, nullptr);
    save(photograph(d), QStringLiteral("config-question"));
    box->button(QMessageBox::No)->click();
}

// The MIDI page while its port list is read: the first list shows the stored port, the second
// "…", both greyed, and the refresh button off; then the read list.
TEST(ConfigDialogShots, TheMidiPageWhileThePortListIsRead) {
    GatedReader gate;
    gate.ports.set({"Dev:Dev MIDI 10", "Dev:Dev MIDI 11", "pad0"});
    ShotRig rig;
    rig.ports = &gate.ports;
    rig.reader = &gate.reader;
    Tfnewconfig* d = rig.openDialog();
    d->JvPageControl1->setCurrentIndex(M::TabSheet3);
    save(photograph(d), QStringLiteral("config-midi-reading"));
    gate.ports.release();
    while (gate.reader.reading())
        WidgetRig::settle(5);
    save(photograph(d), QStringLiteral("config-midi-read"));
}

} // namespace
