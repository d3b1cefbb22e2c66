// The jog wheel of a deck: an image control that shows the platter picture and carries the
// wheel's numbers. The main window owns the wheel logic: it takes the wheel's mouse events,
// sets Position (setfcount) and may draw into Bitmap() itself; the wheel stores the values and
// shows its bitmap. Angles are in degrees; a positive rotation turns counterclockwise on screen.
#pragma once

#include <QColor>
#include <QImage>
#include <QTransform>
#include <QWidget>
#include <limits>

class TQuorDial : public QWidget {
    Q_OBJECT
public:
    explicit TQuorDial(QWidget* parent = nullptr);

    // stored only
    int NDivide = 0;
    QWidget* Image32Dial = nullptr;
    int Recorte = 0;
    double velocidad = 0;
    int NotchLength = 0;
    QColor NotchColor;
    double vel_rotacion = 0;

    int maxvalue = 0;     // position count of a full turn
    double newangle = 0;  // last angle, degrees

    // position units per degree; 0 or below is stored as 1
    int step() const { return fstep; }
    void setfstep(int valor);

    // Position: the wheel count. Setting the current value only clears `controller`; any other
    // value is stored and, with a platter picture, turns it to -(valor div step) degrees.
    int Position() const { return FCount; }
    void setfcount(int valor);
    // like setfcount without the equality rule, turning the platter the other way
    void setautocount(int valor);
    // driven by a controller: remembers the last angle as the start of the drive
    void setcontroler(bool enabled);

    // Takes a platter picture: the wheel takes its size, shows it and clips itself to a circle.
    void setfimage(const QImage& imagen1);
    // Draws src rotated by alpha degrees about its centre into dst (cleared to opaque black),
    // unless alpha is the angle drawn last. A source or target of size 0 draws nothing.
    void ScaleRot(const QImage& src, QImage& dst, double alpha);

    // The image control: the bitmap shown at the top-left corner, and update brackets that
    // hold the repaint back while the main window draws into it.
    QImage& Bitmap() { return bitmap; }
    void BeginUpdate() { ++updateCount; }
    void EndUpdate();

    bool controller = false;  // driven by a controller
    bool corriendo = false;   // rotating by itself (the dormant mechanism)
    int PrevCount = 0;
    bool drag = false, inButton = false, init = false, running = false;
    double oldangle = 0, angle = 0;

signals:
    // fired only by the drag-and-rotate mechanism, which this wheel does not run
    void OnDatos(QObject* sender, bool status, double velocidad, int updown);
    // the wheel never reports a click: `clicked` fires only while inButton is set
    void clicked();
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void mouseMove(Qt::KeyboardModifiers modifiers, int x, int y);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void turnTo(int valor, double sign);

    int fstep = 1;
    int FCount = 0;
    QImage bitmap;
    QImage imgred;  // the platter picture, with its transparent border
    double oldan = std::numeric_limits<double>::quiet_NaN();  // the angle drawn last
    int SrcR = 0, SrcB = 0;
    QTransform T;
    int updateCount = 0;
    bool pressedInside = false;
};
