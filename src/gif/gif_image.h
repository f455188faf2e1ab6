#pragma once
// TGIFImage: the GIF graphic. It holds a GIF's header and frames, loads and saves them, converts
// to and from bitmaps, and draws itself; multi-frame images are animated by a painter.
#include <QImage>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "gif/gif_image_data.h"
#include "platform/graphic.h"

namespace velk {

class GIFCompositor;
class TGIFPainter;

class TGIFImage : public Graphic {
public:
  TGIFImage();
  // A copy holds the same header, settings and frames (see Assign).
  TGIFImage(const TGIFImage& other);
  TGIFImage& operator=(const TGIFImage& other);
  // Stops the painters first.
  ~TGIFImage() override;

  // The logical screen's size.
  int Width() const override { return data_.Header().width; }
  int Height() const override { return data_.Header().height; }
  // One frame, or the animate option off: the first frame, transparent where it is. Several
  // frames: the painter's canvas, the painter started (and its first frame awaited) on the first
  // call. User-interface thread only.
  void Draw(QPainter& painter, const QRect& target) const override;
  std::unique_ptr<Graphic> Clone() const override;
  velk::Bitmap ToBitmap() const override { return Bitmap(); }

  // Loading clears the image first; failures throw GIFException (EFileError for a file that
  // cannot be read) and keep the frames read completely before them.
  void LoadFromFile(const std::string& path);
  void LoadFromStream(std::istream& stream);
  void LoadFromMemory(const uint8_t* data, size_t size);
  // Throws GIFException, or EFileError when the file cannot be written (atomically).
  void SaveToFile(const std::string& path) const;
  void SaveToStream(std::ostream& stream) const;
  std::vector<uint8_t> SaveToBytes() const { return data_.SaveToBytes(); }

  // The first frame on the logical screen, kept until the image changes; empty without frames.
  const velk::Bitmap& Bitmap() const;
  // Clears the image and makes one frame of the bitmap (palette bitmaps as they are, others on
  // the fixed 216-colour palette).
  void Assign(const velk::Bitmap& bitmap);
  // Copies header, settings and all frames.
  void Assign(const TGIFImage& source);
  void Clear();

  const TGIFHeader& Header() const { return data_.Header(); }
  const std::vector<TGIFSubImage>& Images() const { return data_.Images(); }
  const GIFImageData& Data() const { return data_; }
  // Changes the contents in place: the painters stop and cached bitmaps go before change runs.
  void Modify(const std::function<void(GIFImageData&)>& change);

  const TGIFSettings& Settings() const { return data_.settings; }
  // A change of settings is a change of the image: painters stop.
  void SetSettings(const TGIFSettings& settings);
  TGIFDrawOptions DrawOptions() const { return data_.settings.drawOptions; }
  void SetDrawOptions(TGIFDrawOptions options);
  int AnimationSpeed() const { return data_.settings.animationSpeed; }
  void SetAnimationSpeed(int speed);
  // Frames are rendered onto the 216-colour palette: dither on, and auto-dither off or a screen
  // of at most 8 bits per pixel.
  bool Dithering() const;

  // Warnings of loading and assigning; unset, they are silent.
  GIFWarningHandler OnWarning;
  // The painter's steps, raised on the user-interface thread.
  using TPaintEvent = std::function<void(const TGIFImage& sender)>;
  TPaintEvent OnStartPaint, OnPaint, OnAfterPaint, OnLoop, OnEndPaint;

  // Stops every painter, waiting for each while running the hand-offs of painter threads.
  void StopPainters() const;
  // A painter is playing.
  bool IsPainting() const;
  // The frame painted last by the painter, -1 before the first.
  int PaintedFrame() const { return paintedFrame_; }

private:
  void BeforeChange();
  void AfterChange();
  void StartPainter() const;
  void PaintStep(int frame) const;
  void Notify(const TPaintEvent& event) const {
    if (event) event(*this);
  }
  void DrawFirstFrame(QPainter& painter, const QRect& target) const;

  GIFImageData data_;
  mutable std::mutex paintersLock_;
  mutable std::vector<std::shared_ptr<TGIFPainter>> painters_;
  mutable std::unique_ptr<GIFCompositor> canvas_;  // the painter's buffer
  mutable QImage firstFrameImage_;                 // the first frame with its holes, for drawing
  mutable int paintedFrame_ = -1;
};

}  // namespace velk
