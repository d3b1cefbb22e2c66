// What the three library panels share on screen: built inside an empty host panel of the
// main window, a titled tree panel (pdt) on the left, a 3-pixel splitter (separa), and on
// the right the grid panel (psg) holding the song grid (sg) over a bar (StatusBar1) whose
// right end holds the "Search:" label and the search box (Edit1). A panel adds its own
// widgets at the bar's left end (barLeft()) and its tree into pdt->client().
//
// The search box: upper-case input, black text on RGB 192,192,192, no border; its focus
// goes to searchFocus() (the panel's logic writes "NOKEY" / "KEY" to the main window's
// mailbox); its keys go to buscarpress(). A key pressed in the tree or the grid goes to
// mKeyDown(), which types into the box what typedKey() answers.
//
// Use (a panel's init): set the public fields, then buildFrame(...) with the panel's texts
// and sizes, then fill the tree and list.
#pragma once

#include <memory>
#include <optional>

#include <QColor>
#include <QImage>
#include <QObject>
#include <QString>
#include <QStringList>

class QHBoxLayout;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QSplitter;
class TQuorPanel;
class TquorGrid;
class TID3v2;
class Tmsql;

class LibraryPanelFrame : public QObject {
    Q_OBJECT
public:
    explicit LibraryPanelFrame(TQuorPanel* host);
    ~LibraryPanelFrame() override;

    // set by the main window before init
    TQuorPanel* xmpanel1;
    Tmsql* mquorsql = nullptr;
    QColor colnor, colpar;  // invalid: the panel's default
    QColor ptitle;          // the tree panel's title line
    QImage img1, img2;      // the panels' frame strips, when set
    QImage sgst1, sgst2, sgst3;  // the grid's title pieces, when set
    bool hide3dborder = false;
    QString name;
    // a wide-text ID3v2 reader and writer of the panel's own, for the files it lists
    std::unique_ptr<TID3v2> filetag;

    // built by buildFrame
    QSplitter* separa = nullptr;
    TQuorPanel* pdt = nullptr;
    TQuorPanel* psg = nullptr;
    TQuorPanel* StatusBar1 = nullptr;
    QLabel* spSkinStdLabel1 = nullptr;  // "Search:"
    QLineEdit* Edit1 = nullptr;
    TquorGrid* sg = nullptr;

    // Clears the search box, focuses it and types `text` into it, caret after.
    void typeIntoSearch(const QString& text);

protected:
    struct Frame {
        QString treeTitle;               // "Browser", "Groups", "Playlists"
        int treeWidth = 165;
        int barHeight = 32;              // 26 in the Explorer
        QStringList headers;             // row 0 of the grid (25 texts)
        QList<int> widths;               // column widths (the rest 0)
        QString gridName;                // "sgexplorer", "sggroups", "sg"
        QString searchFont;              // the search box's font family, empty for the default
        QColor defaultColnor, defaultColpar;
    };
    void buildFrame(const Frame& f);
    QHBoxLayout* barLeft() const { return barLeft_; }

    // the search box gains (true) or loses the focus
    virtual void searchFocus(bool focused) = 0;
    // a key pressed in the search box; true when taken
    virtual bool buscarpress(QKeyEvent* e) = 0;
    // what a key pressed in the tree or the grid types into the search box, if anything
    virtual std::optional<QString> typedKey(int key) const = 0;
    // a key pressed in the tree or the grid (not consumed)
    void mKeyDown(int key);

    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QHBoxLayout* barLeft_ = nullptr;
};
