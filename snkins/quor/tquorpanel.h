// The framed container: a panel with a one-pixel border of its own colour, an optional
// 22-pixel title strip with a centred caption and an "X" close label, optional image strips at
// its top and bottom edge, and a title strip that drags its host form or the panel itself.
//
// Use: create it, set the public fields, call init(), then SetShowtitle() as often as needed.
// Put the panel's content into client(): a plain widget between the title strip and the
// bottom image strip, to which the host gives its own layout.
#pragma once

#include <QColor>
#include <QFrame>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QVBoxLayout>
#include <QWidget>

class TQuorPanel : public QWidget {
    Q_OBJECT
public:
    explicit TQuorPanel(QWidget* parent = nullptr);

    QString ttitlecaption;   // TitleCaption
    QColor tcaptioncolor;    // Titlecolor: background of the title strip
    QColor tcaptionfcolor;   // TitleFontcolor: caption text colour
    QColor tlinecolor;       // linecolor: the line under the caption, applied by SetShowtitle
    QColor tbackcolor;       // Backcolor: kept for hosts; the panel does not paint with it
    QColor tpencolor;        // Pencolor: kept for hosts
    bool tshowtitle = false; // Showtitle
    bool hasclose = false;   // closebuton: show the "X" label
    QPointer<QWidget> tpform;  // the form dragged by the strip and closed by "X"
    bool movepanel = false;    // without tpform: the strip drags the panel, "X" hides it

    // the panel's own background (the platform panel's colour)
    void setColor(const QColor& c);
    QColor color() const { return background; }

    QColor Bordercolor() const { return tbordercolor; }
    void setbordercolor(const QColor& c);
    void setlinecolor(const QColor& c) { tlinecolor = c; }

    // showimages: the top and bottom image strips
    bool hideborders() const { return fhideborders; }
    void setshowimages(bool show);
    const QImage& st1() const { return fst1; }
    const QImage& st2() const { return fst2; }
    void setimgup(const QImage& img);
    void setimdown(const QImage& img);

    void init();
    virtual void SetShowtitle(bool show);

    QWidget* client() const { return clientArea; }

    // owned parts
    QWidget* tcappanel;     // the title strip
    QLabel* tcaplabel;      // its caption
    QLabel* tcloselabel;    // "X"
    QFrame* tcapline;       // the 2-pixel line at the bottom of the strip
    QLabel* timage1;        // top image strip
    QLabel* timage2;        // bottom image strip

protected:
    void paintEvent(QPaintEvent*) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void layoutImage(QLabel* strip, const QImage& img);
    void dragPress(QMouseEvent* e);
    void dragMove(QMouseEvent* e);
    void closeAction(QMouseEvent* e);
    void placeCaption();

    QColor tbordercolor;
    QColor background;
    bool fhideborders = false;
    QImage fst1, fst2;
    QVBoxLayout* outer;
    QWidget* titleBox;  // holds the strip with its margins
    QHBoxLayout* captionRow;
    QWidget* clientArea;
    bool inited = false;
    // dragging the panel by hand
    bool dragging = false;
    QPoint dragStart;
};
