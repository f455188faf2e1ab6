#pragma once
// The mixer devices of ALSA: the default device (when it has a mixer) and every sound card.
#include <string>
#include <vector>

#include "mixer/mixer_device.h"

namespace velk {

class AlsaMixerSystem : public MixerSystem {
public:
  AlsaMixerSystem();
  int DeviceCount() override;
  std::unique_ptr<MixerDevice> Open(int device, MixerNotify onLineChange,
                                    MixerNotify onControlChange) override;
  // The ALSA names of the devices ("default", "hw:0", ...), found at the first count.
  const std::vector<std::string>& Names();

private:
  std::vector<std::string> names_;
  bool enumerated_ = false;
};

}  // namespace velk
