// The drive and folder tree on the left of the Explorer: a view of DriveTreeModel with the
// eight node images, Arial bold, no border, no hints and no expand buttons (the lines stay).
// A press on a node goes to the model (MouseDown); the model's selection and expansion are
// shown as it sets them; arrow keys move the selection without choosing a folder.
//
// Use: construct with the volume source, set the colours and tienedescarga, call init()
// (which fills the drives), then connect to model().fOnChange and read fDirectory().
#pragma once

#include <QColor>
#include <QList>
#include <QPixmap>
#include <QTreeView>

#include "library/drivetreemodel.h"

class VolumeSource;

class TDirectoryTree2 : public QTreeView {
    Q_OBJECT
public:
    explicit TDirectoryTree2(VolumeSource& volumes, QWidget* parent = nullptr);

    QColor mycolor{0, 0, 0};                // image background
    QColor tbackcolor{0, 0, 0};             // control background
    QColor tfontcolor{0xB4, 0xB4, 0xB4};    // node text
    bool tienedescarga = false;             // show "OSTREL Download"

    void init();

    DriveTreeModel& model() { return model_; }
    const QString& fDirectory() const { return model_.fDirectory; }
    QTimer& tie1() { return model_.tie1; }
    void SetSelected() { model_.SetSelected(); }
    void dtarriba() { model_.dtarriba(); }
    void dtabajo() { model_.dtabajo(); }
    void setenable(const QString& mountPoint, bool enabled) { model_.setenable(mountPoint, enabled); }
    void FindDrives() { model_.FindDrives(); }

    // the prepared node images, in DriveTreeModel::Image order (empty before init)
    const QList<QPixmap>& images() const { return fImageList; }

signals:
    void keyDown(int key, Qt::KeyboardModifiers modifiers);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const override;

private:
    DriveTreeModel model_;
    QList<QPixmap> fImageList;
    bool following_ = false;  // the view is taking the model's selection
};
