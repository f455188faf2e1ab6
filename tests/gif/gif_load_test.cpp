// Loading: signature, blocks, extensions, failures and warnings.
#include <gtest/gtest.h>

#include <sstream>

#include "gif/gif_image_data.h"
#include "gif_test_util.h"

namespace velk {
namespace {

using test::FrameSpec;
using test::MakeGif;

const std::vector<TGIFColor> kFourColors{{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};

std::vector<uint8_t> TwoFrameGif() {
  return MakeGif(4, 3, kFourColors,
                 {FrameSpec{0, 0, 4, 3, {}, [](int x, int y) { return (x + y) % 4; }, 20},
                  FrameSpec{1, 1, 2, 2, {}, [](int x, int) { return x; }, 30, 2, 0}},
                 0)
      .SaveToBytes();
}

struct Loaded {
  GIFImageData gif;
  std::vector<std::string> warnings;
  std::string error = "none";
};

Loaded Load(const std::vector<uint8_t>& bytes) {
  Loaded out;
  out.gif.OnWarning = [&](const std::string& w) { out.warnings.push_back(w); };
  try {
    out.gif.LoadFromMemory(bytes.data(), bytes.size());
  } catch (const GIFException& e) {
    out.error = e.what();
  }
  out.gif.OnWarning = nullptr;
  return out;
}

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }
// A literal with its zero bytes.
template <size_t N>
std::string Raw(const char (&text)[N]) {
  return std::string(text, N - 1);
}

TEST(GifLoad, FindsTheSignatureAtOffsetZeroOrFour) {
  std::vector<uint8_t> good = TwoFrameGif();
  std::vector<uint8_t> prefixed = Bytes("junk");
  prefixed.insert(prefixed.end(), good.begin(), good.end());
  std::vector<uint8_t> lower = good;
  lower[0] = 'g', lower[1] = 'i', lower[2] = 'f';
  std::vector<uint8_t> oddVersion = good;
  oddVersion[3] = '0', oddVersion[4] = '0', oddVersion[5] = 'z';
  for (const std::vector<uint8_t>* bytes : {&good, &prefixed, &lower, &oddVersion}) {
    const Loaded l = Load(*bytes);
    EXPECT_EQ(l.error, "none");
    EXPECT_EQ(l.gif.Images().size(), 2u);
  }
  std::vector<uint8_t> fiveJunk = Bytes("junk!");
  fiveJunk.insert(fiveJunk.end(), good.begin(), good.end());
  EXPECT_EQ(Load(fiveJunk).error, "Invalid GIF signature");
  EXPECT_EQ(Load(Bytes("JIF89a\x01\0\x01\0\0\0\0;")).error, "Invalid GIF signature");
  EXPECT_EQ(Load(Bytes("GIF8")).error, "Premature end of data");
  EXPECT_EQ(Load(Bytes("GIF89a\x01\0")).error, "Premature end of data");
}

TEST(GifLoad, ReadsFramesWithTheExtensionsBeforeThem) {
  const Loaded l = Load(TwoFrameGif());
  ASSERT_EQ(l.error, "none");
  EXPECT_TRUE(l.warnings.empty());
  EXPECT_EQ(l.gif.Header().width, 4);
  EXPECT_EQ(l.gif.Header().height, 3);
  EXPECT_EQ(l.gif.Header().colorMap.Count(), 4);
  const auto& frames = l.gif.Images();
  ASSERT_EQ(frames.size(), 2u);
  ASSERT_EQ(frames[0].Extensions().size(), 2u);  // loop, then graphic control
  ASSERT_NE(frames[0].LoopExtension(), nullptr);
  EXPECT_EQ(frames[0].LoopExtension()->loops, 0);
  EXPECT_EQ(frames[0].GraphicControlExtension()->delay, 20);
  EXPECT_EQ(frames[1].Extensions().size(), 1u);
  EXPECT_EQ(frames[1].LoopExtension(), nullptr);
  const TGIFGraphicControlExtension* control = frames[1].GraphicControlExtension();
  EXPECT_EQ(control->delay, 30);
  EXPECT_EQ(control->Disposal(), TDisposalMethod::Background);
  EXPECT_TRUE(control->transparent);
  EXPECT_EQ(frames[1].Left(), 1);
  EXPECT_EQ(frames[1].Data()[1], 1);
  EXPECT_EQ(frames[0].Data()[5], (1 + 1) % 4);
}

// A GIF89a of one 1x1 frame, with the given blocks spliced in before the image.
std::vector<uint8_t> WithBlocks(const std::string& blocks) {
  std::vector<uint8_t> bytes = Bytes(Raw("GIF89a\x01\0\x01\0\x80\0\0"));
  bytes.insert(bytes.end(), {0, 0, 0, 255, 255, 255});
  bytes.insert(bytes.end(), blocks.begin(), blocks.end());
  const std::string image = Raw("\x2C\0\0\0\0\x01\0\x01\0\0\x02\x02\x4C\x01\0;");  // one pixel: 1
  bytes.insert(bytes.end(), image.begin(), image.end());
  return bytes;
}

TEST(GifLoad, KeepsEveryKindOfExtension) {
  const std::string comment = Raw("!\xFE\x05hello\x03 !!\0");
  const std::string text =
      Raw("!\x01\x0C"
          "\1\0\2\0\3\0\4\0\5\6\7\x08"
          "\x02hi\0");
  const std::string other =
      Raw("!\xFF\x0B"
          "XMP DataXMP"
          "\x02\x01\x02\x01\x09\0");
  const std::string animexts =
      Raw("!\xFF\x0B"
          "ANIMEXTS1.0"
          "\x05\x02\x00\x10\x00\x00"
          "\x02\x07\x07"
          "\x03\x01\x03\x00\0");
  const Loaded l = Load(WithBlocks(comment + text + other + animexts));
  ASSERT_EQ(l.error, "none");
  const auto& extensions = l.gif.Images().at(0).Extensions();
  ASSERT_EQ(extensions.size(), 4u);
  EXPECT_EQ(dynamic_cast<const TGIFCommentExtension&>(*extensions[0]).text, "hello !!");
  const auto& plain = dynamic_cast<const TGIFTextExtension&>(*extensions[1]);
  EXPECT_EQ(plain.gridHeight, 4);
  EXPECT_EQ(plain.backgroundIndex, 8);
  EXPECT_EQ(plain.text, "hi");
  const auto& unknown = dynamic_cast<const TGIFUnknownAppExtension&>(*extensions[2]);
  EXPECT_EQ(unknown.Name(), "XMP DataXMP");
  EXPECT_EQ(unknown.blocks, (std::vector<std::vector<uint8_t>>{{1, 2}, {9}}));
  const auto& loop = dynamic_cast<const TGIFAppExtNSLoop&>(*extensions[3]);
  EXPECT_EQ(loop.bufferSize, 0x1000u);
  EXPECT_EQ(loop.loops, 3);  // sub-block 7 is skipped
  // Written back, every extension reads the same again.
  const Loaded again = Load(l.gif.SaveToBytes());
  ASSERT_EQ(again.error, "none");
  EXPECT_EQ(again.gif.SaveToBytes(), l.gif.SaveToBytes());
}

TEST(GifLoad, RefusesBadExtensions) {
  EXPECT_EQ(Load(WithBlocks(Raw("!\x02\x01x\0"))).error, "Unknown extension type");
  EXPECT_EQ(Load(WithBlocks(Raw("!\xFF\x0BNETSCAPE2.0\x02\x01\x05\0"))).error, "Invalid GIF data");
  EXPECT_EQ(Load(WithBlocks(Raw("!\xFF\x0BNETSCAPE2.0\x04\x02\1\2\3\0"))).error,
            "Invalid GIF data");
}

TEST(GifLoad, AFrameWithoutSizeTakesTheScreenSize) {
  std::vector<uint8_t> bytes = WithBlocks("");
  bytes[6] = 3, bytes[8] = 2;    // a 3 x 2 screen
  bytes[bytes.size() - 11] = 0;  // image width 0
  const Loaded l = Load(bytes);
  ASSERT_EQ(l.error, "none");
  EXPECT_EQ(l.gif.Images()[0].Width(), 3);
  EXPECT_EQ(l.gif.Images()[0].Height(), 2);
  EXPECT_EQ(l.gif.Images()[0].Data()[0], 1);
  EXPECT_EQ(l.warnings, (std::vector<std::string>{"Image exceeds Logical Screen size",
                                                  "Premature end of data"}));
}

TEST(GifLoad, SkipsZeroBytesAndEndsAtAnUnknownBlock) {
  std::vector<uint8_t> bytes = TwoFrameGif();
  // Between the screen's colour map and the loop extension.
  bytes.insert(bytes.begin() + 13 + 12, {0, 0, 0});
  EXPECT_EQ(Load(bytes).gif.Images().size(), 2u);
  bytes.back() = 'x';  // in place of the trailer
  Loaded l = Load(bytes);
  EXPECT_EQ(l.error, "none");
  EXPECT_EQ(l.gif.Images().size(), 2u);
  EXPECT_EQ(l.warnings, (std::vector<std::string>{"Unknown GIF block type"}));
}

TEST(GifLoad, ACutFileKeepsTheFramesReadCompletely) {
  const std::vector<uint8_t> whole = TwoFrameGif();
  const FrameSpec first{0, 0, 4, 3, {}, [](int x, int y) { return (x + y) % 4; }, 20};
  const GIFImageData firstOnly = MakeGif(4, 3, kFourColors, {first}, 0);
  const size_t firstFrameEnd = firstOnly.SaveToBytes().size() - 1;  // before its trailer
  for (size_t cut = 0; cut < whole.size(); ++cut) {
    const Loaded l = Load(std::vector<uint8_t>(whole.begin(), whole.begin() + long(cut)));
    EXPECT_NE(l.error, "none") << cut;
    const size_t kept = cut == whole.size() - 1 ? 2 : cut >= firstFrameEnd ? 1 : 0;
    EXPECT_EQ(l.gif.Images().size(), kept) << cut;
  }
}

TEST(GifLoad, PutsTheStreamBackOnFailure) {
  const std::vector<uint8_t> gif = TwoFrameGif();
  std::string text = "head" + std::string(gif.begin(), gif.end()) + "tail";
  std::istringstream stream(text);
  stream.seekg(4);
  GIFImageData image;
  image.LoadFromStream(stream);
  EXPECT_EQ(stream.tellg(), std::streampos(4 + gif.size()));
  EXPECT_EQ(image.Images().size(), 2u);

  std::istringstream cut(text.substr(0, 4 + gif.size() - 5));
  cut.seekg(4);
  EXPECT_THROW(image.LoadFromStream(cut), GIFException);
  EXPECT_EQ(cut.tellg(), std::streampos(4));
  EXPECT_EQ(image.Images().size(), 1u);
}

}  // namespace
}  // namespace velk
