// Browsing in the real main window (offscreen): the time from selecting a file in the file list
// to its picture painted, beside libjpeg decoding the same file once in true colour, the
// program's default mode. Wall-clock times, since Qt may scale on more than one thread.
//
//   browse_bench [google benchmark flags]   selection to paint, 1/12/24 MP at "To fit", "100%"
//   browse_bench --walk                     a walk over a folder by Down key presses: per-size
//                                           medians, a burst of ten presses 30 ms apart, the
//                                           longest wait of an input event, peak memory
//   browse_bench --gif                      processor share of an 800 x 600 GIF at 20 fps
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QTimer>
#include <ctime>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <jpeglib.h>

#include "app/fullscreen_form.h"
#include "app/main_form.h"
#include "image/image_aspect.h"
#include "image/jpeg_codec.h"
#include "image/tiff_reader.h"
#include "image/tiff_writer.h"
#include "platform/bmp_codec.h"
#include "platform/large_pages.h"
#include "image/jpeg_image.h"
#include "image/loupe_form.h"
#include "platform/dialogs.h"
#include "widgets/file_list_box.h"
#include "photo_jpeg.h"

namespace {

using Clock = std::chrono::steady_clock;
double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct Size {
  const char* name;
  int width, height;
};
const Size kSizes[] = {{"1MP", 1200, 900}, {"12MP", 4000, 3000}, {"24MP", 6000, 4000}};

void WritePhoto(const std::string& path, int width, int height, uint32_t seed) {
  const std::vector<uint8_t> bytes = PhotoLikeJpeg(width, height, seed);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              std::streamsize(bytes.size()));
}

// The peer: libjpeg reading the file and decoding it once to RGB rows in one buffer.
void LibjpegDecodeFile(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) std::abort();
  jpeg_decompress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_decompress(&c);
  jpeg_stdio_src(&c, file);
  jpeg_read_header(&c, TRUE);
  jpeg_start_decompress(&c);
  const size_t stride = size_t(c.output_width) * c.output_components;
  std::unique_ptr<JSAMPLE[]> pixels(new JSAMPLE[stride * c.output_height]);
  while (c.output_scanline < c.output_height) {
    JSAMPROW row = pixels.get() + c.output_scanline * stride;
    jpeg_read_scanlines(&c, &row, 1);
  }
  benchmark::DoNotOptimize(pixels.get());
  jpeg_finish_decompress(&c);
  jpeg_destroy_decompress(&c);
  std::fclose(file);
}

double LibjpegMs(const std::string& path) {
  const auto start = Clock::now();
  LibjpegDecodeFile(path);
  return Ms(Clock::now() - start);
}

long StatusKib(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + std::strlen(key));
  return 0;
}
void ResetPeakMemory() { std::ofstream("/proc/self/clear_refs") << "5"; }

// Notes when a picture control has painted, and ends a waiting loop once its condition holds
// (after the paint, with the window's flush, is done: the quit is queued behind it).
class PaintWatch : public QObject {
public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && static_cast<QWidget*>(watched)->isVisible()) {
      painted = true;
      if (loop && (!done || done()))
        QMetaObject::invokeMethod(loop, &QEventLoop::quit, Qt::QueuedConnection);
    }
    return false;
  }
  bool painted = false;
  QEventLoop* loop = nullptr;
  std::function<bool()> done;
};

// Counts the paints each widget gets while installed on the application.
class PaintCount : public QObject {
public:
  PaintCount() { qApp->installEventFilter(this); }
  ~PaintCount() override { qApp->removeEventFilter(this); }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints[watched->objectName().toStdString()];
    return false;
  }
  int Most() const {
    int most = 0;
    for (const auto& [name, count] : paints) most = std::max(most, count);
    return most;
  }
  std::map<std::string, int> paints;
};

// A main window on a temporary program folder and hive with the first run's settings. Cold, it
// keeps no picture ready besides the one shown, so every selection of another file decodes.
class Viewer {
public:
  explicit Viewer(const std::string& folder, bool cold = false) : root_(folder) {
    for (const char* sub : {"/program", "/programs", "/desktop", "/config"})
      std::filesystem::create_directories(root_ + sub);
    environment_ = velk::MainformEnvironment::InFolder(root_);
    if (cold) {
      loader_ = std::make_unique<velk::PictureLoader>(1);
      environment_.loader = loader_.get();
    }
    loupe_ = std::make_unique<velk::TLoupeform>();
    fullscreen_ = std::make_unique<velk::TFullscreenform>();
    form_ = std::make_unique<velk::TMainform>(settings_, loupe_.get(), fullscreen_.get(),
                                              environment_);
    form_->FinishStartup();
    form_->fitView->installEventFilter(&watch_);
    form_->pictureView->installEventFilter(&watch_);
    form_->show();
    QApplication::processEvents();
  }
  velk::TMainform& Form() { return *form_; }
  void OpenFolder(const std::string& folder) {
    form_->fileList->SetDirectory(folder);
    QApplication::processEvents();
  }
  void SetZoom(int index) {
    form_->SetZoomIndex(index);
    form_->OnZoomChanged();
    QApplication::processEvents();
  }
  int IndexOf(const std::string& name) {
    const std::vector<std::string>& names = form_->fileList->Items();
    for (size_t i = 0; i < names.size(); ++i)
      if (names[i] == name) return int(i);
    std::abort();
  }
  void ArmPaint() { watch_.painted = false; }
  bool Painted() const { return watch_.painted; }
  // Runs the event loop until the picture has painted (at most 30 s), and with a condition
  // until a paint finds it true.
  void WaitForPaint(std::function<bool()> done = {}) {
    if (watch_.painted && (!done || done())) return;
    QEventLoop loop;
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    watch_.loop = &loop;
    watch_.done = std::move(done);
    loop.exec();
    watch_.loop = nullptr;
    watch_.done = {};
  }
  // Selects an entry and returns the time until its picture has painted.
  double SelectMs(int index) {
    if (form_->fileList->ItemIndex() == index) return 0;  // no change, nothing to paint
    ArmPaint();
    Clock::time_point start;
    // Selected from inside the event loop, as a click or key press is.
    QTimer::singleShot(0, form_.get(), [&] {
      start = Clock::now();
      form_->fileList->SetItemIndex(index);
    });
    WaitForPaint();
    return Ms(Clock::now() - start);
  }

private:
  std::string root_;
  velk::MainformEnvironment environment_;
  velk::ViewerSettings settings_;
  velk::ScopedScriptedDialogs dialogs_;
  std::unique_ptr<velk::PictureLoader> loader_;
  std::unique_ptr<velk::TLoupeform> loupe_;
  std::unique_ptr<velk::TFullscreenform> fullscreen_;
  std::unique_ptr<velk::TMainform> form_;
  PaintWatch watch_;
};

std::string g_work;
std::unique_ptr<Viewer> g_viewer;        // cold: every selection decodes
std::unique_ptr<Viewer> g_readyViewer;   // as the program runs: neighbours kept ready

std::string PhotoName(const Size& size, int which) {
  return std::string(size.name) + (which ? "_b.jpg" : "_a.jpg");
}

// Selects two files of one kind and size in turn: every selection decodes.
void SelectInTurn(benchmark::State& state, int zoom, const std::string& first,
                  const std::string& second) {
  Viewer& viewer = *g_viewer;
  viewer.SetZoom(zoom);
  const int a = viewer.IndexOf(first), b = viewer.IndexOf(second);
  viewer.SelectMs(a);
  int next = b;
  for (auto _ : state) {
    state.SetIterationTime(viewer.SelectMs(next) / 1000);
    next = next == a ? b : a;
  }
}

void Select(benchmark::State& state, const Size* size, int zoom) {
  SelectInTurn(state, zoom, PhotoName(*size, 0), PhotoName(*size, 1));
}

// The user reads one photo, then steps to the next, which has been made ready meanwhile.
void SelectReady(benchmark::State& state, const Size* size) {
  Viewer& viewer = *g_readyViewer;
  viewer.SetZoom(9);
  const int a = viewer.IndexOf(PhotoName(*size, 0)), b = viewer.IndexOf(PhotoName(*size, 1));
  viewer.SelectMs(a);
  int next = b;
  for (auto _ : state) {
    const std::string path = g_work + "/jpegs/" + PhotoName(*size, next == a ? 0 : 1);
    const auto asked = Clock::now();
    while (!viewer.Form().PictureReady(path)) {
      if (Clock::now() - asked > std::chrono::seconds(30)) {
        state.SkipWithError("the neighbour was never made ready");
        return;
      }
      QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    state.SetIterationTime(viewer.SelectMs(next) / 1000);
    next = next == a ? b : a;
  }
}

void Libjpeg(benchmark::State& state, const Size* size) {
  int which = 0;
  for (auto _ : state) {
    state.SetIterationTime(LibjpegMs(g_work + "/photos/" + PhotoName(*size, which)) / 1000);
    which ^= 1;
  }
}

// 24 MP 24-bit BMP and TIFF files (two of each), made from a decoded photo.
void WriteOtherKinds() {
  const std::string jpeg = g_work + "/photos/" + PhotoName(kSizes[2], 0);
  std::ifstream in(jpeg, std::ios::binary);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
  velk::JpegDecodeOptions options;
  options.numOfColors = velk::TNumOfColors::TrueColor;
  velk::Bitmap photo = velk::DecodeJpeg(bytes.data(), bytes.size(), options);
  for (int which = 0; which < 2; ++which) {
    photo.ScanLine(0)[0] = uint8_t(which);  // two different files
    velk::SaveBmpFile(photo, g_work + "/photos/24MP_" + char('a' + which) + ".bmp");
    velk::SaveBitmapAsTiff(g_work + "/photos/24MP_" + char('a' + which) + ".tif", photo);
  }
}

void SelectOther(benchmark::State& state, const char* extension) {
  SelectInTurn(state, 9, std::string("24MP_a.") + extension, std::string("24MP_b.") + extension);
}

// The peer: our own reader alone, from the file into a bitmap.
void ReadOther(benchmark::State& state, const char* extension) {
  int which = 0;
  for (auto _ : state) {
    const std::string path = g_work + "/photos/24MP_" + char('a' + which) + "." + extension;
    const auto start = Clock::now();
    velk::Bitmap bitmap;
    if (std::string(extension) == "bmp") bitmap = velk::LoadBmpFile(path);
    else velk::LoadTiffIntoBitmap(path, bitmap);
    benchmark::DoNotOptimize(bitmap.Bits());
    state.SetIterationTime(Ms(Clock::now() - start) / 1000);
    which ^= 1;
  }
}

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// Posts probe events from another thread every 5 ms and keeps the longest wait until one is
// delivered: how long an input event would have waited for the event loop.
class StallProbe : public QObject {
public:
  StallProbe() {
    thread_ = std::thread([this] {
      while (!stop_) {
        QCoreApplication::postEvent(this, new Probe(Clock::now()));
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
    });
  }
  ~StallProbe() override {
    stop_ = true;
    thread_.join();
    QCoreApplication::removePostedEvents(this);
  }
  bool event(QEvent* event) override {
    if (event->type() != kType) return QObject::event(event);
    longest = std::max(longest, Ms(Clock::now() - static_cast<Probe*>(event)->posted));
    return true;
  }
  double longest = 0;

private:
  static constexpr QEvent::Type kType = QEvent::Type(QEvent::User + 18);
  struct Probe : QEvent {
    explicit Probe(Clock::time_point t) : QEvent(kType), posted(t) {}
    Clock::time_point posted;
  };
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

void PostDown(QWidget* list) {
  QCoreApplication::postEvent(list, new QKeyEvent(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier));
  QCoreApplication::postEvent(list,
                              new QKeyEvent(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier));
}

// The walk: Down through a folder of photos, one press after each picture has painted.
int Walk() {
  const std::string folder = g_work + "/walk";
  std::filesystem::create_directories(folder);
  // 1, 12 and 24 MP in turn, then a run of 12 and 24 MP photos for the burst.
  std::vector<const Size*> order;
  for (int i = 0; i < 4; ++i)
    for (const Size& s : kSizes) order.push_back(&s);
  for (int i = 0; i < 3; ++i) order.push_back(&kSizes[2]);  // 24 MP after 24 MP
  const size_t burstStart = order.size();
  for (int i = 0; i < 11; ++i) order.push_back(&kSizes[1 + i % 2]);
  std::vector<std::string> names;
  for (size_t i = 0; i < order.size(); ++i) {
    char name[64];
    std::snprintf(name, sizeof name, "%02zu_%s.jpg", i, order[i]->name);
    names.push_back(name);
    WritePhoto(folder + "/" + name, order[i]->width, order[i]->height, uint32_t(i + 1));
  }
  // A tiny picture first: the program's idle footprint.
  std::filesystem::create_directories(g_work + "/tiny");
  WritePhoto(g_work + "/tiny/tiny.jpg", 64, 48, 1);
  Viewer viewer(g_work);
  viewer.SetZoom(9);
  viewer.OpenFolder(g_work + "/tiny");
  viewer.SelectMs(0);
  for (int i = 0; i < 20; ++i) QApplication::processEvents();
  const long idleKib = StatusKib("VmRSS:");

  viewer.OpenFolder(folder);
  velk::TMainform& form = viewer.Form();
  QWidget* list = form.fileList;
  list->setFocus();
  viewer.SelectMs(0);
  ResetPeakMemory();
  std::map<std::string, std::vector<double>> ours, peer;
  double longestStall = 0;
  {
    StallProbe probe;
    for (size_t i = 1; i < burstStart; ++i) {
      viewer.ArmPaint();
      const auto start = Clock::now();
      PostDown(list);
      viewer.WaitForPaint();
      ours[order[i]->name].push_back(Ms(Clock::now() - start));
      if (form.fileList->ItemIndex() != int(i)) std::fprintf(stderr, "walk lost its place\n");
    }
    QApplication::processEvents();
    longestStall = probe.longest;
  }
  const long peakKib = StatusKib("VmHWM:");
  const long afterWalkKib = StatusKib("VmRSS:");
  for (size_t i = 1; i < burstStart; ++i)
    peer[order[i]->name].push_back(LibjpegMs(folder + "/" + names[i]));

  // The burst: ten presses 30 ms apart from the first of the 12/24 MP run.
  viewer.SelectMs(int(burstStart));
  viewer.ArmPaint();
  Clock::time_point lastPress;
  // On X the presses come from the X server (xdotool, through XTest) as a keyboard's would;
  // elsewhere they are posted to the list.
  const bool xTest = QGuiApplication::platformName() == "xcb" &&
                     std::system("command -v xdotool >/dev/null") == 0;
  if (xTest) {
    form.activateWindow();
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
  }
  // The time the window takes each press from the X server (the event loop runs every 10 ms).
  struct PressTimes : QObject {
    bool eventFilter(QObject* watched, QEvent* event) override {
      if (watched->isWindowType() && event->type() == QEvent::KeyPress) last = Clock::now();
      return false;
    }
    Clock::time_point last;
  } pressTimes;
  if (xTest) qApp->installEventFilter(&pressTimes);
  std::thread presser([&] {
    if (xTest) {
      std::string keys = "xdotool key --delay 30";
      for (int i = 0; i < 10; ++i) keys += " Down";
      if (std::system(keys.c_str()) != 0) std::fprintf(stderr, "xdotool failed\n");
      return;
    }
    for (int i = 0; i < 10; ++i) {
      if (i) std::this_thread::sleep_for(std::chrono::milliseconds(30));
      lastPress = Clock::now();
      PostDown(list);
    }
  });
  const int target = int(burstStart) + 10;
  const std::string targetFile = folder + "/" + names[size_t(target)];
  viewer.WaitForPaint([&] {
    return form.fileList->ItemIndex() == target && form.pictureView->FileName() == targetFile;
  });
  const Clock::time_point settledAt = Clock::now();
  presser.join();
  if (xTest) {
    qApp->removeEventFilter(&pressTimes);
    lastPress = pressTimes.last;
  }
  const double burstMs = Ms(settledAt - lastPress);
  const double burstPeer = LibjpegMs(folder + "/" + names[size_t(target)]);
  const bool burstRight = form.pictureView->FileName() == targetFile;
  if (!burstRight)
    std::fprintf(stderr, "burst ended on %d %s, wanted %d\n", form.fileList->ItemIndex(),
                 form.pictureView->FileName().c_str(), target);
  for (int i = 0; i < 20; ++i) QApplication::processEvents();
  const long afterBurstKib = StatusKib("VmRSS:");
  // One selection of a 1 MP photo that has to be decoded: how often each widget paints, from
  // the press until the event loop has nothing left to do.
  int mostPaints = 0, widgetsPainted = 0;
  {
    viewer.SelectMs(0);
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
    PaintCount count;
    viewer.SelectMs(3);  // index 0 is a 1 MP photo, and so is 3: not next to it, so not ready
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
    mostPaints = count.Most();
    widgetsPainted = int(count.paints.size());
  }
  // 1,000 more steps, between a 1 MP and a 12 MP photo: resident memory after the first ten and
  // after all of them.
  long afterTenKib = 0;
  for (int step = 0; step < 1000; ++step) {
    viewer.SelectMs(step % 2 ? 1 : 0);
    if (step == 9) afterTenKib = StatusKib("VmRSS:");
  }
  for (int i = 0; i < 20; ++i) QApplication::processEvents();
  const long after1000Kib = StatusKib("VmRSS:");

  const double fileMib = std::filesystem::file_size(folder + "/" + names[2]) / 1048576.0;
  const double bitmapMib = 6000.0 * 4000 * 3 / 1048576.0;
  std::printf("{\n");
  for (const Size& s : kSizes)
    std::printf("  \"walk %s\": [%.1f, %.1f],\n", s.name, Median(ours[s.name]),
                Median(peer[s.name]));
  std::printf("  \"burst\": [%.1f, %.1f, %s, \"%s\"],\n", burstMs, burstPeer,
              burstRight ? "true" : "false", xTest ? "xtest" : "posted");
  std::printf("  \"longest stall\": %.1f,\n", longestStall);
  std::printf("  \"paints per selection\": [%d, %d],\n", mostPaints, widgetsPainted);
  std::printf("  \"idle MiB\": %.1f,\n  \"peak MiB\": %.1f,\n  \"file MiB\": %.1f,\n"
              "  \"bitmap MiB\": %.1f,\n  \"after walk MiB\": %.1f,\n"
              "  \"after burst MiB\": %.1f,\n  \"after 10 steps MiB\": %.1f,\n"
              "  \"after 1000 steps MiB\": %.1f\n}\n",
              idleKib / 1024.0, peakKib / 1024.0, fileMib, bitmapMib, afterWalkKib / 1024.0,
              afterBurstKib / 1024.0, afterTenKib / 1024.0, after1000Kib / 1024.0);
  return 0;
}

double ProcessCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// An animated 800 x 600 GIF at 20 frames a second (ImageMagick), shown at "To fit": the share
// of one core the whole program takes while it plays.
int PlayGif() {
  const std::string folder = g_work + "/gif";
  std::filesystem::create_directories(folder);
  std::string command = "convert -size 800x600 -delay 5 -loop 0";
  for (int i = 0; i < 10; ++i)
    command += " gradient:'rgb(" + std::to_string(i * 25) + ",0,90)'-'rgb(0," +
               std::to_string(250 - i * 25) + ",200)'";
  command += " " + folder + "/anim.gif";
  if (std::system(command.c_str()) != 0) return 1;
  Viewer viewer(g_work);
  viewer.SetZoom(9);
  viewer.OpenFolder(folder);
  viewer.SelectMs(0);
  const auto run = [](int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
  };
  run(500);
  const double cpu = ProcessCpuSeconds();
  const auto start = Clock::now();
  run(5000);
  const double share = (ProcessCpuSeconds() - cpu) / (Ms(Clock::now() - start) / 1000);
  std::printf("{\n  \"gif cpu percent\": %.2f\n}\n", share * 100);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  velk::GiveLargeBlocksBack();  // as the program does
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen"
                                                                   : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  const std::filesystem::path work =
      std::filesystem::temp_directory_path() / ("browse_bench." + std::to_string(getpid()));
  g_work = work.string();
  std::filesystem::create_directories(work / "photos");
  int result = 0;
  if (argc > 1 && std::string(argv[1]) == "--walk") {
    result = Walk();
  } else if (argc > 1 && std::string(argv[1]) == "--gif") {
    result = PlayGif();
  } else {
    for (const Size& size : kSizes)
      for (int which = 0; which < 2; ++which)
        WritePhoto(g_work + "/photos/" + PhotoName(size, which), size.width, size.height,
                   uint32_t(which + 1));
    WriteOtherKinds();
    g_viewer = std::make_unique<Viewer>(g_work, true);
    g_viewer->OpenFolder(g_work + "/photos");
    // The JPEGs alone, so that the two of a size are next to each other in the list.
    std::filesystem::create_directories(g_work + "/jpegs");
    for (const Size& size : kSizes)
      for (int which = 0; which < 2; ++which)
        std::filesystem::create_hard_link(g_work + "/photos/" + PhotoName(size, which),
                                          g_work + "/jpegs/" + PhotoName(size, which));
    g_readyViewer = std::make_unique<Viewer>(g_work + "/ready");
    g_readyViewer->OpenFolder(g_work + "/jpegs");
    for (const Size& size : kSizes) {
      const std::string n = size.name;
      benchmark::RegisterBenchmark(("Select/" + n + "/fit").c_str(), Select, &size, 9)
          ->UseManualTime()->Unit(benchmark::kMillisecond);
      benchmark::RegisterBenchmark(("Select/" + n + "/100").c_str(), Select, &size, 4)
          ->UseManualTime()->Unit(benchmark::kMillisecond);
      benchmark::RegisterBenchmark(("Libjpeg/" + n).c_str(), Libjpeg, &size)
          ->UseManualTime()->Unit(benchmark::kMillisecond);
      benchmark::RegisterBenchmark(("SelectReady/" + n + "/fit").c_str(), SelectReady, &size)
          ->UseManualTime()->Unit(benchmark::kMillisecond);
    }
    for (const char* extension : {"bmp", "tif"}) {
      const std::string e = extension;
      benchmark::RegisterBenchmark(("Select/24MP_" + e + "/fit").c_str(), SelectOther, extension)
          ->UseManualTime()->Unit(benchmark::kMillisecond);
      benchmark::RegisterBenchmark(("Reader/24MP_" + e).c_str(), ReadOther, extension)
          ->UseManualTime()->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_viewer.reset();
    g_readyViewer.reset();
  }
  std::filesystem::remove_all(work);
  return result;
}
