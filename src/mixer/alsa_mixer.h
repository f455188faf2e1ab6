#pragma once
// The mixer devices of ALSA: the default device (when it has a mixer) and every sound card.
#include <future>
#include <string>
#include <vector>

#include "mixer/mixer_device.h"

typedef struct _snd_mixer snd_mixer_t;

namespace velk {

class AlsaMixerSystem : public MixerSystem {
public:
  // Starts looking for the devices on a thread of its own: opening them reads ALSA's
  // configuration, which takes a while, and start-up has other work meanwhile.
  AlsaMixerSystem();
  ~AlsaMixerSystem() override;
  int DeviceCount() override;
  std::unique_ptr<MixerDevice> Open(int device, MixerNotify onLineChange,
                                    MixerNotify onControlChange) override;
  // The ALSA names of the devices ("default", "hw:0", ...), as found when the system was made.
  const std::vector<std::string>& Names();

private:
  struct Found {
    std::vector<std::string> names;
    // The default device as the look-up opened it: the first to open that device takes it,
    // one opening less on the window thread (through a sound server, several round trips).
    snd_mixer_t* opened = nullptr;
  };
  static Found Look();

  std::future<Found> found_;
  std::vector<std::string> names_;
  snd_mixer_t* opened_ = nullptr;
  bool enumerated_ = false;
};

}  // namespace velk
