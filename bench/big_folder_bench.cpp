// A folder of 100,000 empty files with one photo, beside a folder holding just that photo:
// the whole program's start-up to its first paint with the photo on the command line, and
// opening the folder in the linked folder and file lists until the file list has painted its
// entries. Medians of interleaved runs, with what the big folder adds and the ratio.
//
//   big_folder_bench [VELKVIEW] [RUNS]   under an X server; VELKVIEW defaults to the staged
//                                        program beside this build's bench folder
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "photo_jpeg.h"
#include "widgets/directory_list_box.h"
#include "widgets/file_list_box.h"

namespace {

constexpr int kFiles = 100000;
constexpr char kSupportedMask[] = "*.jpg;*.jpeg;*.bmp;*.gif;*.tif*;*.wmf;*.ico;*.emf;";  // the main window's "All Supported Files"

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes = {}) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// Empty pictures named in shuffled order, so the listing has to be sorted.
void MakeBigFolder(const std::string& folder) {
  std::vector<int> numbers(kFiles - 1);
  for (int i = 0; i < kFiles - 1; ++i) numbers[size_t(i)] = i;
  std::shuffle(numbers.begin(), numbers.end(), std::mt19937(1));
  char name[32];
  for (int n : numbers) {
    std::snprintf(name, sizeof name, "/IMG_%05d.jpg", n);
    WriteFile(folder + name);
  }
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The program from its start until it has painted its main window once, then quits.
double StartUpMs(const QString& program, const QString& photo, const QProcessEnvironment& env) {
  QProcess process;
  process.setProcessEnvironment(env);
  process.setStandardOutputFile(QProcess::nullDevice());
  process.setStandardErrorFile(QProcess::nullDevice());
  QElapsedTimer clock;
  clock.start();
  process.start(program, {photo});
  if (!process.waitForFinished(60000) || process.exitCode() != 0) {
    std::fprintf(stderr, "%s did not start and quit cleanly\n", qPrintable(program));
    std::exit(1);
  }
  return double(clock.nsecsElapsed()) / 1e6;
}

// The folder and file lists of the main window, linked; opening a folder is timed until the
// file list has painted with its entries.
class Lists : public QObject {
public:
  Lists() {
    folders_.setGeometry(0, 0, 200, 300);
    files_.setGeometry(210, 0, 200, 300);
    files_.SetMask(kSupportedMask);
    folders_.SetFileList(&files_);
    files_.viewport()->installEventFilter(this);
    folders_.show();
    files_.show();
  }
  double OpenMs(const std::string& folder, const std::string& away) {
    folders_.SetDirectory(away);
    Settle();
    QElapsedTimer clock;
    clock.start();
    painted_ = false;
    folders_.SetDirectory(folder);
    while (!painted_) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return double(clock.nsecsElapsed()) / 1e6;
  }

private:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && files_.model()->rowCount() > 0) painted_ = true;
    return QObject::eventFilter(watched, event);
  }
  static void Settle() {
    QEventLoop loop;
    QTimer::singleShot(200, &loop, &QEventLoop::quit);
    loop.exec();
  }

  velk::TDirectoryListBox folders_;
  velk::TFileListBox files_;
  bool painted_ = false;
};

void Row(const char* what, const std::vector<double>& one, const std::vector<double>& big) {
  const double a = Median(one), b = Median(big);
  std::printf("| %s | %.0f ms | %.0f ms | %+.0f ms | %.2f |\n", what, a, b, b - a, b / a);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QString program = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                   : QCoreApplication::applicationDirPath() + "/../stage/velkview";
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 9;
  QTemporaryDir work;
  const std::string root = work.path().toStdString();
  const std::string one = root + "/one", big = root + "/big";
  QDir().mkpath(QString::fromStdString(one));
  QDir().mkpath(QString::fromStdString(big));
  const std::vector<uint8_t> photo = PhotoLikeJpeg(1200, 900, 1);
  WriteFile(one + "/photo.jpg", photo);
  WriteFile(big + "/photo.jpg", photo);
  MakeBigFolder(big);

  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("HOME", QString::fromStdString(root + "/home"));
  env.insert("XDG_CONFIG_HOME", QString::fromStdString(root + "/config"));
  env.insert("XDG_DATA_HOME", QString::fromStdString(root + "/data"));
  env.insert("VELKVIEW_QUIT_WHEN_PAINTED", "1");
  const QString onePhoto = QString::fromStdString(one + "/photo.jpg");
  const QString bigPhoto = QString::fromStdString(big + "/photo.jpg");
  StartUpMs(program, onePhoto, env);  // the first run writes the settings
  StartUpMs(program, bigPhoto, env);  // and the big folder's entries are in the page cache

  std::vector<double> startOne, startBig, openOne, openBig;
  for (int i = 0; i < runs; ++i) {
    startOne.push_back(StartUpMs(program, onePhoto, env));
    startBig.push_back(StartUpMs(program, bigPhoto, env));
  }
  Lists lists;
  for (int i = 0; i < runs; ++i) {
    openOne.push_back(lists.OpenMs(one, root));
    openBig.push_back(lists.OpenMs(big, root));
  }
  std::printf("| %d runs, medians | one file | %d files | added | ratio |\n", runs, kFiles);
  std::printf("|---|---|---|---|---|\n");
  Row("start-up to first paint, the photo on the command line", startOne, startBig);
  Row("opening the folder until the file list has painted", openOne, openBig);
  return 0;
}
