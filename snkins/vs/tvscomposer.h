// The shared collection of named skin graphics. Skin surfaces link themselves to it and are
// told of every change of its list.
#pragma once

#include <QStringList>

#include "snkins/vs/tvsgraphics.h"
#include "snkins/vs/tvssharedcomponent.h"

class TVsComposer : public TVsSharedComponent {
    Q_OBJECT
public:
    explicit TVsComposer(QObject* parent = nullptr);
    ~TVsComposer() override;

    TVsGraphics* Graphics() const { return FGraphics; }
    // Copies the given list.
    void SetGraphics(const TVsGraphics* graphics) { FGraphics->Assign(graphics); }

    // The first graphic of that name (any case), or none.
    TVsGraphic* GetGraphic(const QString& name) const;
    void GetGraphicNames(QStringList& list) const;

private:
    void GraphicsChanged() { NotifyClients(); }
    TVsGraphics* FGraphics;
};
