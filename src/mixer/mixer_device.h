#pragma once
// The mixer device interface the audio mixer model talks to. It follows the shape of the
// classic platform mixer: devices with destination lines, source lines feeding them, and
// controls whose details are read and written as 32-bit values. Implementations: ALSA for
// the program, an in-memory device for tests.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velk {

// Control types and flags, with the platform mixer's values.
inline constexpr uint32_t kVolumeControl = 0x50030001;
inline constexpr uint32_t kMuteControl = 0x20010002;
inline constexpr uint32_t kMuxControl = 0x70010001;    // single-select list
inline constexpr uint32_t kMixerControl = 0x71010001;  // multiple-select list
inline constexpr uint32_t kControlUniform = 0x00000001;
inline constexpr uint32_t kControlMultiple = 0x00000002;
inline constexpr uint32_t kControlDisabled = 0x80000000;

// A read or write carries at most this many values (channels times items).
inline constexpr int kMaxControlValues = 31;

struct TMixerCaps {
  int destinations = 0;
  std::string name;
};

struct TMixerLine {
  int destination = 0;
  int source = 0;
  uint32_t lineID = 0;
  int channels = 1;
  int connections = 0;
  int controls = 0;
  std::string name;  // long name
};

struct TMixerControl {
  uint32_t controlID = 0;
  uint32_t type = 0;
  uint32_t flags = 0;
  int items = 0;
  std::string name;
};

// Called on the user-interface thread with the device's handle and the line or control id.
using MixerNotify = std::function<void(uintptr_t handle, uint32_t id)>;

// One open mixer device.
class MixerDevice {
public:
  virtual ~MixerDevice() = default;
  virtual uintptr_t Handle() const { return reinterpret_cast<uintptr_t>(this); }
  virtual TMixerCaps Caps() const = 0;
  virtual bool DestinationInfo(int destination, TMixerLine& line) const = 0;
  virtual bool SourceInfo(int destination, int source, TMixerLine& line) const = 0;
  // All controls of a line in the device's order; false when the line is refused.
  virtual bool LineControls(uint32_t lineID, std::vector<TMixerControl>& controls) const = 0;
  // channels * max(items, 1) values, channel-major as the platform lays them out.
  virtual bool GetDetails(uint32_t controlID, int channels, int items, int32_t* values) = 0;
  virtual bool SetDetails(uint32_t controlID, int channels, int items,
                          const int32_t* values) = 0;
};

// The system's mixer devices.
class MixerSystem {
public:
  virtual ~MixerSystem() = default;
  virtual int DeviceCount() = 0;
  // Null when the device will not open. The callbacks fire while the device lives.
  virtual std::unique_ptr<MixerDevice> Open(int device, MixerNotify onLineChange,
                                            MixerNotify onControlChange) = 0;
};

}  // namespace velk
