#pragma once
// The process's mixer system: ALSA unless something else was installed (tests install an
// in-memory one).
#include <memory>

#include "mixer/mixer_device.h"

namespace velk {

std::shared_ptr<MixerSystem> SystemMixers();
// Installs a system and returns the previous one (null while the default was never made).
std::shared_ptr<MixerSystem> InstallMixerSystem(std::shared_ptr<MixerSystem> system);

class ScopedMixerSystem {
public:
  explicit ScopedMixerSystem(std::shared_ptr<MixerSystem> system)
      : previous_(InstallMixerSystem(std::move(system))) {}
  ~ScopedMixerSystem() { InstallMixerSystem(previous_); }
  ScopedMixerSystem(const ScopedMixerSystem&) = delete;
  ScopedMixerSystem& operator=(const ScopedMixerSystem&) = delete;

private:
  std::shared_ptr<MixerSystem> previous_;
};

}  // namespace velk
