#include "tests/snkins/vs/skinrig.h"

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QPainter>
#include <sys/stat.h>
#include <unistd.h>

void ensureApp()
{
    if (QApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString dir = QDir::tempPath() + QStringLiteral("/ostrel-skin-tests-%1").arg(getuid());
        mkdir(dir.toLocal8Bit().constData(), 0700);
        qputenv("XDG_RUNTIME_DIR", dir.toLocal8Bit());
    }
    static int argc = 1;
    static char name[] = "test_vs";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

QImage backgroundPicture(int w, int h, QColor fill, int corner)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(fill);
    if (corner > 0) {
        QPainter p(&img);
        for (QPoint at : {QPoint(0, 0), QPoint(w - corner, 0), QPoint(0, h - corner), QPoint(w - corner, h - corner)})
            p.fillRect(QRect(at, QSize(corner, corner)), kKey);
    }
    return img;
}

QColor cellColor(int i)
{
    static const QColor colors[] = {QColor(40, 40, 40), QColor(200, 120, 10), QColor(90, 90, 90),
                                    QColor(120, 60, 5), QColor(250, 180, 20)};
    return colors[i % 5];
}

QImage cellPicture(int count, int cw, int ch)
{
    QImage img(count * cw, ch, QImage::Format_RGB32);
    for (int i = 0; i < count; ++i) {
        QPainter p(&img);
        p.fillRect(i * cw, 0, cw, ch, cellColor(i));
        img.setPixel(i * cw, 0, kKey.rgb());
    }
    return img;
}

void addGraphic(TVsComposer& composer, const QString& name, const QImage& image)
{
    TVsGraphic g;
    g.SetName(name);
    g.SetBitmap(image);
    composer.Graphics()->Add(&g);
}

SkinRig::SkinRig()
{
    ensureApp();
    form = std::make_unique<QWidget>();
    composer = new TVsComposer(form.get());
    addGraphic(*composer, QStringLiteral("fondo.bmp"), backgroundPicture(200, 100, QColor(33, 33, 33), 10));
    addGraphic(*composer, QStringLiteral("boton.bmp"), cellPicture(5, 20, 10));
    addGraphic(*composer, QStringLiteral("thumb.bmp"), cellPicture(2, 32, 20));
    skin = new TVsSkin(form.get());
    skin->setObjectName(QStringLiteral("skin"));
    skin->BeginUpdate();
    skin->SetComposer(composer);
    skin->SetGraphicName(QStringLiteral("fondo.bmp"));
    skin->EndUpdate();
}

namespace {

void send(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent e(type, QPointF(at), QPointF(w->mapToGlobal(at)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

}  // namespace

void pointerMove(QWidget* w, QPoint at, bool leftHeld)
{
    send(w, QEvent::MouseMove, at, Qt::NoButton, leftHeld ? Qt::LeftButton : Qt::NoButton);
}

void pointerPress(QWidget* w, QPoint at) { send(w, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton); }

void pointerRelease(QWidget* w, QPoint at) { send(w, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton); }
