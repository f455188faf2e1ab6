#include "options/volume_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSignalBlocker>
#include <QSlider>

#include "mixer/mixer_systems.h"
#include "options/named_control.h"
#include "options/options_form.h"
#include "platform/dialogs.h"

namespace velk {

namespace {

constexpr int kMax = 65535;

// A control's line through the mixer: its tag minus 1, -1 being the destination line.
int LineOf(const QObject* control) { return control->property("Tag").toInt() - 1; }

QSlider* VolumeSlider(QWidget* page, const char* name, const QRect& geometry, int tag,
                      Qt::Orientation orientation, const char* hint) {
  auto* slider = NamedControl<QSlider>(page, name, geometry);
  slider->setOrientation(orientation);
  // Position 0 at the top, as the volume is shown as 65535 minus the position: full volume
  // sits at the top end and the Up key raises it.
  slider->setInvertedAppearance(orientation == Qt::Vertical);
  slider->setInvertedControls(orientation == Qt::Vertical);
  slider->setRange(0, kMax);
  slider->setTickInterval(6553);
  // Clicks on the track, Page Up/Down and the wheel move by a twentieth, arrows by a hundredth.
  slider->setPageStep(kMax / 20);
  slider->setSingleStep(kMax / 100);
  slider->setTickPosition(orientation == Qt::Vertical ? QSlider::TicksBothSides
                                                      : QSlider::TicksBelow);
  slider->setProperty("Tag", tag);
  if (*hint) slider->setToolTip(hint);
  return slider;
}

QCheckBox* MuteBox(QWidget* page, const char* name, const QRect& geometry, int tag,
                   const char* hint) {
  auto* box = NamedControl<QCheckBox>(page, name, geometry);
  box->setText("Mute");
  box->setToolTip(hint);
  box->setProperty("Tag", tag);
  return box;
}

}  // namespace

void TOptions::BuildVolumePage() { VolumePage = new TVolumePage(*this, Panels[2]); }

TVolumePage::TVolumePage(TOptions& options, QWidget* page) : QObject(&options), options_(options) {
  Caption(page, "Label5", "Main", QRect(16, 8, 40, 16));
  lineSliders[0] = VolumeSlider(page, "TrackBar951", QRect(16, 28, 40, 220), 0, Qt::Vertical, "");

  // The rest lies past the page's right edge (the page is 325 wide) or is hidden.
  categoryBox = NamedControl<QComboBox>(page, "ComboBox1", QRect(340, 8, 150, 22));
  categoryBox->setToolTip("Select Device Category");
  deviceBox = NamedControl<QComboBox>(page, "ComboBox2", QRect(340, 36, 150, 22));
  deviceBox->setToolTip("Select Device");
  Caption(page, "Label9", "Volume:", QRect(340, 64, 60, 16));
  volumeSlider = VolumeSlider(page, "TrackBar1", QRect(340, 82, 150, 30), 1, Qt::Horizontal, "");
  muteBox = MuteBox(page, "CheckBox", QRect(340, 116, 80, 20), 1, "Mute Sound");
  muteBox->setEnabled(false);
  static const char* const kLabels[][3] = {{"Label6", "Wave", "Wave device volume"},
                                           {"Label7", "CD", "CD volume"},
                                           {"Label8", "Midi", "MIDI volume"}};
  static const int kTags[] = {0, 2, 4, 5};
  for (int n = 1; n < 4; ++n) {
    const int x = 340 + (n - 1) * 50;
    Caption(page, kLabels[n - 1][0], kLabels[n - 1][1], QRect(x, 140, 40, 16));
    const QByteArray name = "TrackBar95" + QByteArray::number(n + 1);
    lineSliders[n] = VolumeSlider(page, name.constData(), QRect(x, 158, 40, 90), kTags[n],
                                 Qt::Vertical, kLabels[n - 1][2]);
  }
  static const char* const kHints[] = {"Mute all", "Mute wave device", "Mute CD player",
                                       "Mute MIDI player"};
  for (int n = 0; n < 4; ++n) {
    const QByteArray name = "CheckBox" + QByteArray::number(n + 7);
    MuteBoxes[n] = MuteBox(page, name.constData(), QRect(16 + n * 60, 250, 56, 20), kTags[n],
                           kHints[n]);
    MuteBoxes[n]->hide();
  }

  connect(categoryBox, &QComboBox::activated, this, &TVolumePage::OnCategoryChanged);
  connect(deviceBox, &QComboBox::activated, this, &TVolumePage::OnDeviceChanged);
  for (QSlider* slider :
       {volumeSlider, lineSliders[0], lineSliders[1], lineSliders[2], lineSliders[3]})
    connect(slider, &QSlider::valueChanged, this, [this, slider] { OnSliderMoved(slider); });
  for (QCheckBox* box : MuteBoxes)
    connect(box, &QCheckBox::toggled, this, [this, box] { checkboxclick(box); });

  Mixer = std::make_unique<TAudioMixer>(SystemMixers());
  Mixer->SetMixerID(0);  // as designed: closes and reopens the first mixer
}

TVolumePage::~TVolumePage() = default;

void TVolumePage::DisableVolumeControls() {
  for (QSlider* slider :
       {volumeSlider, lineSliders[0], lineSliders[1], lineSliders[2], lineSliders[3]})
    slider->setEnabled(false);
}

void TVolumePage::Setup() {
  if (Mixer->DeviceCount() < 1) {
    categoryBox->disconnect(this);
    deviceBox->disconnect(this);
    DisableVolumeControls();
    AppDialogs().ShowError("No mixer present in the system !");
    return;
  }
  // A mixer that would not open leaves the page inert rather than failing.
  if (!Mixer->Destinations()) {
    DisableVolumeControls();
    for (QCheckBox* box : MuteBoxes) box->setEnabled(false);
    return;
  }
  categoryBox->clear();
  const TMixerDestinations& destinations = *Mixer->Destinations();
  for (int d = 0; d < destinations.Count(); ++d)
    categoryBox->addItem(QString::fromStdString(destinations.Items(d).LineInfo().name));
  if (categoryBox->count() > 0) {
    categoryBox->setCurrentIndex(0);
    OnCategoryChanged();
  }
}

void TVolumePage::OnCategoryChanged() {
  deviceBox->clear();
  const int selected = categoryBox->currentIndex();
  if (!Mixer->Destinations() || selected < 0 || selected >= Mixer->Destinations()->Count())
    return;
  const TMixerDestination& destination = Mixer->Destinations()->Items(selected);
  deviceBox->addItem(QString::fromStdString(destination.LineInfo().name));
  for (int s = 0; s < destination.Connections().Count(); ++s)
    deviceBox->addItem(
        QString::fromStdString(destination.Connections().Items(s).LineInfo().name));
  if (deviceBox->count() > 0) {
    deviceBox->setCurrentIndex(0);
    OnDeviceChanged();
  }
}

void TVolumePage::OnDeviceChanged() {
  for (int n = 1; n <= 4; ++n) {
    auto* slider = qobject_cast<QSlider*>(options_.FindComponent(QString("TrackBar95%1").arg(n)));
    auto* box = qobject_cast<QCheckBox*>(options_.FindComponent(QString("Checkbox%1").arg(n + 6)));
    if (!slider || !box) continue;
    TVolumeReading reading;
    try {
      Mixer->ReadVolume(categoryBox->currentIndex(), LineOf(slider), reading);
    } catch (const EListError&) {
      reading = {};  // a line this mixer lacks: both controls disabled
    }
    slider->setEnabled(reading.left != -1);
    if (slider->isEnabled()) {
      const QSignalBlocker quiet(slider);  // a position set by program is no user's move
      slider->setValue(kMax - reading.left);
    }
    box->setEnabled(reading.mute != -1);
    if (box->isEnabled()) box->setChecked(reading.mute != 0);
  }
}

void TVolumePage::OnSliderMoved(QSlider* slider) {
  try {
    Mixer->WriteVolume(0, LineOf(slider), kMax - slider->value(), -1, 0);
  } catch (const EListError&) {
  }
}

void TVolumePage::checkboxclick(QCheckBox* box) {
  try {
    Mixer->WriteVolume(0, LineOf(box), -1, -1, box->isChecked() ? 1 : 0);
  } catch (const EListError&) {
  }
}

}  // namespace velk
