#include "options/convert_command.h"

#include "gif/gif_image.h"
#include "image/jpeg_codec.h"
#include "image/tiff_reader.h"
#include "options/conversion.h"
#include "options/convert_fixture.h"
#include "platform/atomic_file.h"

namespace velk {
namespace {

using Lines = std::vector<std::string>;

TEST(ConversionNames, OutputPathsAndExtensions) {
  EXPECT_EQ(LowerExtension("/pics/Beach.JPEG"), ".jpeg");
  EXPECT_EQ(LowerExtension("/pi.cs/README"), "");
  EXPECT_EQ(LowerExtension("/pics/ÉTÉ.TÏF"), ".tïf");  // the system's case rules
  EXPECT_EQ(ConvertOutputPath("/out/", "/pics/Beach.JPEG", 2), "/out/Beach.gif");
  EXPECT_EQ(ConvertOutputPath("/out/", "/pics/a.b.bmp", 3), "/out/a.b.tif");
  EXPECT_EQ(ConvertOutputPath("/", "/pi.cs/noext", 1), "/noext.jpg");
}

class ConvertCommandTest : public test::ConvertFixture {
protected:
  ConvertSummary Run(std::vector<std::string> files, int format, unsigned threads = 2) {
    ConvertJob job;
    job.files = std::move(files);
    job.folder = dir.File("out") + "/";
    job.format = format;
    job.threads = threads;
    std::filesystem::create_directories(dir.File("out"));
    lines.clear();
    return ConvertFiles(job, [this](const std::string& line) { lines.push_back(line); });
  }
  Lines lines;
};

TEST_F(ConvertCommandTest, ReportsInFileOrderAndCountsFailures) {
  std::vector<std::string> files;
  for (int i = 0; i < 9; ++i)
    files.push_back(i == 4 ? Corrupt("f4.bmp") : Bmp("f" + std::to_string(i) + ".bmp", test::GradientBitmap(300, 200)));
  files.push_back(dir.File("missing.gif"));
  const ConvertSummary summary = Run(files, 2);
  EXPECT_EQ(summary.converted, 8);
  EXPECT_EQ(summary.errors, 2);
  ASSERT_EQ(lines.size(), 10u);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(lines[i].rfind("[" + std::to_string(i + 1) + "/10] ", 0), 0u) << lines[i];
  EXPECT_EQ(lines[4], "[5/10] " + files[4] + ": Bitmap image is not valid");
  EXPECT_EQ(lines[0], "[1/10] " + files[0] + " -> " + dir.File("out/f0.gif"));
}

TEST_F(ConvertCommandTest, AFileReplacedByAnEarlierOutputIsReadAfterIt) {
  // x.gif's TIFF output replaces x.tif before x.tif is read, as in a one-by-one run.
  std::filesystem::create_directories(dir.File("out"));
  TGIFImage gif;
  gif.Assign(test::SolidBitmap(3, 3, {0, 255, 0}));
  gif.SaveToFile(dir.File("out/x.gif"));
  dir.Write("out/x.tif", "not a TIFF at all");
  const ConvertSummary summary = Run({dir.File("out/x.gif"), dir.File("out/x.tif")}, 3);
  EXPECT_EQ(summary.errors, 0) << lines.back();
  Bitmap result;
  ASSERT_TRUE(LoadTiffIntoBitmap(dir.File("out/x.tif"), result));
  EXPECT_EQ(result.PixelColor(1, 1).green, 255);
}

TEST_F(ConvertCommandTest, EveryFailureCountsAndTheRunGoesOnInEveryFormat) {
  // No pixels: a GIF with a 0 x 0 screen, one with a screen but no image. b's target is a folder.
  const std::string zero = "zero.gif", none = "none.gif";
  dir.Write(zero, std::string("GIF87a\0\0\0\0\0\0\0;", 14));
  dir.Write(none, std::string("GIF89a\4\0\4\0\0\0\0;", 14));
  const std::vector<std::string> files = {
      dir.File(zero), Bmp("a.bmp", test::SolidBitmap(2, 2, {})), dir.File(none),
      Bmp("b.bmp", test::SolidBitmap(2, 2, {})), Bmp("c.bmp", test::SolidBitmap(2, 2, {}))};
  for (int format = 0; format < kConvertFormatCount; ++format) {
    SCOPED_TRACE(format);
    std::filesystem::create_directories(dir.File("out/b") + kConvertExtensions[format]);
    const ConvertSummary summary = Run(files, format);
    EXPECT_EQ(summary.converted, 2);
    EXPECT_EQ(summary.errors, 3);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "[1/5] " + files[0] + ": The picture is empty");
    EXPECT_EQ(lines[2], "[3/5] " + files[2] + ": The picture is empty");
    for (const char* name : {"zero", "none"})
      EXPECT_FALSE(std::filesystem::exists(dir.File("out/") + name + kConvertExtensions[format]));
    EXPECT_TRUE(std::filesystem::exists(dir.File("out/c") + kConvertExtensions[format]));
  }
}

TEST_F(ConvertCommandTest, JpegOutputWidensEveryDepth) {
  std::vector<std::string> files;
  for (const int bits : {1, 4, 16, 32}) {
    Bitmap red(9, 7, bits);  // palette entry 0, 5-5-5 or B,G,R,X red
    if (red.HasPalette()) red.Palette()[0] = {0, 0, 255, 0};
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 9; ++x)
        if (bits == 16) red.ScanLine(y)[2 * x + 1] = 0x7C;
        else if (bits == 32) red.ScanLine(y)[4 * x + 2] = 255;
    files.push_back(Bmp("d" + std::to_string(bits) + ".bmp", red));
  }
  const ConvertSummary summary = Run(files, 1);
  EXPECT_EQ(summary.errors, 0) << lines.back();
  for (const int bits : {1, 4, 16, 32}) {
    SCOPED_TRACE(bits);
    const auto jpeg = ReadWholeFile(dir.File("out/d" + std::to_string(bits) + ".jpg"));
    ASSERT_TRUE(jpeg);
    JpegDecodeOptions trueColour;
    trueColour.numOfColors = TNumOfColors::TrueColor;
    const RGBQuad pixel = DecodeJpeg(jpeg->data(), jpeg->size(), trueColour).PixelColor(4, 3);
    EXPECT_GT(pixel.red, 240);
    EXPECT_LT(pixel.green + pixel.blue, 20);
  }
}

TEST_F(ConvertCommandTest, CommandLineExitCodes) {
  const std::string good = Bmp("g.bmp", test::SolidBitmap(2, 2, {}));
  std::filesystem::create_directories(dir.File("out"));
  auto run = [](std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "velkview");
    std::vector<char*> argv;
    for (auto& argument : arguments) argv.push_back(argument.data());
    return RunConvertCommand(int(argv.size()), argv.data());
  };
  EXPECT_EQ(run({"--convert", "jpeg", "--quality", "90", "--output", dir.File("out"), good}), 0);
  EXPECT_TRUE(std::filesystem::exists(dir.File("out/g.jpg")));
  EXPECT_EQ(run({"--convert", "tiff", "--output", dir.File("out"), good, dir.File("none.bmp")}), 1);
  EXPECT_EQ(run({"--convert", "png", "--output", dir.File("out"), good}), 2);
  EXPECT_EQ(run({"--convert", "gif", good}), 2);
  EXPECT_EQ(run({"--convert", "jpeg", "--quality", "101", "--output", "/", good}), 2);
}

}  // namespace
}  // namespace velk
