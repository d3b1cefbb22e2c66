#include "snkins/vs/tvscomposer.h"

TVsComposer::TVsComposer(QObject* parent) : TVsSharedComponent(parent), FGraphics(new TVsGraphics(this))
{
    connect(FGraphics, &TVsPersistent::OnChange, this, [this] { GraphicsChanged(); });
}

TVsComposer::~TVsComposer()
{
    // the clients hold the graphics by guarded pointers; they forget them with the list
    disconnect(FGraphics, nullptr, this, nullptr);
    delete FGraphics;
}

TVsGraphic* TVsComposer::GetGraphic(const QString& name) const
{
    const int i = FGraphics->IndexByName(name);
    return i < 0 ? nullptr : FGraphics->Items(i);
}

void TVsComposer::GetGraphicNames(QStringList& list) const
{
    list.clear();
    for (int i = 0; i < FGraphics->Count(); ++i) list << FGraphics->Items(i)->Name();
}
