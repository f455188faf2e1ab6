#include "mixer/memory_mixer.h"

#include <algorithm>

namespace velk {

MemoryLine& MemoryMixerData::AddDestination(const std::string& name, int channels) {
  MemoryDestination destination;
  destination.line.line = {static_cast<int>(destinations.size()), 0, nextLine_++, channels, 0,
                           0, name};
  destinations.push_back(std::move(destination));
  return destinations.back().line;
}

MemoryLine& MemoryMixerData::AddSource(int destination, const std::string& name, int channels) {
  auto& sources = destinations.at(destination).sources;
  MemoryLine source;
  source.line = {destination, static_cast<int>(sources.size()), nextLine_++, channels, 0, 0, name};
  sources.push_back(std::move(source));
  return sources.back();
}

uint32_t MemoryMixerData::AddControl(MemoryLine& line, uint32_t type, uint32_t flags,
                                     std::vector<int32_t> values, int items) {
  MemoryControl control;
  control.control = {nextControl_++, type, flags, items, ""};
  control.values = std::move(values);
  line.controls.push_back(std::move(control));
  return line.controls.back().control.controlID;
}

MemoryControl* MemoryMixerData::Control(uint32_t controlID) {
  auto find = [controlID](MemoryLine& line) -> MemoryControl* {
    for (MemoryControl& control : line.controls)
      if (control.control.controlID == controlID) return &control;
    return nullptr;
  };
  for (MemoryDestination& destination : destinations) {
    if (MemoryControl* control = find(destination.line)) return control;
    for (MemoryLine& source : destination.sources)
      if (MemoryControl* control = find(source)) return control;
  }
  return nullptr;
}

namespace {

// The line record as the device reports it: counts follow the scripted lists.
TMixerLine Described(const MemoryLine& line, int connections) {
  TMixerLine result = line.line;
  result.controls = static_cast<int>(line.controls.size());
  result.connections = connections;
  return result;
}

}  // namespace

class MemoryMixerDevice : public MixerDevice {
public:
  MemoryMixerDevice(MemoryMixerSystem& system, std::shared_ptr<MemoryMixerData> data)
      : system_(system), data_(std::move(data)) {
    ++system_.openCount;
  }
  ~MemoryMixerDevice() override {
    --system_.openCount;
    system_.listeners_.erase(this);
  }

  TMixerCaps Caps() const override {
    return {static_cast<int>(data_->destinations.size()), data_->name};
  }

  bool DestinationInfo(int destination, TMixerLine& line) const override {
    if (destination < 0 || destination >= static_cast<int>(data_->destinations.size()))
      return false;
    const MemoryDestination& found = data_->destinations[destination];
    if (found.line.refused) return false;
    line = Described(found.line, static_cast<int>(found.sources.size()));
    return true;
  }

  bool SourceInfo(int destination, int source, TMixerLine& line) const override {
    if (destination < 0 || destination >= static_cast<int>(data_->destinations.size()))
      return false;
    const auto& sources = data_->destinations[destination].sources;
    if (source < 0 || source >= static_cast<int>(sources.size()) || sources[source].refused)
      return false;
    line = Described(sources[source], 0);
    return true;
  }

  bool LineControls(uint32_t lineID, std::vector<TMixerControl>& controls) const override {
    const MemoryLine* line = FindLine(lineID);
    if (!line || line->refuseControls) return false;
    controls.clear();
    for (const MemoryControl& control : line->controls) controls.push_back(control.control);
    return true;
  }

  bool GetDetails(uint32_t controlID, int channels, int items, int32_t* values) override {
    const MemoryControl* control = data_->Control(controlID);
    const int count = channels * std::max(items, 1);
    if (!control || control->failRead || count > kMaxControlValues) return false;
    for (int i = 0; i < count; ++i)
      values[i] = i < static_cast<int>(control->values.size()) ? control->values[i] : 0;
    return true;
  }

  bool SetDetails(uint32_t controlID, int channels, int items, const int32_t* values) override {
    MemoryControl* control = data_->Control(controlID);
    const int count = channels * std::max(items, 1);
    if (!control || count > kMaxControlValues) return false;
    if (static_cast<int>(control->values.size()) < count) control->values.resize(count);
    std::copy(values, values + count, control->values.begin());
    data_->writes.emplace_back(controlID, std::vector<int32_t>(values, values + count));
    return true;
  }

private:
  const MemoryLine* FindLine(uint32_t lineID) const {
    for (const MemoryDestination& destination : data_->destinations) {
      if (destination.line.line.lineID == lineID) return &destination.line;
      for (const MemoryLine& source : destination.sources)
        if (source.line.lineID == lineID) return &source;
    }
    return nullptr;
  }

  MemoryMixerSystem& system_;
  std::shared_ptr<MemoryMixerData> data_;
};

std::shared_ptr<MemoryMixerData> MemoryMixerSystem::AddDevice(const std::string& name) {
  devices.push_back(std::make_shared<MemoryMixerData>());
  devices.back()->name = name;
  return devices.back();
}

std::unique_ptr<MixerDevice> MemoryMixerSystem::Open(int device, MixerNotify onLineChange,
                                                     MixerNotify onControlChange) {
  if (device < 0 || device >= DeviceCount() || devices[device]->failOpen) return nullptr;
  auto opened_device = std::make_unique<MemoryMixerDevice>(*this, devices[device]);
  listeners_[opened_device.get()] = {devices[device].get(), opened_device->Handle(),
                                     std::move(onLineChange), std::move(onControlChange)};
  opened.push_back(device);
  return opened_device;
}

std::shared_ptr<MemoryMixerSystem> SilentMixerSystem() {
  auto system = std::make_shared<MemoryMixerSystem>();
  system->AddDevice("silent");
  return system;
}

void MemoryMixerSystem::NotifyLine(const MemoryMixerData& data, uint32_t lineID) {
  for (auto& [key, listener] : listeners_)
    if (listener.data == &data && listener.onLine) listener.onLine(listener.handle, lineID);
}

void MemoryMixerSystem::NotifyControl(const MemoryMixerData& data, uint32_t controlID) {
  for (auto& [key, listener] : listeners_)
    if (listener.data == &data && listener.onControl)
      listener.onControl(listener.handle, controlID);
}

}  // namespace velk
