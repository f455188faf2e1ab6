#include "mixer/alsa_mixer.h"

#include <alsa/asoundlib.h>

#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cstdarg>
#include <memory>
#include <utility>

namespace velk {

namespace {

// ALSA reports every failed probe on stderr; a missing card is normal here.
void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

constexpr long kScale = 65535;
constexpr int kRetryMilliseconds = 2000;

enum class Kind { PlaybackVolume, PlaybackMute, CaptureVolume, CaptureMute, CaptureMux };

struct AlsaControl {
  TMixerControl info;
  snd_mixer_elem_t* elem;
  Kind kind;
};

struct AlsaLine {
  TMixerLine info;
  snd_mixer_elem_t* elem = nullptr;  // null for a capture source (an enumeration item)
  std::vector<TMixerControl> controls;
};

struct AlsaDestination {
  AlsaLine line;
  std::vector<AlsaLine> sources;
};

snd_mixer_t* OpenMixer(const std::string& name) {
  snd_mixer_t* mixer = nullptr;
  if (snd_mixer_open(&mixer, 0) < 0) return nullptr;
  // Non-blocking, so that catching up with pending events never waits for one.
  snd_hctl_t* hctl = nullptr;
  if (snd_hctl_open(&hctl, name.c_str(), SND_CTL_NONBLOCK) < 0) {
    snd_mixer_close(mixer);
    return nullptr;
  }
  if (snd_mixer_attach_hctl(mixer, hctl) < 0 ||
      snd_mixer_selem_register(mixer, nullptr, nullptr) < 0 || snd_mixer_load(mixer) < 0) {
    snd_mixer_close(mixer);
    return nullptr;
  }
  return mixer;
}

bool IsPlayback(snd_mixer_elem_t* e) {
  return snd_mixer_selem_has_playback_volume(e) || snd_mixer_selem_has_playback_switch(e);
}
bool IsCapture(snd_mixer_elem_t* e) {
  return snd_mixer_selem_has_capture_volume(e) || snd_mixer_selem_has_capture_switch(e);
}

// The element called `preferred`, else the first that passes `test`.
snd_mixer_elem_t* Pick(const std::vector<snd_mixer_elem_t*>& elems, const char* preferred,
                       bool (*test)(snd_mixer_elem_t*)) {
  for (snd_mixer_elem_t* e : elems)
    if (test(e) && std::string(snd_mixer_selem_get_name(e)) == preferred) return e;
  for (snd_mixer_elem_t* e : elems)
    if (test(e)) return e;
  return nullptr;
}

snd_mixer_selem_channel_id_t Channel(int index) {
  return index == 0 ? SND_MIXER_SCHN_FRONT_LEFT : SND_MIXER_SCHN_FRONT_RIGHT;
}

int32_t Scaled(long raw, long min, long max) {
  if (max <= min) return 0;
  return static_cast<int32_t>(((raw - min) * kScale + (max - min) / 2) / (max - min));
}

long Raw(int32_t value, long min, long max) {
  const long v = std::clamp<long>(value, 0, kScale);
  return min + (v * (max - min) + kScale / 2) / kScale;
}

class AlsaMixerDevice : public MixerDevice {
public:
  AlsaMixerDevice(snd_mixer_t* mixer, std::string name, MixerNotify onLine,
                  MixerNotify onControl)
      : mixer_(mixer), name_(std::move(name)), onLine_(std::move(onLine)),
        onControl_(std::move(onControl)) {
    Build();
    Listen();
  }
  ~AlsaMixerDevice() override {
    notifiers_.clear();
    if (mixer_) snd_mixer_close(mixer_);
  }

  TMixerCaps Caps() const override { return {static_cast<int>(destinations_.size()), name_}; }

  bool DestinationInfo(int d, TMixerLine& line) const override {
    if (d < 0 || d >= static_cast<int>(destinations_.size())) return false;
    line = destinations_[d].line.info;
    return true;
  }

  bool SourceInfo(int d, int s, TMixerLine& line) const override {
    if (d < 0 || d >= static_cast<int>(destinations_.size())) return false;
    const auto& sources = destinations_[d].sources;
    if (s < 0 || s >= static_cast<int>(sources.size())) return false;
    line = sources[s].info;
    return true;
  }

  bool LineControls(uint32_t lineID, std::vector<TMixerControl>& controls) const override {
    for (const AlsaDestination& destination : destinations_) {
      const AlsaLine* found = destination.line.info.lineID == lineID ? &destination.line : nullptr;
      for (const AlsaLine& source : destination.sources)
        if (source.info.lineID == lineID) found = &source;
      if (found) {
        controls = found->controls;
        return true;
      }
    }
    return false;
  }

  bool GetDetails(uint32_t id, int channels, int items, int32_t* values) override {
    if (!Connected()) return false;
    const AlsaControl* control = Find(id);
    if (!control || channels * std::max(items, 1) > kMaxControlValues) return false;
    HandleEvents();  // ALSA answers from its copy, which only events bring up to date
    if (!mixer_) return false;  // it went away just now
    snd_mixer_elem_t* e = control->elem;
    long min = 0, max = 0, raw = 0;
    int sw = 0;
    unsigned item = 0;
    switch (control->kind) {
      case Kind::PlaybackVolume:
      case Kind::CaptureVolume: {
        const bool playback = control->kind == Kind::PlaybackVolume;
        (playback ? snd_mixer_selem_get_playback_volume_range
                  : snd_mixer_selem_get_capture_volume_range)(e, &min, &max);
        for (int c = 0; c < channels; ++c) {
          if ((playback ? snd_mixer_selem_get_playback_volume
                        : snd_mixer_selem_get_capture_volume)(e, Channel(c), &raw) < 0)
            return false;
          values[c] = Scaled(raw, min, max);
        }
        return true;
      }
      case Kind::PlaybackMute:
      case Kind::CaptureMute:
        for (int c = 0; c < channels; ++c) {
          if ((control->kind == Kind::PlaybackMute ? snd_mixer_selem_get_playback_switch
                                                   : snd_mixer_selem_get_capture_switch)(
                  e, Channel(c), &sw) < 0)
            return false;
          values[c] = sw ? 0 : 1;  // the switch is on when sound passes
        }
        return true;
      case Kind::CaptureMux:
        if (snd_mixer_selem_get_enum_item(e, SND_MIXER_SCHN_MONO, &item) < 0) return false;
        for (int c = 0; c < channels; ++c)
          for (int i = 0; i < std::max(items, 1); ++i)
            values[c * std::max(items, 1) + i] = static_cast<unsigned>(i) == item ? 1 : 0;
        return true;
    }
    return false;
  }

  bool SetDetails(uint32_t id, int channels, int items, const int32_t* values) override {
    if (!Connected()) return false;
    const AlsaControl* control = Find(id);
    if (!control || channels * std::max(items, 1) > kMaxControlValues) return false;
    snd_mixer_elem_t* e = control->elem;
    switch (control->kind) {
      case Kind::PlaybackVolume:
      case Kind::CaptureVolume:
        return SetVolume(e, control->kind == Kind::PlaybackVolume, channels, values);
      case Kind::PlaybackMute:
        return snd_mixer_selem_set_playback_switch_all(e, values[0] ? 0 : 1) >= 0;
      case Kind::CaptureMute:
        return snd_mixer_selem_set_capture_switch_all(e, values[0] ? 0 : 1) >= 0;
      case Kind::CaptureMux:
        // An enumeration always selects one item: with none chosen it stays as it is.
        for (int i = 0; i < std::max(items, 1); ++i)
          if (values[i]) return snd_mixer_selem_set_enum_item(e, SND_MIXER_SCHN_MONO, i) >= 0;
        return true;
    }
    return false;
  }

private:
  // One value for every channel, or the first for the front left channel and the second for
  // all the others.
  static bool SetVolume(snd_mixer_elem_t* e, bool playback, int channels,
                        const int32_t* values) {
    long min = 0, max = 0;
    (playback ? snd_mixer_selem_get_playback_volume_range
              : snd_mixer_selem_get_capture_volume_range)(e, &min, &max);
    if (channels == 1)
      return (playback ? snd_mixer_selem_set_playback_volume_all
                       : snd_mixer_selem_set_capture_volume_all)(e, Raw(values[0], min, max)) >= 0;
    for (int c = 0; c <= SND_MIXER_SCHN_LAST; ++c) {
      const auto channel = static_cast<snd_mixer_selem_channel_id_t>(c);
      const long raw = Raw(values[c == 0 ? 0 : 1], min, max);
      if (playback && snd_mixer_selem_has_playback_channel(e, channel))
        snd_mixer_selem_set_playback_volume(e, channel, raw);
      else if (!playback && snd_mixer_selem_has_capture_channel(e, channel))
        snd_mixer_selem_set_capture_volume(e, channel, raw);
    }
    return true;
  }

  const AlsaControl* Find(uint32_t id) const {
    return id >= 1 && id <= controls_.size() ? &controls_[id - 1] : nullptr;
  }

  void AddControl(AlsaLine& line, snd_mixer_elem_t* e, Kind kind, uint32_t type, bool uniform,
                  int items = 0) {
    uint32_t flags = uniform ? kControlUniform : 0;
    if (items > 0) flags |= kControlMultiple;
    if (!snd_mixer_selem_is_active(e)) flags |= kControlDisabled;
    TMixerControl info{static_cast<uint32_t>(controls_.size() + 1), type, flags, items,
                       snd_mixer_selem_get_name(e)};
    controls_.push_back({info, e, kind});
    line.controls.push_back(info);
  }

  AlsaLine MakeLine(snd_mixer_elem_t* e, bool playback, int destination, int source) {
    AlsaLine line;
    line.elem = e;
    const bool mono = playback ? snd_mixer_selem_is_playback_mono(e)
                               : snd_mixer_selem_is_capture_mono(e);
    line.info = {destination, source, nextLine_++, mono ? 1 : 2, 0, 0,
                 snd_mixer_selem_get_name(e)};
    if (playback) {
      if (snd_mixer_selem_has_playback_volume(e))
        AddControl(line, e, Kind::PlaybackVolume, kVolumeControl,
                   mono || snd_mixer_selem_has_playback_volume_joined(e));
      if (snd_mixer_selem_has_playback_switch(e))
        AddControl(line, e, Kind::PlaybackMute, kMuteControl,
                   mono || snd_mixer_selem_has_playback_switch_joined(e));
    } else {
      if (snd_mixer_selem_has_capture_volume(e))
        AddControl(line, e, Kind::CaptureVolume, kVolumeControl,
                   mono || snd_mixer_selem_has_capture_volume_joined(e));
      if (snd_mixer_selem_has_capture_switch(e))
        AddControl(line, e, Kind::CaptureMute, kMuteControl,
                   mono || snd_mixer_selem_has_capture_switch_joined(e));
    }
    line.info.controls = static_cast<int>(line.controls.size());
    return line;
  }

  void Build() {
    std::vector<snd_mixer_elem_t*> elems;
    for (snd_mixer_elem_t* e = snd_mixer_first_elem(mixer_); e; e = snd_mixer_elem_next(e))
      elems.push_back(e);
    if (snd_mixer_elem_t* master = Pick(elems, "Master", IsPlayback)) {
      AlsaDestination playback{MakeLine(master, true, 0, 0), {}};
      for (snd_mixer_elem_t* e : elems)
        if (e != master && IsPlayback(e))
          playback.sources.push_back(
              MakeLine(e, true, 0, static_cast<int>(playback.sources.size())));
      playback.line.info.connections = static_cast<int>(playback.sources.size());
      destinations_.push_back(std::move(playback));
    }
    if (snd_mixer_elem_t* capture = Pick(elems, "Capture", IsCapture)) {
      const int d = static_cast<int>(destinations_.size());
      AlsaDestination recording{MakeLine(capture, false, d, 0), {}};
      // The capture source enumeration chooses among the inputs: a multiplexer whose items
      // are the destination's sources.
      auto source = std::find_if(elems.begin(), elems.end(), [](snd_mixer_elem_t* e) {
        return snd_mixer_selem_is_enum_capture(e);
      });
      if (source != elems.end()) {
        const int items = std::min(snd_mixer_selem_get_enum_items(*source), kMaxControlValues);
        AddControl(recording.line, *source, Kind::CaptureMux, kMuxControl, true, items);
        for (int i = 0; i < items; ++i) {
          char name[64] = {};
          snd_mixer_selem_get_enum_item_name(*source, i, sizeof name - 1, name);
          AlsaLine input;
          input.info = {d, i, nextLine_++, 1, 0, 0, name};
          recording.sources.push_back(std::move(input));
        }
        recording.line.info.controls = static_cast<int>(recording.line.controls.size());
      }
      recording.line.info.connections = static_cast<int>(recording.sources.size());
      destinations_.push_back(std::move(recording));
    }
  }

  void Listen() {
    for (const AlsaControl& control : controls_) {
      snd_mixer_elem_set_callback(control.elem, &AlsaMixerDevice::ElemEvent);
      snd_mixer_elem_set_callback_private(control.elem, this);
    }
    const int count = snd_mixer_poll_descriptors_count(mixer_);
    if (count <= 0) return;
    std::vector<pollfd> fds(count);
    const int filled = snd_mixer_poll_descriptors(mixer_, fds.data(), count);
    for (int i = 0; i < filled; ++i) {
      const auto type = (fds[i].events & POLLOUT) && !(fds[i].events & POLLIN)
                            ? QSocketNotifier::Write
                            : QSocketNotifier::Read;
      auto notifier = std::make_unique<QSocketNotifier>(fds[i].fd, type);
      QObject::connect(notifier.get(), &QSocketNotifier::activated, [this] { HandleEvents(); });
      notifiers_.push_back(std::move(notifier));
    }
  }

  void HandleEvents() {
    if (handling_ || !mixer_) return;  // an event handler reading values: its caller is catching up
    handling_ = true;
    const int result = snd_mixer_handle_events(mixer_);
    handling_ = false;
    if (result < 0) Disconnect();
  }

  // The device went away (a sound server that stopped answers every poll at once, for ever):
  // stop listening and close it, then look for it again now and then.
  void Disconnect() {
    for (auto& notifier : notifiers_) {
      notifier->setEnabled(false);
      notifier.release()->deleteLater();  // this may run inside its own signal
    }
    notifiers_.clear();
    snd_mixer_close(mixer_);
    mixer_ = nullptr;
    if (!retry_) {
      retry_ = std::make_unique<QTimer>();
      retry_->setInterval(kRetryMilliseconds);
      QObject::connect(retry_.get(), &QTimer::timeout, [this] { Connected(); });
    }
    retry_->start();
  }

  // True when the device is open, reopening it when it went away and is back. Values and
  // lines may have changed meanwhile: everyone listening hears of every one.
  bool Connected() {
    if (mixer_) return true;
    mixer_ = OpenMixer(name_);
    if (!mixer_) return false;
    retry_->stop();
    destinations_.clear();
    controls_.clear();
    nextLine_ = 1;
    Build();
    Listen();
    for (const AlsaDestination& destination : destinations_) {
      if (onLine_) onLine_(Handle(), destination.line.info.lineID);
      for (const AlsaLine& source : destination.sources)
        if (onLine_) onLine_(Handle(), source.info.lineID);
    }
    for (const AlsaControl& control : controls_)
      if (onControl_) onControl_(Handle(), control.info.controlID);
    return true;
  }

  static int ElemEvent(snd_mixer_elem_t* e, unsigned int mask) {
    auto* self = static_cast<AlsaMixerDevice*>(snd_mixer_elem_get_callback_private(e));
    if (!self || mask == SND_CTL_EVENT_MASK_REMOVE) return 0;
    if (mask & SND_CTL_EVENT_MASK_INFO) self->LineEvent(e);
    if (mask & SND_CTL_EVENT_MASK_VALUE)
      for (const AlsaControl& control : self->controls_)
        if (control.elem == e && self->onControl_)
          self->onControl_(self->Handle(), control.info.controlID);
    return 0;
  }

  void LineEvent(snd_mixer_elem_t* e) {
    auto report = [&](const AlsaLine& line) {
      if (line.elem == e && onLine_) onLine_(Handle(), line.info.lineID);
    };
    for (const AlsaDestination& destination : destinations_) {
      report(destination.line);
      for (const AlsaLine& source : destination.sources) report(source);
    }
  }

  snd_mixer_t* mixer_;
  std::string name_;
  MixerNotify onLine_, onControl_;
  std::vector<AlsaDestination> destinations_;
  std::vector<AlsaControl> controls_;  // control id - 1
  std::vector<std::unique_ptr<QSocketNotifier>> notifiers_;
  std::unique_ptr<QTimer> retry_;  // while the device is away
  uint32_t nextLine_ = 1;
  bool handling_ = false;
};

}  // namespace

AlsaMixerSystem::Found AlsaMixerSystem::Look() {
  Found found;
  if (snd_mixer_t* mixer = OpenMixer("default")) {
    if (snd_mixer_get_count(mixer) > 0) {
      found.names.push_back("default");
      found.opened = mixer;
    } else {
      snd_mixer_close(mixer);
    }
  }
  for (int card = -1; snd_card_next(&card) >= 0 && card >= 0;)
    found.names.push_back("hw:" + std::to_string(card));
  return found;
}

AlsaMixerSystem::AlsaMixerSystem() {
  snd_lib_error_set_handler(&QuietAlsa);
  found_ = std::async(std::launch::async, &Look);
}

AlsaMixerSystem::~AlsaMixerSystem() {
  Names();  // waits for the look-up, so that a device it opened is closed
  if (opened_) snd_mixer_close(opened_);
}

const std::vector<std::string>& AlsaMixerSystem::Names() {
  if (enumerated_) return names_;
  enumerated_ = true;
  Found found = found_.get();
  names_ = std::move(found.names);
  opened_ = found.opened;
  return names_;
}

int AlsaMixerSystem::DeviceCount() { return static_cast<int>(Names().size()); }

std::unique_ptr<MixerDevice> AlsaMixerSystem::Open(int device, MixerNotify onLineChange,
                                                   MixerNotify onControlChange) {
  if (device < 0 || device >= DeviceCount()) return nullptr;
  snd_mixer_t* mixer = device == 0 && opened_ ? std::exchange(opened_, nullptr)
                                               : OpenMixer(names_[device]);
  if (!mixer) return nullptr;
  return std::make_unique<AlsaMixerDevice>(mixer, names_[device], std::move(onLineChange),
                                           std::move(onControlChange));
}

}  // namespace velk
