#pragma once
// The mixer devices of ALSA: the default device (when it has a mixer) and every sound card.
#include <future>
#include <string>
#include <vector>

#include "mixer/mixer_device.h"

namespace velk {

class AlsaMixerSystem : public MixerSystem {
public:
  // Starts looking for the devices on a thread of its own: opening them reads ALSA's
  // configuration, which takes a while, and start-up has other work meanwhile.
  AlsaMixerSystem();
  int DeviceCount() override;
  std::unique_ptr<MixerDevice> Open(int device, MixerNotify onLineChange,
                                    MixerNotify onControlChange) override;
  // The ALSA names of the devices ("default", "hw:0", ...), as found when the system was made.
  const std::vector<std::string>& Names();

private:
  std::future<std::vector<std::string>> found_;
  std::vector<std::string> names_;
  bool enumerated_ = false;
};

}  // namespace velk
