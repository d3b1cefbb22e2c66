#include "mainwindow/logic/centreselectors.h"

#include "mainwindow/logic/buttonview.h"

void CentreSelectors::tags(ButtonView* on)
{
    for (ButtonView* b : {bmix, bfx, bax, bsampler})
        if (b) b->setTag(b == on ? 1 : 0);
}

void CentreSelectors::park(ControlView* panel, ControlView* marker)
{
    if (!panel || !marker) return;
    QRect r = panel->bounds();
    r.moveTopLeft(marker->bounds().topLeft());
    panel->setBounds(r);
    if (lower) lower(panel);
}

void CentreSelectors::centre(ControlView* panel)
{
    if (!panel) return;
    if (pancentral) {
        QRect r = panel->bounds();
        r.moveTopLeft(pancentral->bounds().topLeft());
        panel->setBounds(r);
    }
    if (raise) raise(panel);
}

void CentreSelectors::bmixMouseDown()
{
    tags(bmix);
    park(pautomix, biautomix);
    park(effects, bifx);
    park(sampler, bisampler);
}

void CentreSelectors::bfxMouseDown()
{
    if (bfx && bfx->tag() == 1) {
        bmixMouseDown();
        bfx->setTag(0);
        return;
    }
    tags(bfx);
    centre(effects);
    park(pautomix, biautomix);
    park(sampler, bisampler);
    if (bfx) bfx->setDown(true);
    if (raiseClock) raiseClock();
}

void CentreSelectors::bsamplerMouseDown()
{
    if (bsampler && bsampler->tag() == 1) {
        bmixMouseDown();
        bsampler->setTag(0);
        return;
    }
    tags(bsampler);
    centre(sampler);
    park(pautomix, biautomix);
    park(effects, bifx);
    if (raiseClock) raiseClock();
}

void CentreSelectors::baxMouseDown()
{
    tags(bax);
    centre(pautomix);
    park(effects, bifx);
    park(sampler, bisampler);
    if (playlistsAlone) playlistsAlone();
    if (raiseClock) raiseClock();
}
