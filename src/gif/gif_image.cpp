#include "gif/gif_image.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <algorithm>
#include <cstring>

#include "gif/gif_compositor.h"
#include "gif/gif_frame_render.h"
#include "gif/gif_painter.h"

namespace velk {

namespace {
// Bits per pixel of the screen, measured once.
int ScreenBitsPerPixel() {
  static const int bits = [] {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    const QScreen* screen = app ? QGuiApplication::primaryScreen() : nullptr;
    return screen ? screen->depth() : 32;
  }();
  return bits;
}
}  // namespace

TGIFImage::TGIFImage() {
  data_.OnWarning = [this](const std::string& message) {
    if (OnWarning) OnWarning(message);
  };
}

TGIFImage::TGIFImage(const TGIFImage& other) : TGIFImage() { data_ = other.data_; }

TGIFImage& TGIFImage::operator=(const TGIFImage& other) {
  Assign(other);
  return *this;
}

TGIFImage::~TGIFImage() { StopPainters(); }

std::unique_ptr<Graphic> TGIFImage::Clone() const { return std::make_unique<TGIFImage>(*this); }

void TGIFImage::BeforeChange() {
  StopPainters();
  canvas_.reset();
  firstFrameImage_ = QImage();
  paintedFrame_ = -1;
}

void TGIFImage::AfterChange() {
  data_.Changed();
  Changed();
}

void TGIFImage::LoadFromFile(const std::string& path) {
  BeforeChange();
  try {
    data_.LoadFromFile(path);
  } catch (...) {
    AfterChange();
    throw;
  }
  AfterChange();
}

void TGIFImage::LoadFromStream(std::istream& stream) {
  BeforeChange();
  try {
    data_.LoadFromStream(stream);
  } catch (...) {
    AfterChange();
    throw;
  }
  AfterChange();
}

void TGIFImage::LoadFromMemory(const uint8_t* data, size_t size) {
  BeforeChange();
  try {
    data_.LoadFromMemory(data, size);
  } catch (...) {
    AfterChange();
    throw;
  }
  AfterChange();
}

void TGIFImage::SaveToFile(const std::string& path) const { data_.SaveToFile(path); }
void TGIFImage::SaveToStream(std::ostream& stream) const { data_.SaveToStream(stream); }

const velk::Bitmap& TGIFImage::Bitmap() const { return data_.FirstFrameBitmap(Dithering()); }

void TGIFImage::Assign(const velk::Bitmap& bitmap) {
  BeforeChange();
  data_.Assign(bitmap);
  AfterChange();
}

void TGIFImage::Assign(const TGIFImage& source) {
  if (&source == this) return;
  BeforeChange();
  data_ = source.data_;
  AfterChange();
}

void TGIFImage::Clear() {
  BeforeChange();
  data_.Clear();
  AfterChange();
}

void TGIFImage::Modify(const std::function<void(GIFImageData&)>& change) {
  BeforeChange();
  change(data_);
  AfterChange();
}

void TGIFImage::SetSettings(const TGIFSettings& settings) {
  BeforeChange();
  data_.settings = settings;
  AfterChange();
}

void TGIFImage::SetDrawOptions(TGIFDrawOptions options) {
  TGIFSettings settings = data_.settings;
  settings.drawOptions = options;
  SetSettings(settings);
}

void TGIFImage::SetAnimationSpeed(int speed) {
  TGIFSettings settings = data_.settings;
  settings.animationSpeed = speed;
  SetSettings(settings);
}

bool TGIFImage::Dithering() const {
  const TGIFDrawOptions options = data_.settings.drawOptions;
  return options.Has(TGIFDrawOption::Dither) &&
         (!options.Has(TGIFDrawOption::AutoDither) || ScreenBitsPerPixel() <= 8);
}

// Painters.

void TGIFImage::StopPainters() const {
  std::vector<std::shared_ptr<TGIFPainter>> stopping;
  {
    std::lock_guard<std::mutex> guard(paintersLock_);
    stopping.swap(painters_);
  }
  for (const auto& painter : stopping) painter->Stop();
  for (const auto& painter : stopping) painter->WaitForEnd();
}

bool TGIFImage::IsPainting() const {
  std::lock_guard<std::mutex> guard(paintersLock_);
  return std::any_of(painters_.begin(), painters_.end(),
                     [](const auto& p) { return !p->Finished(); });
}

void TGIFImage::PaintStep(int frame) const {
  canvas_->Paint(data_, size_t(frame), Dithering());
  paintedFrame_ = frame;
  Notify(OnPaint);
  Changed();
  Notify(OnAfterPaint);
}

void TGIFImage::StartPainter() const {
  StopPainters();
  canvas_ = std::make_unique<GIFCompositor>();
  canvas_->Reset(Width(), Height());
  paintedFrame_ = -1;
  const TGIFDrawOptions options = data_.settings.drawOptions;
  const bool async = options.Has(TGIFDrawOption::Async);
  const bool repeat = options.Has(TGIFDrawOption::Animate) && options.Has(TGIFDrawOption::Loop);
  TGIFPainter::Steps steps{[this] { Notify(OnStartPaint); },
                           [this](int frame) { PaintStep(frame); }, [this] { Notify(OnLoop); },
                           [this] { Notify(OnEndPaint); }};
  auto painter = std::make_shared<TGIFPainter>(GIFFrameSchedule::For(data_, repeat, async),
                                               data_.settings.animationSpeed, std::move(steps));
  {
    std::lock_guard<std::mutex> guard(paintersLock_);
    painters_.push_back(painter);
  }
  if (async) {
    painter->StartThread();
    painter->WaitForFirstPaint();
  } else {
    painter->RunHere();
  }
}

// Drawing.

void TGIFImage::DrawFirstFrame(QPainter& painter, const QRect& target) const {
  const TGIFSubImage& frame = data_.Images().front();
  if (frame.PixelCount() == 0) return;
  if (firstFrameImage_.isNull()) {
    const TGIFFrameBitmap& rendered = frame.Rendered(data_.Header(), Dithering());
    const bool holes = data_.settings.drawOptions.Has(TGIFDrawOption::Transparent);
    QImage image(frame.Width(), frame.Height(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < frame.Height(); ++y) {
      const uint8_t* source = rendered.bitmap.ScanLine(y);
      auto* target32 = reinterpret_cast<QRgb*>(image.scanLine(y));
      for (int x = 0; x < frame.Width(); ++x) {
        const RGBQuad c = rendered.bitmap.Palette()[source[x]];
        const bool hole =
            holes && rendered.Transparent(size_t(y) * size_t(frame.Width()) + size_t(x));
        target32[x] = hole ? 0 : qRgb(c.red, c.green, c.blue);
      }
    }
    firstFrameImage_ = image;
  }
  // The frame keeps its place on the logical screen, which fills the target.
  const double sx = Width() > 0 ? double(target.width()) / Width() : 1.0;
  const double sy = Height() > 0 ? double(target.height()) / Height() : 1.0;
  const QRectF place(target.x() + frame.Left() * sx, target.y() + frame.Top() * sy,
                     frame.Width() * sx, frame.Height() * sy);
  painter.drawImage(place, firstFrameImage_);
}

void TGIFImage::Draw(QPainter& painter, const QRect& target) const {
  if (data_.Empty() || target.isEmpty()) return;
  const TGIFDrawOptions options = data_.settings.drawOptions;
  if (data_.Images().size() == 1 || !options.Has(TGIFDrawOption::Animate) ||
      !QCoreApplication::instance()) {
    DrawFirstFrame(painter, target);
    return;
  }
  if (!canvas_) StartPainter();
  if (!canvas_ || canvas_->Canvas().Empty()) return;
  const velk::Bitmap& canvas = canvas_->Canvas();
  const QImage image(canvas.Bits(), canvas.Width(), canvas.Height(), qsizetype(canvas.Stride()),
                     options.Has(TGIFDrawOption::Transparent) ? QImage::Format_ARGB32_Premultiplied
                                                              : QImage::Format_RGB32);
  painter.drawImage(target, image);
}

}  // namespace velk
