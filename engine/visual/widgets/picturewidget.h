// A widget that shows a picture of its own size, kept in memory and drawn into by others
// (the paint boxes and cue strips of the deck displays). The picture starts black and follows
// the widget's size, also while the widget is hidden (when Qt holds its resize events back).
#pragma once

#include <QImage>
#include <QWidget>

class PictureWidget : public QWidget {
    Q_OBJECT
public:
    explicit PictureWidget(QWidget* parent = nullptr);

    // What the widget shows now.
    const QImage& Picture() const { return image_; }

protected:
    // The picture at the widget's size: kept where it overlaps, black elsewhere.
    QImage& picture();
    // Runs before the picture is shown.
    virtual void beforePaint() {}

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QImage image_;  // 32-bit
};
