#pragma once
// A mixer system held in memory: scripted devices, lines, controls and values. Tests drive
// the mixer model with it instead of a sound card.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "mixer/mixer_device.h"

namespace velk {

struct MemoryControl {
  TMixerControl control;
  std::vector<int32_t> values;  // channels * max(items, 1)
  bool failRead = false;
};

struct MemoryLine {
  TMixerLine line;
  std::vector<MemoryControl> controls;
  bool refused = false;          // the device will not describe the line
  bool refuseControls = false;   // nor list its controls
};

struct MemoryDestination {
  MemoryLine line;
  std::vector<MemoryLine> sources;
};

struct MemoryMixerData {
  std::string name;
  bool failOpen = false;
  std::vector<MemoryDestination> destinations;
  // Every successful write: control id and the values passed.
  std::vector<std::pair<uint32_t, std::vector<int32_t>>> writes;

  MemoryLine& AddDestination(const std::string& name, int channels);
  MemoryLine& AddSource(int destination, const std::string& name, int channels);
  // Returns the new control's id.
  uint32_t AddControl(MemoryLine& line, uint32_t type, uint32_t flags,
                      std::vector<int32_t> values, int items = 0);
  MemoryControl* Control(uint32_t controlID);

private:
  uint32_t nextLine_ = 1;
  uint32_t nextControl_ = 1;
};

class MemoryMixerSystem : public MixerSystem {
public:
  std::shared_ptr<MemoryMixerData> AddDevice(const std::string& name);

  int DeviceCount() override { return static_cast<int>(devices.size()); }
  std::unique_ptr<MixerDevice> Open(int device, MixerNotify onLineChange,
                                    MixerNotify onControlChange) override;

  // Raises a notification on every open device of the scripted data.
  void NotifyLine(const MemoryMixerData& data, uint32_t lineID);
  void NotifyControl(const MemoryMixerData& data, uint32_t controlID);

  std::vector<std::shared_ptr<MemoryMixerData>> devices;
  std::vector<int> opened;  // device indexes in the order they were opened
  int openCount = 0;        // devices open now

private:
  friend class MemoryMixerDevice;
  struct Listener {
    const MemoryMixerData* data;
    uintptr_t handle;
    MixerNotify onLine, onControl;
  };
  std::map<const void*, Listener> listeners_;
};

// One device without lines: a mixer is present, with nothing on it.
std::shared_ptr<MemoryMixerSystem> SilentMixerSystem();

}  // namespace velk
