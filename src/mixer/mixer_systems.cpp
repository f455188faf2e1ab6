#include "mixer/mixer_systems.h"

#include "mixer/alsa_mixer.h"

namespace velk {

namespace {
std::shared_ptr<MixerSystem>& Installed() {
  static std::shared_ptr<MixerSystem> system;
  return system;
}
}  // namespace

std::shared_ptr<MixerSystem> SystemMixers() {
  if (!Installed()) Installed() = std::make_shared<AlsaMixerSystem>();
  return Installed();
}

std::shared_ptr<MixerSystem> InstallMixerSystem(std::shared_ptr<MixerSystem> system) {
  std::shared_ptr<MixerSystem> previous = std::move(Installed());
  Installed() = std::move(system);
  return previous;
}

}  // namespace velk
