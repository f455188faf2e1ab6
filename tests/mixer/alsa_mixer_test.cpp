// Runs under with_pulseaudio.sh: ALSA's default device is a private PulseAudio's null sink.
#include "mixer/alsa_mixer.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSlider>
#include <QTimer>
#include <sys/resource.h>

#include <cstdio>
#include <functional>
#include <gtest/gtest.h>

#include "mixer/audio_mixer.h"
#include "mixer/mixer_systems.h"
#include "options/fake_options_host.h"
#include "options/options_form.h"
#include "options/volume_page.h"
#include "platform/dialogs.h"
#include "support/temp_dir.h"

namespace velk {
namespace {

QString Shell(const std::string& command) {
  QString output;
  if (FILE* pipe = popen((command + " 2>&1").c_str(), "r")) {
    char buffer[512];
    while (fgets(buffer, sizeof buffer, pipe)) output += buffer;
    pclose(pipe);
  }
  return output;
}

// The percentages and switch states amixer shows for Master's channels.
struct MasterState {
  std::vector<int> percents;
  std::vector<QString> switches;
};

MasterState ReadMaster() {
  MasterState state;
  const QString text = Shell("amixer -D default sget Master");
  for (const auto& m : QRegularExpression(R"(\[(\d+)%\])").globalMatch(text))
    state.percents.push_back(m.captured(1).toInt());
  for (const auto& m : QRegularExpression(R"(\[(on|off)\])").globalMatch(text))
    state.switches.push_back(m.captured(1));
  return state;
}

int Percent(int volume) { return (volume * 100 + 32767) / 65535; }

class AlsaMixerTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_GE(alsa->DeviceCount(), 1) << "ALSA's default device has no mixer";
    EXPECT_EQ(alsa->Names().front(), "default");
    Shell("amixer -q -D default sset Master 50% unmute");
  }
  std::shared_ptr<AlsaMixerSystem> alsa = std::make_shared<AlsaMixerSystem>();
};

TEST_F(AlsaMixerTest, ModelsPlaybackAndCaptureOfTheDefaultDevice) {
  TAudioMixer mixer(alsa);
  ASSERT_EQ(mixer.MixerID(), 0);
  const TMixerDestinations& destinations = *mixer.Destinations();
  ASSERT_EQ(destinations.Count(), 2);
  EXPECT_EQ(destinations.Items(0).LineInfo().name, "Master");
  EXPECT_EQ(destinations.Items(1).LineInfo().name, "Capture");

  TVolumeReading master;
  ASSERT_TRUE(mixer.ReadVolume(0, -1, master));
  EXPECT_NEAR(Percent(master.left), 50, 1);
  EXPECT_EQ(master.mute, 0);
  ASSERT_TRUE(mixer.WriteVolume(0, -1, 13107, 52428, 1));  // 20% and 80%, muted
  const MasterState state = ReadMaster();
  ASSERT_EQ(state.percents.size(), 2u);
  EXPECT_NEAR(state.percents[0], 20, 1);
  EXPECT_NEAR(state.percents[1], 80, 1);
  EXPECT_EQ(state.switches, (std::vector<QString>{"off", "off"}));
}

TEST_F(AlsaMixerTest, VolumePageWritesWhatAmixerReads) {
  ScopedMixerSystem installed(alsa);
  ScopedScriptedDialogs dialogs;
  test::TempDir dir;
  test::FakeOptionsHost host;
  host.settings.SetFirstRunDefaults(dir.Path() + "/");
  TOptions options(host, dir.Path() + "/");
  EXPECT_TRUE(dialogs->messages.empty());
  QSlider* main = options.VolumePage->lineSliders[0];
  ASSERT_TRUE(main->isEnabled());
  EXPECT_NEAR(main->value(), 65535 - 32768, 700);

  Shell("amixer -q -D default sset Master mute");
  main->setValue(65535 - 45875);  // the user drags "Main" to 70%: unmutes too
  MasterState state = ReadMaster();
  EXPECT_EQ(state.percents, (std::vector<int>{70, 70}));
  EXPECT_EQ(state.switches, (std::vector<QString>{"on", "on"}));

  options.VolumePage->MuteBoxes[0]->setChecked(true);  // "Mute all"
  state = ReadMaster();
  EXPECT_EQ(state.percents, (std::vector<int>{70, 70}));
  EXPECT_EQ(state.switches, (std::vector<QString>{"off", "off"}));

  // A change made elsewhere shows at a refresh once PulseAudio has passed it on.
  Shell("amixer -q -D default sset Master 10% unmute");
  QElapsedTimer waited;
  waited.start();
  do {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    options.VolumePage->OnDeviceChanged();
  } while (std::abs(main->value() - (65535 - 6554)) > 700 && waited.elapsed() < 5000);
  EXPECT_NEAR(main->value(), 65535 - 6554, 700);
  EXPECT_FALSE(options.VolumePage->MuteBoxes[0]->isChecked());
}

TEST_F(AlsaMixerTest, AmixerChangeReachesOnControlChange) {
  TAudioMixer mixer(alsa);
  std::vector<uint32_t> changed;
  mixer.OnControlChange = [&](TAudioMixer* sender, uintptr_t handle, uint32_t id) {
    EXPECT_EQ(sender, &mixer);
    EXPECT_EQ(handle, mixer.Handle()->Handle());
    changed.push_back(id);
  };
  Shell("amixer -q -D default sset Master 35%");
  QElapsedTimer waited;
  waited.start();
  while (changed.empty() && waited.elapsed() < 5000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  ASSERT_FALSE(changed.empty()) << "no change notification within 5 s";
  const TMixerControls& controls = mixer.Destinations()->Items(0).Controls();
  bool master = false;
  for (int i = 0; i < controls.Count(); ++i)
    for (uint32_t id : changed) master |= controls.Items(i).controlID == id;
  EXPECT_TRUE(master);
  TVolumeReading reading;
  ASSERT_TRUE(mixer.ReadVolume(0, -1, reading));
  EXPECT_NEAR(Percent(reading.left), 35, 1);
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Runs the event loop, sleeping while it has nothing to do, until done() or the time is up;
// true when done.
bool ProcessEventsUntil(const std::function<bool()>& done, int milliseconds) {
  QTimer tick;
  tick.start(50);
  QElapsedTimer waited;
  waited.start();
  while (!done() && waited.elapsed() < milliseconds)
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  return done();
}

TEST_F(AlsaMixerTest, ASoundServerThatGoesAwayCostsNoTimeAndIsFoundAgain) {
  TAudioMixer mixer(alsa);
  TVolumeReading reading;
  ASSERT_TRUE(mixer.ReadVolume(0, -1, reading));
  Shell("pulseaudio --kill");
  const double before = CpuSeconds();
  ProcessEventsUntil([] { return false; }, 2000);
  EXPECT_LT(CpuSeconds() - before, 0.4) << "the event loop spins on the lost device";

  ASSERT_EQ(Shell("pulseaudio -n --daemonize=yes --exit-idle-time=-1 -L module-null-sink "
                  "-L module-native-protocol-unix && echo started").trimmed().right(7),
            "started");
  Shell("for i in $(seq 50); do amixer -D default sget Master >/dev/null && break; sleep 0.1; "
        "done; amixer -q -D default sset Master 35%");
  EXPECT_TRUE(ProcessEventsUntil(
      [&] { return mixer.ReadVolume(0, -1, reading) && Percent(reading.left) == 35; }, 8000))
      << "the mixer did not come back with the sound server";
}

}  // namespace
}  // namespace velk
