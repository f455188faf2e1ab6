#include "image/smooth_scale.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "platform/qimage_view.h"

namespace velk {

namespace {

// Where one target column or row samples: the two source pixels around its centre, and how far
// towards the second (0 to 256).
struct Tap {
  int first, second;
  uint32_t weight;
};

std::vector<Tap> TapsFor(int sourceLength, int targetLength) {
  std::vector<Tap> taps(static_cast<size_t>(targetLength));
  for (int i = 0; i < targetLength; ++i) {
    // The centre of target pixel i in source pixels, less half a pixel, in 16.16 fixed point.
    const int64_t centre =
        (int64_t(2 * i + 1) * sourceLength << 16) / (2 * int64_t(targetLength)) - (1 << 15);
    Tap& tap = taps[size_t(i)];
    if (centre <= 0) {
      tap = {0, 0, 0};
    } else if ((centre >> 16) >= sourceLength - 1) {
      tap = {sourceLength - 1, sourceLength - 1, 0};
    } else {
      tap.first = int(centre >> 16);
      tap.second = tap.first + 1;
      tap.weight = (uint32_t(centre & 0xffff) + 0x80) >> 8;
    }
  }
  return taps;
}

// Two rows of bytes blended into one, weight 0 to 256 towards the second, rounded.
void BlendRows(const uchar* first, const uchar* second, uchar* out, size_t count, uint32_t weight) {
  size_t i = 0;
#ifdef __SSE2__
  const __m128i zero = _mm_setzero_si128();
  const __m128i toSecond = _mm_set1_epi16(short(weight));
  const __m128i toFirst = _mm_set1_epi16(short(256 - weight));
  const __m128i half = _mm_set1_epi16(128);
  // Each lane stays under 16 bits: 255 x 256 + 128.
  auto blend = [&](__m128i a, __m128i b) {
    const __m128i sum = _mm_add_epi16(_mm_mullo_epi16(a, toFirst), _mm_mullo_epi16(b, toSecond));
    return _mm_srli_epi16(_mm_add_epi16(sum, half), 8);
  };
  for (; i + 16 <= count; i += 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(first + i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(second + i));
    const __m128i low = blend(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero));
    const __m128i high = blend(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(low, high));
  }
#endif
  for (; i < count; ++i) out[i] = uchar((first[i] * (256 - weight) + second[i] * weight + 128) >> 8);
}

// Two 8-bit channels per word, each lane kept under 16 bits, rounded.
inline uint32_t Mix(uint32_t a, uint32_t b, uint32_t weight) {
  return ((a * (256 - weight) + b * weight + 0x00800080) >> 8) & 0x00ff00ff;
}

// Pixel x of a row of 3 or 4 bytes a pixel (B, G, R first), as 0x00RRGGBB.
template <int kBytes>
inline uint32_t PixelAt(const uchar* row, int x) {
  const uchar* p = row + kBytes * size_t(x);
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
}

// One target row from a blended source row: each pixel between its two columns.
template <int kBytes>
void ScaleAlong(const uchar* row, const std::vector<Tap>& columns, uint32_t* out) {
  for (const Tap& column : columns) {
    const uint32_t a = PixelAt<kBytes>(row, column.first), b = PixelAt<kBytes>(row, column.second);
    const uint32_t redBlue = Mix(a & 0x00ff00ff, b & 0x00ff00ff, column.weight);
    const uint32_t green = Mix(a >> 8 & 0xff, b >> 8 & 0xff, column.weight);
    *out++ = 0xff000000 | redBlue | green << 8;
  }
}

// Rows of the target image, written through one pointer from each thread.
struct TargetRows {
  uchar* bits;
  qsizetype stride;
};

// The source's row y as 3 or 4 bytes a pixel: its own pixels, or palette colours looked up
// into the scratch row.
class SourceRows {
public:
  SourceRows(const QImage& source, const std::array<uint32_t, 256>* palette)
      : source_(source), palette_(palette) {}
  const uchar* Row(int y, std::vector<uint32_t>& scratch) const {
    const uchar* row = source_.constScanLine(y);
    if (!palette_) return row;
    scratch.resize(size_t(source_.width()));
    for (int x = 0; x < source_.width(); ++x) scratch[size_t(x)] = (*palette_)[row[x]];
    return reinterpret_cast<const uchar*>(scratch.data());
  }

private:
  const QImage& source_;
  const std::array<uint32_t, 256>* palette_;
};

// Down the rows first (two source rows blended into one, many bytes at a time), then along.
template <int kBytes>
void ScaleRows(const SourceRows& source, int sourceWidth, TargetRows target,
               const std::vector<Tap>& columns, const std::vector<Tap>& rows, int fromRow,
               int toRow) {
  const size_t rowBytes = size_t(kBytes) * size_t(sourceWidth);
  std::vector<uchar> blended(rowBytes);
  std::vector<uint32_t> firstScratch, secondScratch;
  for (int y = fromRow; y < toRow; ++y) {
    const Tap& row = rows[size_t(y)];
    const uchar* first = source.Row(row.first, firstScratch);
    const uchar* line = first;
    if (row.weight != 0) {
      BlendRows(first, source.Row(row.second, secondScratch), blended.data(), rowBytes, row.weight);
      line = blended.data();
    }
    ScaleAlong<kBytes>(line, columns, reinterpret_cast<uint32_t*>(target.bits + y * target.stride));
  }
}

template <int kBytes>
void ScaleAll(const SourceRows& source, QSize sourceSize, QImage& target) {
  const std::vector<Tap> columns = TapsFor(sourceSize.width(), target.width());
  const std::vector<Tap> rows = TapsFor(sourceSize.height(), target.height());
  const int height = target.height(), width = sourceSize.width();
  const TargetRows out{target.bits(), target.bytesPerLine()};
  auto scale = [&](int from, int to) {
    ScaleRows<kBytes>(source, width, out, columns, rows, from, to);
  };
  // A second thread takes the top half when that is worth starting one for.
  constexpr int64_t kPixelsWorthAThread = 1 << 16;
  if (int64_t(target.width()) * height < kPixelsWorthAThread ||
      std::thread::hardware_concurrency() < 2) {
    scale(0, height);
    return;
  }
  std::thread topHalf;
  try {
    topHalf = std::thread(scale, 0, height / 2);
  } catch (const std::system_error&) {
    scale(0, height / 2);  // no thread to be had
  }
  scale(height / 2, height);
  if (topHalf.joinable()) topHalf.join();
}

}  // namespace

QImage SmoothScaled(const QImage& source, QSize size) {
  if (source.isNull() || size.isEmpty()) return {};
  QImage target = RecycledQImage(size, QImage::Format_RGB32);
  if (target.isNull()) return {};
  switch (source.format()) {
    case QImage::Format_BGR888:
      ScaleAll<3>(SourceRows(source, nullptr), source.size(), target);
      return target;
    case QImage::Format_RGB32:
      ScaleAll<4>(SourceRows(source, nullptr), source.size(), target);
      return target;
    case QImage::Format_Indexed8: {
      // Indices past the colour table show black, as a draw of the picture does.
      std::array<uint32_t, 256> table;
      table.fill(0xff000000);
      const QList<QRgb> colours = source.colorTable();
      std::copy_n(colours.begin(), std::min<qsizetype>(colours.size(), 256), table.begin());
      ScaleAll<4>(SourceRows(source, &table), source.size(), target);
      return target;
    }
    default:
      return {};
  }
}

}  // namespace velk
