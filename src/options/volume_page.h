#pragma once
// The Volume page of the options dialog: the master volume slider over the mixer's first
// destination, and the further volume controls the dialog keeps, out of sight, in step
// with the mixer.
#include <QObject>
#include <array>
#include <memory>

#include "mixer/audio_mixer.h"

class QCheckBox;
class QComboBox;
class QSlider;
class QWidget;

namespace velk {

class TOptions;

class TVolumePage : public QObject {
  Q_OBJECT
public:
  // Makes the page's controls on `page` and opens mixer 0 of the installed mixer system.
  TVolumePage(TOptions& options, QWidget* page);
  ~TVolumePage() override;

  // Run by the dialog's creation.
  void Setup();
  void OnCategoryChanged();
  void OnDeviceChanged();
  void OnSliderMoved(QSlider* slider);
  void checkboxclick(QCheckBox* box);

  std::unique_ptr<TAudioMixer> Mixer;
  QComboBox* categoryBox = nullptr;  // device category (destinations)
  QComboBox* deviceBox = nullptr;  // device (the destination and its sources)
  QSlider* volumeSlider = nullptr;
  QCheckBox* muteBox = nullptr;
  std::array<QSlider*, 4> lineSliders{};  // "TrackBar951" .. "TrackBar954"
  std::array<QCheckBox*, 4> MuteBoxes{};  // "CheckBox7" .. "CheckBox10"

private:
  void DisableVolumeControls();

  TOptions& options_;
};

}  // namespace velk
