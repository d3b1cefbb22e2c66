// Places inside the configuration dialog. Its controls are laid out by its own code, not by
// the form data, so the test builds the same dialog offscreen (over the dialog tests' fakes)
// and asks it where each control lies; a click on the real dialog is mirrored on this one, so
// that layouts that follow a choice (the work mode's rows) stay the same on both.
#pragma once

#include <QRect>
#include <QString>
#include <memory>

namespace e2e {

// A QApplication on the offscreen platform for the places' stand-in widgets, unless the
// process has an application already.
void ensureOffscreenApplication();

class DialogPlaces {
public:
    DialogPlaces();
    ~DialogPlaces();
    DialogPlaces(const DialogPlaces&) = delete;
    DialogPlaces& operator=(const DialogPlaces&) = delete;

    // The named control's rectangle in the dialog's coordinates (empty when there is none or it
    // is hidden).
    QRect rect(const QString& name) const;
    // The header of the page tab named `page` (TabSheet1, TabSheet3, TabSheet6, ...).
    QRect tab(const QString& page) const;
    // Row `row` of the named check list.
    QRect row(const QString& list, int row) const;
    bool shown(const QString& name) const;
    // The same press on the offscreen dialog (a button, a switch, a tab).
    void press(const QString& name);

private:
    struct Rig;
    std::unique_ptr<Rig> rig_;
};

}  // namespace e2e
