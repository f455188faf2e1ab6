#include "mixer/audio_mixer.h"

#include <gtest/gtest.h>

#include "mixer/memory_mixer.h"

namespace velk {
namespace {

// A sound card with a playback destination (stereo volume, mute) fed by "Wave" (uniform
// volume, own mute), "CD" (volume only) and "Midi" (volume only), and a recording
// destination with a multiplexer over "Mic" and "Line".
class AudioMixerTest : public ::testing::Test {
protected:
  AudioMixerTest() {
    card = system->AddDevice("card");
    MemoryLine& out = card->AddDestination("Speakers", 2);
    outVolume = card->AddControl(out, kVolumeControl, 0, {1000, 2000});
    outMute = card->AddControl(out, kMuteControl, kControlUniform, {0});
    MemoryLine& wave = card->AddSource(0, "Wave", 2);
    waveVolume = card->AddControl(wave, kVolumeControl, kControlUniform, {3000});
    waveMute = card->AddControl(wave, kMuteControl, kControlUniform, {1});
    card->AddControl(card->AddSource(0, "CD", 2), kVolumeControl, 0, {4000, 4100});
    card->AddControl(card->AddSource(0, "Midi", 2), kVolumeControl, 0, {5000, 5100});
    MemoryLine& in = card->AddDestination("Recording", 2);
    inMux = card->AddControl(in, kMuxControl, kControlUniform | kControlMultiple, {0, 1}, 2);
    card->AddSource(1, "Mic", 1);
    card->AddSource(1, "Line", 1);
  }

  std::unique_ptr<TAudioMixer> Open() { return std::make_unique<TAudioMixer>(system); }

  std::shared_ptr<MemoryMixerSystem> system = std::make_shared<MemoryMixerSystem>();
  std::shared_ptr<MemoryMixerData> card;
  uint32_t outVolume = 0, outMute = 0, waveVolume = 0, waveMute = 0, inMux = 0;
};

TEST_F(AudioMixerTest, MixerIdClampsReopensAndCloses) {
  system->AddDevice("second");
  system->AddDevice("third");
  auto mixer = Open();
  EXPECT_EQ(mixer->DeviceCount(), 3);
  EXPECT_EQ(mixer->MixerID(), 0);
  ASSERT_NE(mixer->Destinations(), nullptr);
  EXPECT_EQ(mixer->Caps().name, "card");

  mixer->SetMixerID(7);  // beyond the last: the last one
  EXPECT_EQ(mixer->MixerID(), 2);
  EXPECT_EQ(mixer->Caps().name, "third");
  EXPECT_EQ(system->openCount, 1);

  mixer->SetMixerID(-2);
  EXPECT_EQ(mixer->MixerID(), -1);
  EXPECT_EQ(mixer->Destinations(), nullptr);
  EXPECT_EQ(system->openCount, 0);
  int l = 7, r = 7, m = 7;
  bool vd = false, md = false;
  EXPECT_FALSE(mixer->ReadVolume(0, -1, l, r, m, vd, md));
  EXPECT_EQ(l, 7);  // untouched
  EXPECT_FALSE(mixer->WriteVolume(0, -1, 1, 1, 1));

  system->devices[1]->failOpen = true;
  mixer->SetMixerID(1);
  EXPECT_EQ(mixer->MixerID(), -1);
  mixer.reset();
  EXPECT_EQ(system->openCount, 0);
  EXPECT_EQ(system->opened, (std::vector<int>{0, 2}));
}

TEST_F(AudioMixerTest, NoDeviceStaysClosed) {
  auto empty = std::make_shared<MemoryMixerSystem>();
  TAudioMixer mixer(empty);
  EXPECT_EQ(mixer.DeviceCount(), 0);
  mixer.SetMixerID(0);
  EXPECT_EQ(mixer.MixerID(), -1);
  EXPECT_EQ(mixer.Destinations(), nullptr);
  TVolumeReading reading;
  EXPECT_FALSE(mixer.ReadVolume(0, -1, reading));
  EXPECT_FALSE(mixer.WriteVolume(0, -1, 5, 5, 0));
}

TEST_F(AudioMixerTest, ModelLeavesOutRefusedLinesAndChecksIndexes) {
  card->AddDestination("Refused", 2).refused = true;
  card->destinations[0].sources[1].refused = true;          // "CD"
  card->destinations[0].sources[2].refuseControls = true;   // "Midi"
  auto mixer = Open();
  TMixerDestinations& destinations = *mixer->Destinations();
  ASSERT_EQ(destinations.Count(), 2);
  EXPECT_EQ(destinations.Items(1).LineInfo().name, "Recording");
  TMixerConnections& sources = destinations.Items(0).Connections();
  ASSERT_EQ(sources.Count(), 2);
  EXPECT_EQ(sources.Items(0).LineInfo().name, "Wave");
  EXPECT_EQ(sources.Items(1).LineInfo().name, "Midi");
  EXPECT_EQ(sources.Items(1).Controls().Count(), 0);
  EXPECT_EQ(destinations.Items(0).Controls().Items(1).controlID, outMute);

  EXPECT_THROW(destinations.Items(2), EListError);
  EXPECT_THROW(sources.Items(-1), EListError);
  EXPECT_THROW(destinations.Items(0).Controls().Items(2), EListError);
  TVolumeReading reading;
  EXPECT_THROW(mixer->ReadVolume(5, -1, reading), EListError);
  EXPECT_THROW(mixer->WriteVolume(0, 2, 1, 1, 1), EListError);

  // A line whose controls were refused reads as offering nothing.
  EXPECT_TRUE(mixer->ReadVolume(0, 1, reading));
  EXPECT_EQ(reading.left, -1);
  EXPECT_TRUE(reading.volumeDisabled);
}

TEST_F(AudioMixerTest, ReadsStereoUniformAndDisabledVolumes) {
  auto mixer = Open();
  TVolumeReading out;
  ASSERT_TRUE(mixer->ReadVolume(0, -1, out));
  EXPECT_EQ(out.left, 1000);
  EXPECT_EQ(out.right, 2000);
  EXPECT_EQ(out.mute, 0);
  EXPECT_FALSE(out.volumeDisabled);
  EXPECT_FALSE(out.muteDisabled);

  TVolumeReading wave;
  ASSERT_TRUE(mixer->ReadVolume(0, 0, wave));
  EXPECT_EQ(wave.left, 3000);
  EXPECT_EQ(wave.right, -1);  // uniform: one value
  EXPECT_EQ(wave.mute, 1);

  card->Control(outVolume)->control.flags |= kControlDisabled;
  card->Control(outMute)->failRead = true;
  auto again = Open();
  ASSERT_TRUE(again->ReadVolume(0, -1, out));
  EXPECT_EQ(out.left, -1);
  EXPECT_TRUE(out.volumeDisabled);
  EXPECT_EQ(out.mute, -1);
  EXPECT_TRUE(out.muteDisabled);
}

TEST_F(AudioMixerTest, LaterVolumeControlStandsInWhenTheFirstCannotBeRead) {
  MemoryLine& line = card->destinations[0].sources[1];  // "CD"
  line.controls[0].failRead = true;
  card->AddControl(line, kVolumeControl, kControlUniform, {777});
  auto mixer = Open();
  TVolumeReading cd;
  ASSERT_TRUE(mixer->ReadVolume(0, 1, cd));
  EXPECT_EQ(cd.left, 777);
  EXPECT_EQ(cd.right, -1);
}

TEST_F(AudioMixerTest, SourceMuteComesFromTheDestinationsList) {
  auto mixer = Open();
  TVolumeReading mic, lineIn;
  ASSERT_TRUE(mixer->ReadVolume(1, 0, mic));
  ASSERT_TRUE(mixer->ReadVolume(1, 1, lineIn));
  EXPECT_EQ(mic.mute, 0);
  EXPECT_EQ(lineIn.mute, 1);
  EXPECT_FALSE(lineIn.muteDisabled);
  EXPECT_TRUE(lineIn.volumeDisabled);

  // "CD" has no mute and the playback destination no list.
  TVolumeReading cd;
  ASSERT_TRUE(mixer->ReadVolume(0, 1, cd));
  EXPECT_EQ(cd.mute, -1);
  EXPECT_TRUE(cd.muteDisabled);
  EXPECT_EQ(cd.left, 4000);
  EXPECT_EQ(cd.right, 4100);

  // The destination line itself never looks at its list.
  card->destinations[1].line.controls.clear();
  MemoryLine& in = card->destinations[1].line;
  card->AddControl(in, kMixerControl, kControlUniform | kControlMultiple, {1, 1}, 2);
  auto again = Open();
  TVolumeReading recording;
  ASSERT_TRUE(again->ReadVolume(1, -1, recording));
  EXPECT_EQ(recording.mute, -1);
  ASSERT_TRUE(again->ReadVolume(1, 0, mic));
  EXPECT_EQ(mic.mute, 1);
}

TEST_F(AudioMixerTest, WritesVolumesAndMutes) {
  auto mixer = Open();
  ASSERT_TRUE(mixer->WriteVolume(0, -1, 100, -1, 1));
  ASSERT_EQ(card->writes.size(), 2u);
  EXPECT_EQ(card->writes[0], (std::pair<uint32_t, std::vector<int32_t>>{outVolume, {100, 100}}));
  EXPECT_EQ(card->writes[1], (std::pair<uint32_t, std::vector<int32_t>>{outMute, {1}}));

  card->writes.clear();
  ASSERT_TRUE(mixer->WriteVolume(0, 0, 200, 300, -1));  // uniform: one value
  ASSERT_EQ(card->writes.size(), 1u);
  EXPECT_EQ(card->writes[0], (std::pair<uint32_t, std::vector<int32_t>>{waveVolume, {200}}));

  card->writes.clear();
  ASSERT_TRUE(mixer->WriteVolume(0, 0, -1, -1, 0));  // left -1: only the mute
  ASSERT_EQ(card->writes.size(), 1u);
  EXPECT_EQ(card->writes[0].first, waveMute);
  EXPECT_EQ(card->Control(waveVolume)->values[0], 200);

  card->writes.clear();
  ASSERT_TRUE(mixer->WriteVolume(0, 2, -1, -1, -1));  // nothing asked: nothing written
  ASSERT_TRUE(mixer->WriteVolume(0, 1, -1, -1, 1));   // no mute anywhere for "CD"
  EXPECT_TRUE(card->writes.empty());
}

TEST_F(AudioMixerTest, MultiplexerWriteSelectsOnlyThatSource) {
  card->AddSource(1, "Aux", 1);
  card->Control(inMux)->values = {1, 0, 1};  // as a driver might leave it
  card->Control(inMux)->control.items = 3;
  auto mixer = Open();
  ASSERT_TRUE(mixer->WriteVolume(1, 1, -1, -1, 1));
  EXPECT_EQ(card->Control(inMux)->values, (std::vector<int32_t>{0, 1, 0}));
  ASSERT_TRUE(mixer->WriteVolume(1, 1, -1, -1, 0));
  EXPECT_EQ(card->Control(inMux)->values, (std::vector<int32_t>{0, 0, 0}));

  // A mixer list keeps the other selections.
  card->Control(inMux)->control.type = kMixerControl;
  card->Control(inMux)->values = {1, 0, 0};
  auto list = Open();
  ASSERT_TRUE(list->WriteVolume(1, 2, -1, -1, 1));
  EXPECT_EQ(card->Control(inMux)->values, (std::vector<int32_t>{1, 0, 1}));
}

TEST_F(AudioMixerTest, NotificationsReachTheEventsUntilClosed) {
  auto mixer = Open();
  std::vector<std::tuple<TAudioMixer*, uintptr_t, uint32_t, char>> seen;
  mixer->OnControlChange = [&](TAudioMixer* s, uintptr_t h, uint32_t id) {
    seen.emplace_back(s, h, id, 'c');
  };
  mixer->OnLineChange = [&](TAudioMixer* s, uintptr_t h, uint32_t id) {
    seen.emplace_back(s, h, id, 'l');
  };
  const uintptr_t handle = mixer->Handle()->Handle();
  system->NotifyControl(*card, waveMute);
  system->NotifyLine(*card, 3);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], std::make_tuple(mixer.get(), handle, waveMute, 'c'));
  EXPECT_EQ(seen[1], std::make_tuple(mixer.get(), handle, 3u, 'l'));

  mixer->OnLineChange = nullptr;  // unassigned: skipped
  system->NotifyLine(*card, 3);
  mixer->Close();
  system->NotifyControl(*card, waveMute);
  EXPECT_EQ(seen.size(), 2u);
}

TEST(PointerListTest, ReleasesEveryItemInOrder) {
  std::vector<int> released;
  int items[3] = {1, 2, 3};
  {
    TPointerList list([](void* item, void* context) {
      static_cast<std::vector<int>*>(context)->push_back(*static_cast<int*>(item));
    }, &released);
    for (int& item : items) list.Add(&item);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    list.Add(&items[1]);
  }
  EXPECT_EQ(released, (std::vector<int>{1, 2, 3, 2}));
}

}  // namespace
}  // namespace velk
