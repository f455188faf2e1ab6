#pragma once
// The model of one mixer device: its destination lines, the source lines feeding each, and
// every line's controls, built once when the device opens. Reads and writes the volume and
// mute of any line and passes the device's change notifications on as events.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "mixer/mixer_device.h"
#include "mixer/pointer_list.h"

namespace velk {

class TAudioMixer;

// Sender, the mixer handle of the notification, and the line or control id.
using TMixerChange = std::function<void(TAudioMixer* Sender, uintptr_t MixerH, uint32_t ID)>;

// A line's control records, in the device's order; empty when the device refused the list.
class TMixerControls {
public:
  TMixerControls(MixerDevice& device, const TMixerLine& line);
  int Count() const { return list_.Count(); }
  const TMixerControl& Items(int index) const {
    return *static_cast<const TMixerControl*>(list_.Items(index));
  }

private:
  std::vector<TMixerControl> block_;  // owns the records; the list points into it
  TPointerList list_;
};

class TMixerConnection {
public:
  TMixerConnection(MixerDevice& device, const TMixerLine& line);
  const TMixerLine& LineInfo() const { return line_; }
  TMixerControls& Controls() const { return *controls_; }

private:
  TMixerLine line_;
  std::unique_ptr<TMixerControls> controls_;
};

class TMixerConnections {
public:
  TMixerConnections();
  int Count() const { return list_.Count(); }
  TMixerConnection& Items(int index) const {
    return *static_cast<TMixerConnection*>(list_.Items(index));
  }
  void Add(std::unique_ptr<TMixerConnection> connection) { list_.Add(connection.release()); }

private:
  TPointerList list_;
};

class TMixerDestination {
public:
  TMixerDestination(MixerDevice& device, const TMixerLine& line);
  const TMixerLine& LineInfo() const { return line_; }
  TMixerConnections& Connections() const { return *connections_; }
  TMixerControls& Controls() const { return *controls_; }

private:
  TMixerLine line_;
  std::unique_ptr<TMixerConnections> connections_;
  std::unique_ptr<TMixerControls> controls_;
};

class TMixerDestinations {
public:
  explicit TMixerDestinations(MixerDevice& device);
  int Count() const { return list_.Count(); }
  TMixerDestination& Items(int index) const {
    return *static_cast<TMixerDestination*>(list_.Items(index));
  }

private:
  TPointerList list_;
};

struct TVolumeReading {
  int left = -1, right = -1, mute = -1;
  bool volumeDisabled = true, muteDisabled = true;
};

class TAudioMixer {
public:
  // Takes the device count from the system once, then opens device 0 when there is one.
  explicit TAudioMixer(std::shared_ptr<MixerSystem> system);
  ~TAudioMixer();
  TAudioMixer(const TAudioMixer&) = delete;
  TAudioMixer& operator=(const TAudioMixer&) = delete;

  int MixerID() const { return mixerID_; }
  void SetMixerID(int n);
  int DeviceCount() const { return deviceCount_; }
  MixerDevice* Handle() const { return device_.get(); }
  const TMixerCaps& Caps() const { return caps_; }
  TMixerDestinations* Destinations() const { return destinations_.get(); }
  void Close();

  // connection -1 is the destination line itself. False when nothing is open or the line
  // has no control list; an index outside its list raises EListError.
  bool ReadVolume(int destination, int connection, int& left, int& right, int& mute,
                  bool& volumeDisabled, bool& muteDisabled);
  bool ReadVolume(int destination, int connection, TVolumeReading& reading) {
    return ReadVolume(destination, connection, reading.left, reading.right, reading.mute,
                      reading.volumeDisabled, reading.muteDisabled);
  }
  // -1 leaves a value unchanged; a right of -1 takes left's value.
  bool WriteVolume(int destination, int connection, int left, int right, int mute);

  TMixerChange OnLineChange;
  TMixerChange OnControlChange;

private:
  struct Line {
    TMixerControls* controls;
    const TMixerLine* line;
    TMixerDestination* destination;
  };
  bool FindLine(int destination, int connection, Line& found) const;
  // The first control whose type is exactly the multiplexer or the mixer list, or null.
  static const TMixerControl* ListControl(const TMixerControls& controls);

  std::shared_ptr<MixerSystem> system_;
  std::unique_ptr<MixerDevice> device_;
  std::unique_ptr<TMixerDestinations> destinations_;
  TMixerCaps caps_;
  int deviceCount_ = 0;
  int mixerID_ = -1;
};

}  // namespace velk
