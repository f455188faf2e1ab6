#pragma once
// The settings every TGIFImage starts with. Only the values the program uses exist: the other
// colour reductions, ditherers and thread priorities of the format's toolbox are not provided.
#include <initializer_list>

namespace velk {

enum class TGIFDrawOption : unsigned {
  Async = 1,        // paint animations on a thread of their own
  Transparent = 2,  // draw transparent pixels as holes
  Animate = 4,      // play multi-frame images
  Loop = 8,         // honour the loop extension's passes
  Dither = 16,      // Floyd-Steinberg onto the 216-colour palette ...
  AutoDither = 32,  // ... only when the screen shows at most 256 colours
};

class TGIFDrawOptions {
public:
  TGIFDrawOptions(std::initializer_list<TGIFDrawOption> options) {
    for (TGIFDrawOption option : options) Include(option);
  }
  bool Has(TGIFDrawOption option) const { return bits_ & unsigned(option); }
  void Include(TGIFDrawOption option) { bits_ |= unsigned(option); }
  void Exclude(TGIFDrawOption option) { bits_ &= ~unsigned(option); }
  friend bool operator==(TGIFDrawOptions, TGIFDrawOptions) = default;

private:
  unsigned bits_ = 0;
};

// Bitmaps without a usable palette are reduced to the fixed 216-colour palette.
enum class TColorReduction { Fixed216 };
// The reduction maps each pixel to one colour, without error diffusion.
enum class TDitherMode { None };
enum class TGIFCompression { LZW };
enum class TThreadPriority { Normal };

struct TGIFSettings {
  TGIFDrawOptions drawOptions{TGIFDrawOption::Async,   TGIFDrawOption::Transparent,
                              TGIFDrawOption::Animate, TGIFDrawOption::Loop,
                              TGIFDrawOption::Dither,  TGIFDrawOption::AutoDither};
  TColorReduction colorReduction = TColorReduction::Fixed216;
  int reductionBits = 8;  // for an octree reduction, which is never selected
  TDitherMode ditherMode = TDitherMode::None;
  TGIFCompression compression = TGIFCompression::LZW;
  TThreadPriority threadPriority = TThreadPriority::Normal;
  int animationSpeed = 100;  // per cent; frame delays are scaled by 100 / speed
};

}  // namespace velk
