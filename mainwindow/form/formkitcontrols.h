// Creation of the form's kit controls (the instrument kit's and the maker's own controls).
// Kept apart from the skinned controls' creation: the two kits' headers may not meet in one
// source file (both declare an alignment type of the same name).
#pragma once

#include <QImage>
#include <functional>

#include "mainwindow/form/formdata.h"

class QObject;
class QWidget;
class TVrBitmapList;

// A graphic of the skin pack by name (a null image for an unknown name).
using GraphicSource = std::function<QImage(const QString&)>;

// Creates the control of section `c` on `parent`, in its start state, or returns null when
// `c`'s class is not a kit class.
QWidget* createKitControl(const FormData::Control& c, QWidget* parent, TVrBitmapList* list,
                          const GraphicSource& graphics);

// Sets the position of a kit control that has one.
void applyKitPosition(QWidget* w, int position);

// The bitmap list named `name`, owned by `owner`, loaded from a bitmap list stream file (throws
// EVrException when it does not load).
TVrBitmapList* createBitmapList(QObject* owner, const QString& name, const QString& stream);
QObject* bitmapListObject(TVrBitmapList* list);
