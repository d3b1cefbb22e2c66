#include "controllers/controllerset.h"

#include <memory>

#include "controllers/profilepath.h"
#include "controllers/tcontroladora.h"

ControllerSet::ControllerSet(ControllerSurface& surface, PSoundConfig& config, midi::Backend& backend,
                             const QString& profile, hid::Backend& hidBackend)
    : dispatcher(surface, values, state, tables),
      keyboard(tables, bp, surface, [this](TInfo& e) { dispatcher.updatecontroler(e); }),
      midi(tables, state, surface, config, bp, bp2, [this](TInfo& e) { dispatcher.updatecontroler(e); }, backend,
           profile),
      hid(tables, state, surface, config, bp, [this](TInfo& e) { dispatcher.updatecontroler(e); }, hidBackend, profile),
      valueCopy(surface, values, state),
      lights(tables, state, surface, config, midi, &hid),
      surface_(surface),
      profile_(profile)
{
}

void ControllerSet::loadKeyboardMap()
{
    auto controla2 = std::make_unique<TControladora>(tables, surface_, profile_);
    controla2->loadteclado(ProfilePath::find(profile_, QStringLiteral("devices/teclado.key")));
}
