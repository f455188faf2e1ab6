#include "options/volume_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSlider>
#include <gtest/gtest.h>

#include "mixer/memory_mixer.h"
#include "mixer/mixer_systems.h"
#include "options/fake_options_host.h"
#include "options/options_form.h"
#include "platform/dialogs.h"
#include "support/temp_dir.h"

namespace velk {
namespace {

using Write = std::pair<uint32_t, std::vector<int32_t>>;

// A card laid out as the page expects: "Speakers" fed by Synth, Wave, Line, CD and Midi.
class VolumePageTest : public ::testing::Test {
protected:
  VolumePageTest() {
    host.settings.SetFirstRunDefaults(folder);
    card = system->AddDevice("card");
    MemoryLine& out = card->AddDestination("Speakers", 2);
    mainVolume = card->AddControl(out, kVolumeControl, 0, {40000, 40000});
    mainMute = card->AddControl(out, kMuteControl, kControlUniform, {1});
    card->AddSource(0, "Synth", 2);
    MemoryLine& wave = card->AddSource(0, "Wave", 2);
    waveVolume = card->AddControl(wave, kVolumeControl, kControlUniform, {5535});
    waveMute = card->AddControl(wave, kMuteControl, kControlUniform, {0});
    card->AddSource(0, "Line", 2);
    card->AddControl(card->AddSource(0, "CD", 2), kVolumeControl, 0, {100, 200});
    card->AddSource(0, "Midi", 2);
    card->AddDestination("Recording", 1);
  }
  std::unique_ptr<TOptions> Create() { return std::make_unique<TOptions>(host, folder); }

  ScopedScriptedDialogs dialogs;
  std::shared_ptr<MemoryMixerSystem> system = std::make_shared<MemoryMixerSystem>();
  ScopedMixerSystem installed{system};
  test::FakeOptionsHost host;
  test::TempDir dir;
  std::string folder = dir.Path() + "/";
  std::shared_ptr<MemoryMixerData> card;
  uint32_t mainVolume = 0, mainMute = 0, waveVolume = 0, waveMute = 0;
};

TEST_F(VolumePageTest, SetupFillsTheBoxesAndShowsEveryLine) {
  auto options = Create();
  TVolumePage& page = *options->VolumePage;
  EXPECT_TRUE(dialogs->messages.empty());
  EXPECT_EQ(page.Mixer->MixerID(), 0);
  EXPECT_EQ(system->openCount, 1);
  ASSERT_EQ(page.categoryBox->count(), 2);
  EXPECT_EQ(page.categoryBox->itemText(1), "Recording");
  ASSERT_EQ(page.deviceBox->count(), 6);
  EXPECT_EQ(page.deviceBox->itemText(0), "Speakers");
  EXPECT_EQ(page.deviceBox->itemText(5), "Midi");

  // "Main" is seen; the others exist out of sight.
  EXPECT_EQ(options->FindComponent("trackbar951"), page.lineSliders[0]);
  EXPECT_TRUE(page.lineSliders[0]->isVisibleTo(options->Panels[2]));
  EXPECT_FALSE(page.MuteBoxes[0]->isVisibleTo(options->Panels[2]));
  EXPECT_GE(page.lineSliders[1]->x(), options->Panels[2]->width());

  EXPECT_EQ(page.lineSliders[0]->value(), 65535 - 40000);
  EXPECT_TRUE(page.MuteBoxes[0]->isChecked());
  EXPECT_EQ(page.lineSliders[1]->value(), 60000);  // Wave
  EXPECT_TRUE(page.MuteBoxes[1]->isEnabled());
  EXPECT_FALSE(page.MuteBoxes[1]->isChecked());
  EXPECT_TRUE(page.lineSliders[2]->isEnabled());  // CD: a volume, no mute
  EXPECT_EQ(page.lineSliders[2]->value(), 65535 - 100);
  EXPECT_FALSE(page.MuteBoxes[2]->isEnabled());
  EXPECT_FALSE(page.lineSliders[3]->isEnabled());  // Midi: nothing
  EXPECT_FALSE(page.MuteBoxes[3]->isEnabled());
  // The refresh writes nothing but the mute it found.
  for (const Write& write : card->writes) EXPECT_EQ(write, (Write{mainMute, {1}}));
}

TEST_F(VolumePageTest, UserChangesWriteDestinationZero) {
  auto options = Create();
  TVolumePage& page = *options->VolumePage;
  card->writes.clear();
  page.lineSliders[0]->setValue(65535 - 30000);  // moving the slider also unmutes
  EXPECT_EQ(card->writes, (std::vector<Write>{{mainVolume, {30000, 30000}}, {mainMute, {0}}}));

  // A page step (track click, Page Up/Down, wheel) moves a twentieth, an arrow a hundredth.
  card->writes.clear();
  page.lineSliders[0]->triggerAction(QAbstractSlider::SliderPageStepSub);
  page.lineSliders[0]->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(card->writes, (std::vector<Write>{{mainVolume, {33276, 33276}}, {mainMute, {0}},
                                              {mainVolume, {32621, 32621}}, {mainMute, {0}}}));

  card->writes.clear();
  page.MuteBoxes[1]->setChecked(true);
  EXPECT_EQ(card->writes, (std::vector<Write>{{waveMute, {1}}}));

  card->writes.clear();
  page.volumeSlider->setValue(65535);  // volumeSlider is line 0, "Synth": no controls
  EXPECT_TRUE(card->writes.empty());

  // A change made elsewhere shows at the next refresh.
  card->Control(waveVolume)->values = {20000};
  page.OnDeviceChanged();
  EXPECT_EQ(page.lineSliders[1]->value(), 45535);
  EXPECT_TRUE(page.MuteBoxes[1]->isChecked());
}

TEST_F(VolumePageTest, MissingLinesDisableTheirControls) {
  card->destinations[0].sources.resize(2);  // only Synth and Wave
  auto options = Create();
  TVolumePage& page = *options->VolumePage;
  EXPECT_TRUE(page.lineSliders[1]->isEnabled());
  EXPECT_FALSE(page.lineSliders[2]->isEnabled());
  EXPECT_FALSE(page.MuteBoxes[3]->isEnabled());
  page.lineSliders[3]->setValue(5);  // a line that does not exist is not written
}

TEST_F(VolumePageTest, NoMixerShowsTheMessageAndDisablesTheSliders) {
  system->devices.clear();
  auto options = Create();
  TVolumePage& page = *options->VolumePage;
  ASSERT_EQ(dialogs->messages.size(), 1u);
  EXPECT_EQ(dialogs->messages[0].kind, MessageKind::Error);
  EXPECT_EQ(dialogs->messages[0].text, "No mixer present in the system !");
  EXPECT_EQ(dialogs->messages[0].buttons, MessageButtons::Ok);
  for (QSlider* slider : page.lineSliders) EXPECT_FALSE(slider->isEnabled());
  EXPECT_FALSE(page.volumeSlider->isEnabled());
  EXPECT_EQ(page.categoryBox->count(), 0);
  // The dialog goes on with its creation and opens on the page.
  EXPECT_EQ(host.settings.Grey, options->greyBox->isChecked());
  options->ShowPage(3);
  EXPECT_TRUE(options->Panels[2]->isVisible());
}

TEST_F(VolumePageTest, MixerThatWillNotOpenLeavesThePageInert) {
  card->failOpen = true;
  auto options = Create();
  TVolumePage& page = *options->VolumePage;
  EXPECT_TRUE(dialogs->messages.empty());
  EXPECT_EQ(page.Mixer->MixerID(), -1);
  EXPECT_FALSE(page.lineSliders[0]->isEnabled());
  page.lineSliders[0]->setValue(1);  // no device: nothing happens
  page.MuteBoxes[0]->setChecked(true);
}

}  // namespace
}  // namespace velk
