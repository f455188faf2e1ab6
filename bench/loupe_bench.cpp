// One loupe tick (grab around the pointer, stretch, bevels, synchronous repaint) beside a bare
// QScreen grab of the same area. Needs an X server: run under xvfb-run with QT_QPA_PLATFORM=xcb.
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include "image/loupe.h"
#include "image/loupe_form.h"

namespace {

// The loupe window as the program shows it, frozen so that only the benchmark ticks it.
velk::TLoupeform& ShownLoupe() {
  static velk::TLoupeform* form = [] {
    auto* f = new velk::TLoupeform;
    f->show();
    (void)QTest::qWaitForWindowExposed(f);
    f->FindItem("S6")->trigger();
    QCursor::setPos(300, 300);
    return f;
  }();
  return *form;
}

bool OnX11(benchmark::State& state) {
  if (QGuiApplication::platformName() == "xcb") return true;
  state.SkipWithError("needs QT_QPA_PLATFORM=xcb and an X server");
  return false;
}

void BM_LoupeTick(benchmark::State& state) {
  if (!OnX11(state)) return;
  velk::TLoupeform& form = ShownLoupe();
  form.FindItem(velk::LoupeZoomItemName(double(state.range(0))))->trigger();
  velk::Tloupe* loupe = form.loupe();
  for (auto _ : state) loupe->Capture();
}
BENCHMARK(BM_LoupeTick)->Arg(1)->Arg(2)->Arg(10)->Unit(benchmark::kMicrosecond);

// The peer: what Qt alone needs to grab the area that a tick at zoom 2 grabs.
void BM_GrabOnly(benchmark::State& state) {
  if (!OnX11(state)) return;
  QScreen* screen = QGuiApplication::primaryScreen();
  for (auto _ : state) {
    QPixmap grabbed = screen->grabWindow(0, 300 - 27, 300 - 40, 54, 81);
    benchmark::DoNotOptimize(grabbed);
  }
}
BENCHMARK(BM_GrabOnly)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
