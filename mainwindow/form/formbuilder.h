// Builds the main window's form from its data: the skin graphics collection and the bitmap
// list (from the program's resources, through their own readers), the skinned surface on the
// window, and every control of the form data on the surface or in its parent panel, each in
// its start state and named after its section. Hands the controls out by name, and applies
// a deck view ("Extended", "Essential", "Minimal") and a window width (1024 or wide) from the
// views' data.
//
//   FormBuilder form(window);                    // reads ":/skin/tform1.skn"
//   form.build();                                // every control, the window 1024 x work area
//   auto* play = form.get<TVsButton>("btnplay1");
//   form.applyView("Essential");
//   form.applyWidth(1280, 1024);
//
// Classes: TVsButton, TVsSlider, TVsImage (skinned, on the surface); TVrBitmapDial,
// TVrQuorAngularMeter, TVrLed, TVrCompass, TVrLedClock, TVrProgressBar, TRLed, TQuorDial,
// TquorButton, TnSlider, Tjvswitch2, TQuorPanel (the kit's); TLabel (QLabel), TPanel and
// TPaintBox (QWidget), TImage (QLabel holding a form picture), TComboBoxEx (QComboBox),
// TButton (QPushButton); TTimer (QTimer, not started), TJvPopupMenu and TPopupMenu (QMenu
// whose actions carry the item name and, as data, its Tag). A skinned button's Tag is its
// dynamic property "Tag"; the kit's controls keep their own fields.
#pragma once

#include <QHash>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QRegion>
#include <QWidget>
#include <QString>
#include <memory>

#include "mainwindow/form/formdata.h"

class QWidget;
class TVsComposer;
class TVsSkin;
class TVrBitmapList;

class FormBuilder : public QObject {
    Q_OBJECT
public:
    static QString defaultFormData() { return QStringLiteral(":/skin/tform1.skn"); }

    // `window` becomes the form: a frameless top-level window. Throws SkinError or
    // std::runtime_error when the form data cannot be read.
    explicit FormBuilder(QWidget* window, const QString& formData = defaultFormData());
    ~FormBuilder() override;

    // Loads the pack and the bitmap list (throws SkinError when they do not load), creates
    // every control and sizes the window to `width` x `height` (the work area's height).
    void build(int width = 1024, int height = 768);

    QWidget* window() const { return FWindow; }
    const FormData& data() const { return *FData; }
    TVsSkin* skin() const { return FSkin; }
    TVsComposer* composer() const { return FComposer; }
    TVrBitmapList* bitmapList() const { return FBitmapList; }

    // Every object the form data names, by name (any case); null for an unknown name.
    QObject* object(const QString& name) const;
    QWidget* control(const QString& name) const;
    template <class T>
    T* get(const QString& name) const { return qobject_cast<T*>(object(name)); }
    QStringList names() const;

    // A form picture (":/skin/form/<name>"), e.g. "wheel.bmp".
    static QImage picture(const QString& name);

    // Applies a deck view from the views' data: places, sizes, graphics, visibility and
    // stacking of what the view lists; the selectors' Tags and enabled states. The window's own
    // handlers (the mixer in the centre, the browser panels' layout) are the caller's.
    // `metersEnabled`: the needle meters run (the high preset), which hides the time labels
    // of the "Extended" view.
    void applyView(const QString& view, bool metersEnabled = true);
    const QString& currentView() const { return FView; }

    // Applies a window width: `width` 1024 is the normal width, anything wider the wide mode
    // (the width is capped at the wide mode's maximum, 1280). Controls anchored right move with
    // the window's right edge, those anchored left and right widen, the browser area reaches the
    // window's bottom. The surface keeps its background's size; the window takes `width` x
    // `height`, and its mask is the background's region united with everything right of and
    // below the background.
    void applyWidth(int width, int height);
    bool wide() const { return FWide; }

    // The mask the window gets (in window coordinates).
    QRegion windowMask() const;
    // Re-applies the window mask (the surface sets its own when it refreshes).
    void applyMask();

    // The controls of `parent` (by name) that are shown and not covered by a sibling in front
    // of them (the browser area, the button row): what a user sees of that parent.
    QList<QWidget*> shownChildren(const QString& parent) const;
    // Whether `w` is covered, wholly, by siblings stacked in front of it.
    bool covered(QWidget* w) const;

private:
    void createControls();
    QWidget* createOne(const FormData::Control& c, QWidget* parent);
    void setGraphic(QWidget* w, const QString& graphic);
    void applyKeys(const QString& name, const QMap<QString, QString>& keys);
    void place(QWidget* w, const QRect& r);
    void applySelectors();

    QPointer<QWidget> FWindow;
    std::unique_ptr<FormData> FData;
    TVsComposer* FComposer = nullptr;
    TVrBitmapList* FBitmapList = nullptr;
    TVsSkin* FSkin = nullptr;
    QHash<QString, QPointer<QObject>> FObjects;  // lower-case name
    QString FView = QStringLiteral("Extended");
    bool FWide = false;
    bool FWidthApplied = false;
    int FWidth = 1024, FHeight = 768;
};
