// skin_bench: what the main window's skin costs at start-up and per frame, ten times each:
//   skin load    the pack (every graphic, the 1280 x 1400 background among them) and the
//                bitmap list read from the program's resources through their own readers;
//   form build   the whole form built on a window: surface, every control created, placed, in
//                its start state, and painted once into a QImage;
//   full repaint the built window painted once more into a QImage of its size.
// Peers measured in the same run: the background alone decoded by QImage (the floor of the
// load), and one copy of a window-sized image (the floor of a repaint).
//
// Last line: "skin load ms: L, form build ms: B, full repaint ms: R" (medians of ten).
#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "mainwindow/form/formbuilder.h"
#include "mainwindow/form/formkitcontrols.h"
#include "snkins/vs/tvscomposer.h"

namespace {

constexpr int kRounds = 10;

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

double ms(const std::function<void()>& fn)
{
    QElapsedTimer t;
    t.start();
    fn();
    return double(t.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::vector<double> load, build, repaint, peerLoad, peerRepaint;

    // the background's bytes, as the pack holds them, for the peer
    QByteArray backgroundBmp;
    {
        TVsComposer c;
        c.Graphics()->LoadFromFile(QStringLiteral(":/skin/tform1.vsf"));
        backgroundBmp = c.GetGraphic(QStringLiteral("fondo.bmp"))->BmpFileImage();
    }
    for (int round = 0; round < kRounds; ++round) {
        load.push_back(ms([] {
            TVsComposer c;
            c.Graphics()->LoadFromFile(QStringLiteral(":/skin/tform1.vsf"));
            QObject owner;
            createBitmapList(&owner, QStringLiteral("VrBitmapList1"), QStringLiteral(":/skin/VrBitmapList1.vrb"));
        }));
        peerLoad.push_back(ms([&] {
            QImage img;
            img.loadFromData(backgroundBmp, "BMP");
        }));

        QWidget window;
        QImage frame;
        build.push_back(ms([&] {
            FormBuilder form(&window);
            form.build(1024, 768);
            frame = QImage(window.size(), QImage::Format_RGB32);
            window.render(&frame);
        }));
        repaint.push_back(ms([&] { window.render(&frame); }));
        QImage copy(window.size(), QImage::Format_RGB32);
        copy.fill(Qt::darkGray);
        peerRepaint.push_back(ms([&] {
            QPainter p(&frame);
            p.drawImage(0, 0, copy);
        }));
    }
    const double L = median(load), B = median(build), R = median(repaint);
    std::printf("peer: background alone through QImage %.1f ms; skin load / peer %.2f\n", median(peerLoad),
                L / median(peerLoad));
    std::printf("peer: one window-sized image copy %.2f ms; full repaint / peer %.1f\n", median(peerRepaint),
                R / median(peerRepaint));
    std::printf("skin load ms: %.1f, form build ms: %.1f, full repaint ms: %.1f\n", L, B, R);
    return 0;
}
