#include "options/convert_command.h"

#include "gif/gif_image.h"
#include "image/tiff_reader.h"
#include "options/conversion.h"
#include "options/convert_fixture.h"

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
  EXPECT_FALSE(summary.stopped);
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

TEST_F(ConvertCommandTest, AWriteFailureStopsTheRun) {
  std::filesystem::create_directories(dir.File("out/b.bmp"));
  const ConvertSummary summary =
      Run({Bmp("a.bmp", test::SolidBitmap(2, 2, {})), Bmp("b.bmp", test::SolidBitmap(2, 2, {})),
           Bmp("c.bmp", test::SolidBitmap(2, 2, {}))}, 0);
  EXPECT_TRUE(summary.stopped);
  EXPECT_EQ(summary.converted, 1);
  EXPECT_EQ(lines.size(), 2u);
  EXPECT_FALSE(std::filesystem::exists(dir.File("out/c.bmp")));
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
