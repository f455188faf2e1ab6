#pragma once
// The Slide Show page ("Panel9") of the options dialog: the slide list, the delay and
// slideTimer, which shows the files one by one in the full-screen window until it is clicked.
// Each slide stays the delay from the moment it shows: the next one is read meanwhile.
#include <QObject>
#include <future>
#include <optional>
#include <string>
#include <thread>

#include "image/jpeg_image.h"
#include "platform/bitmap.h"

class QListWidget;
class QSpinBox;
class QTimer;

namespace velk {

class OptionsHost;
class TOptions;
class TToolbarButton97;

class TSlideShowPage : public QObject {
  Q_OBJECT
public:
  // Finds the page's controls (built on "Panel9"), makes slideTimer and connects the handlers.
  TSlideShowPage(TOptions& options, OptionsHost& host);
  ~TSlideShowPage() override;  // waits for a slide being read ahead

  void OnAddClicked();
  void OnRemoveClicked();
  void OnClearClicked();
  void OnDelayChanged();
  void OnStartClicked();
  void OnSlideTimer();
  void OnPreviewClicked();

  QListWidget* slideList;
  QSpinBox* delayBox;
  TToolbarButton97* startButton;
  TToolbarButton97* addButton;
  TToolbarButton97* removeButton;
  TToolbarButton97* clearButton;
  TToolbarButton97* previewButton;
  QTimer* slideTimer;
  // The slide being read ahead while the one before it shows ("" for none).
  const std::string& SlideAhead() const { return ahead_.path; }

private:
  // A slide read and decoded, ahead of its turn or at it.
  struct PreparedSlide {
    JpegBytes bytes;  // a JPEG's, with its decode in bitmap
    Bitmap bitmap;
    int progressEvents = 0;
  };
  struct Ahead {
    std::string path;
    JpegDecodeOptions options;  // the working picture's when it was started
    int progressStep = 0;
    std::future<PreparedSlide> result;
  };
  // Starts reading the slide on the list's current row on a thread of its own.
  void ReadAhead();
  // The slide read ahead, when it is the file asked for with today's options.
  std::optional<PreparedSlide> TakeAhead(const std::string& path);
  // Loads one slide into the working picture by its extension; throws on failure.
  void LoadSlide(const std::string& path);
  // Reads and decodes a JPEG, BMP or TIFF slide with the working picture's settings, on any
  // thread; throws on failure. The window's thread then puts it into the working picture.
  static PreparedSlide ReadSlide(const std::string& path, const JpegDecodeOptions& options,
                                 int progressStep);
  void AdoptSlide(const std::string& path, PreparedSlide slide);

  TOptions& options_;
  OptionsHost& host_;
  Ahead ahead_;
  std::thread reader_;  // reads the slide ahead
};

}  // namespace velk
