#include "mixer/audio_mixer.h"

#include <algorithm>
#include <array>

namespace velk {

namespace {

using Values = std::array<int32_t, kMaxControlValues>;

bool IsLevelControl(const TMixerControl& control) {
  return (control.type == kVolumeControl || control.type == kMuteControl) &&
         !(control.flags & kControlMultiple);
}

int ChannelsFor(const TMixerControl& control, const TMixerLine& line) {
  if (control.flags & kControlUniform) return 1;
  return std::clamp(line.channels, 1, kMaxControlValues);
}

int ItemsFor(const TMixerControl& control) {
  return (control.flags & kControlMultiple) ? std::max(control.items, 0) : 0;
}

bool FitsBuffer(int channels, int items) {
  return channels * std::max(items, 1) <= kMaxControlValues;
}

}  // namespace

TMixerControls::TMixerControls(MixerDevice& device, const TMixerLine& line) {
  if (line.controls <= 0) return;
  block_.reserve(line.controls);
  if (!device.LineControls(line.lineID, block_)) {
    block_.clear();
    return;
  }
  for (TMixerControl& control : block_) list_.Add(&control);
}

TMixerConnection::TMixerConnection(MixerDevice& device, const TMixerLine& line)
    : line_(line), controls_(std::make_unique<TMixerControls>(device, line_)) {}

TMixerConnections::TMixerConnections()
    : list_([](void* item, void*) { delete static_cast<TMixerConnection*>(item); }, nullptr) {}

TMixerDestination::TMixerDestination(MixerDevice& device, const TMixerLine& line)
    : line_(line), connections_(std::make_unique<TMixerConnections>()) {
  for (int s = 0; s < line_.connections; ++s) {
    TMixerLine source;
    if (device.SourceInfo(line_.destination, s, source))
      connections_->Add(std::make_unique<TMixerConnection>(device, source));
  }
  controls_ = std::make_unique<TMixerControls>(device, line_);
}

TMixerDestinations::TMixerDestinations(MixerDevice& device)
    : list_([](void* item, void*) { delete static_cast<TMixerDestination*>(item); }, nullptr) {
  const int count = device.Caps().destinations;
  for (int d = 0; d < count; ++d) {
    TMixerLine line;
    if (device.DestinationInfo(d, line)) list_.Add(new TMixerDestination(device, line));
  }
}

TAudioMixer::TAudioMixer(std::shared_ptr<MixerSystem> system) : system_(std::move(system)) {
  deviceCount_ = system_ ? system_->DeviceCount() : 0;
  mixerID_ = -1;
  SetMixerID(0);
}

TAudioMixer::~TAudioMixer() { Close(); }

void TAudioMixer::Close() {
  if (mixerID_ >= 0) mixerID_ = -1;
  destinations_.reset();
  device_.reset();
}

void TAudioMixer::SetMixerID(int n) {
  if (deviceCount_ == 0) return;
  if (n >= deviceCount_) n = deviceCount_ - 1;
  Close();
  if (n < 0) return;
  device_ = system_->Open(
      n,
      [this](uintptr_t handle, uint32_t id) {
        if (OnLineChange) OnLineChange(this, handle, id);
      },
      [this](uintptr_t handle, uint32_t id) {
        if (OnControlChange) OnControlChange(this, handle, id);
      });
  if (!device_) return;
  mixerID_ = n;
  caps_ = device_->Caps();
  destinations_ = std::make_unique<TMixerDestinations>(*device_);
}

bool TAudioMixer::FindLine(int destination, int connection, Line& found) const {
  if (!destinations_ || !device_) return false;
  TMixerDestination& owner = destinations_->Items(destination);
  if (connection == -1) {
    found = {&owner.Controls(), &owner.LineInfo(), &owner};
  } else {
    TMixerConnection& source = owner.Connections().Items(connection);
    found = {&source.Controls(), &source.LineInfo(), &owner};
  }
  return true;
}

const TMixerControl* TAudioMixer::ListControl(const TMixerControls& controls) {
  for (int i = 0; i < controls.Count(); ++i) {
    const TMixerControl& control = controls.Items(i);
    if (control.type == kMixerControl || control.type == kMuxControl) return &control;
  }
  return nullptr;
}

bool TAudioMixer::ReadVolume(int destination, int connection, int& left, int& right, int& mute,
                             bool& volumeDisabled, bool& muteDisabled) {
  Line found;
  if (!FindLine(destination, connection, found)) return false;
  left = right = mute = -1;
  const TMixerControls& controls = *found.controls;
  for (int i = 0; i < controls.Count() && (left == -1 || mute == -1); ++i) {
    const TMixerControl& control = controls.Items(i);
    if (!IsLevelControl(control)) continue;
    const int channels = ChannelsFor(control, *found.line);
    Values values{};
    if (!device_->GetDetails(control.controlID, channels, 0, values.data())) continue;
    const bool disabled = control.flags & kControlDisabled;
    if (control.type == kVolumeControl && left == -1 && !disabled) {
      left = values[0];
      if (channels > 1) right = values[1];
    } else if (control.type == kMuteControl && mute == -1 && !disabled) {
      mute = values[0] != 0 ? 1 : 0;
    }
  }
  // A source without a mute of its own: its selection in the destination's list stands in.
  if (mute == -1 && connection != -1) {
    const TMixerControls& own = found.destination->Controls();
    const TMixerLine& line = found.destination->LineInfo();
    for (int i = 0; i < own.Count() && mute == -1; ++i) {
      const TMixerControl& control = own.Items(i);
      if ((control.type & kMixerControl) != kMixerControl &&
          (control.type & kMuxControl) != kMuxControl)
        continue;
      const int channels = ChannelsFor(control, line), items = ItemsFor(control);
      Values values{};
      if (!FitsBuffer(channels, items) || connection >= channels * std::max(items, 1) ||
          !device_->GetDetails(control.controlID, channels, items, values.data()))
        continue;
      mute = values[connection];
    }
  }
  volumeDisabled = left == -1;
  muteDisabled = mute == -1;
  return true;
}

bool TAudioMixer::WriteVolume(int destination, int connection, int left, int right, int mute) {
  Line found;
  if (!FindLine(destination, connection, found)) return false;
  bool volumeDone = left == -1, muteDone = mute == -1;
  const TMixerControls& controls = *found.controls;
  for (int i = 0; i < controls.Count() && (!volumeDone || !muteDone); ++i) {
    const TMixerControl& control = controls.Items(i);
    if (!IsLevelControl(control)) continue;
    const int channels = ChannelsFor(control, *found.line);
    Values values{};
    if (control.type == kVolumeControl && !volumeDone) {
      // Channels past the second follow the right one.
      values.fill(right == -1 ? left : right);
      values[0] = left;
      device_->SetDetails(control.controlID, channels, 0, values.data());
      volumeDone = true;
    } else if (control.type == kMuteControl && !muteDone) {
      values.fill(mute);
      device_->SetDetails(control.controlID, channels, 0, values.data());
      muteDone = true;
    }
  }
  if (!muteDone && connection != -1) {
    if (const TMixerControl* control = ListControl(found.destination->Controls())) {
      const int channels = ChannelsFor(*control, found.destination->LineInfo());
      const int items = ItemsFor(*control);
      const int count = channels * std::max(items, 1);
      Values values{};
      if (FitsBuffer(channels, items) && connection < count) {
        device_->GetDetails(control->controlID, channels, items, values.data());
        if (control->type == kMuxControl) std::fill_n(values.begin(), count, 0);
        values[connection] = mute;
        device_->SetDetails(control->controlID, channels, items, values.data());
      }
    }
  }
  return true;
}

}  // namespace velk
