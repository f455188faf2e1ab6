#include "options/convert_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <functional>

#include "chrome/xdg_folders.h"
#include "image/jpeg_image.h"
#include "image/tiff_writer.h"
#include "options/conversion.h"
#include "platform/atomic_file.h"
#include "support/testdata.h"
#include "options/convert_fixture.h"
#include "widgets/toolbar_button.h"

namespace velk {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

// The first quantisation value of the first DQT table: 8 at quality 75, 16 at 50, 1 at 100
// for the standard luminance table (16 scaled).
int FirstQuantValue(const std::string& bytes) {
  for (size_t i = 2; i + 5 < bytes.size(); ++i)
    if (uint8_t(bytes[i]) == 0xFF && uint8_t(bytes[i + 1]) == 0xDB)
      return uint8_t(bytes[i + 5]);  // after length (2) and precision/id (1)
  return -1;
}

class ConvertPageTest : public test::ConvertFixture {
protected:
  TConvertPage& Page() { return *options->findChild<TConvertPage*>("ConvertPage"); }
  void Add(const std::vector<std::string>& files) {
    dialogs->fileAnswers.push_back(files);
    Page().addButton->click();
  }
  void ChooseFolder(const std::string& path) {
    dialogs->folderAnswers.push_back(path);
    Page().outputFolderButton->click();
  }
  void ChooseFormat(int index) {
    options->convertFormatBox->setCurrentIndex(index);
    emit options->convertFormatBox->activated(index);
  }
  void Convert() {
    dialogs->messages.clear();
    Page().convertButton->click();
  }
  std::vector<bool> ListButtons() {
    return {Page().deleteButton->isEnabled(), Page().clearButton->isEnabled(),
            Page().outputFolderButton->isEnabled(), Page().convertButton->isEnabled()};
  }
  // Reads a file back through ImageMagick as RGB.
  test::RgbImage ReadBack(const std::string& path) {
    const std::string ppm = path + ".ppm";
    EXPECT_EQ(test::Shell(im + " '" + path + "[0]' -depth 8 ppm:'" + ppm + "'"), 0) << path;
    return test::ReadPnm(ppm);
  }

  std::string im = test::ImageMagick();
};

TEST_F(ConvertPageTest, ButtonsFollowTheListAndTheFolderPickerAddsOneSeparator) {
  EXPECT_EQ(ListButtons(), (std::vector<bool>{false, false, false, false}));
  EXPECT_EQ(Page().outputFolderEdit->text().toStdString(), PicturesFolder() + "/");
  EXPECT_TRUE(options->qualityPanel->isHidden());
  Add({});  // cancelled
  EXPECT_EQ(Page().inputList->count(), 0);
  Add({"/p/b.bmp", "/p/a.jpg", "/p/b.bmp"});
  EXPECT_EQ(ListButtons(), (std::vector<bool>{true, true, true, true}));
  EXPECT_EQ(Page().inputList->item(0)->text(), "/p/a.jpg");  // sorted, duplicates kept
  EXPECT_EQ(Page().inputList->count(), 3);
  EXPECT_EQ(Page().inputList->currentRow(), 0);
  EXPECT_EQ(dialogs->fileBoxes.back().filter,
            "All Supported Images|*.jpg; *.jpeg; *.bmp; *.gif; *.tif; *.tiff;");
  EXPECT_TRUE(dialogs->fileBoxes.back().multiSelect);

  ChooseFolder("/");
  EXPECT_EQ(Page().outputFolderEdit->text(), "/");
  ChooseFolder("/srv/out");
  EXPECT_EQ(Page().outputFolderEdit->text(), "/srv/out/");
  ChooseFolder("");  // cancelled
  EXPECT_EQ(Page().outputFolderEdit->text(), "/srv/out/");

  ChooseFormat(1);
  EXPECT_FALSE(options->qualityPanel->isHidden());
  ChooseFormat(2);
  EXPECT_TRUE(options->qualityPanel->isHidden());

  Page().deleteButton->click();
  Page().deleteButton->click();
  EXPECT_EQ(ListButtons(), (std::vector<bool>{true, true, true, true}));
  Page().deleteButton->click();  // the last line
  EXPECT_EQ(ListButtons(), (std::vector<bool>{false, false, false, false}));
  Add({"/p/c.gif"});
  Page().clearButton->click();
  EXPECT_EQ(Page().inputList->count(), 0);
  EXPECT_EQ(ListButtons(), (std::vector<bool>{false, false, false, false}));
  EXPECT_TRUE(Page().addButton->isEnabled());
}

TEST_F(ConvertPageTest, QualityIs75UntilTheSliderMovesThen50Or100) {
  Add({Bmp("q.bmp", test::GradientBitmap(64, 64))});
  ChooseFolder(Out());
  ChooseFormat(1);
  EXPECT_EQ(options->qualitySlider->value(), 7);
  Convert();
  EXPECT_EQ(FirstQuantValue(dir.Read("out/q.jpg")), 8);  // 75
  options->qualitySlider->triggerAction(QAbstractSlider::SliderToMinimum);
  Convert();
  EXPECT_EQ(options->workingPicture->Quality(), 50);
  EXPECT_EQ(FirstQuantValue(dir.Read("out/q.jpg")), 16);
  options->qualitySlider->triggerAction(QAbstractSlider::SliderToMaximum);
  Convert();
  EXPECT_EQ(FirstQuantValue(dir.Read("out/q.jpg")), 1);
  EXPECT_EQ(dialogs->Texts(), (Texts{"1 files successfully converted"}));
}

TEST_F(ConvertPageTest, CorruptMiddleFileAndUnknownExtensionsCountAsErrors) {
  Add({Bmp("a.bmp", test::SolidBitmap(4, 4, {0, 0, 255})), Corrupt("b.bmp"),
       Bmp("c.bmp", test::SolidBitmap(4, 4, {255, 0, 0}))});
  ChooseFolder(Out());
  ChooseFormat(3);
  Convert();
  EXPECT_EQ(dialogs->Texts(), (Texts{"1 errors occurred", "2 files successfully converted"}));
  EXPECT_EQ(dialogs->messages[0].kind, MessageKind::Error);
  EXPECT_EQ(dialogs->messages[1].kind, MessageKind::Information);
  EXPECT_TRUE(fs::exists(dir.File("out/a.tif")));
  EXPECT_FALSE(fs::exists(dir.File("out/b.tif")));
  EXPECT_TRUE(fs::exists(dir.File("out/c.tif")));
  EXPECT_EQ(Page().inputList->currentRow(), 0);
  EXPECT_EQ(Page().inputList->count(), 3);  // a run leaves the list as it was

  Page().clearButton->click();
  dir.Write("notes.txt", "text");
  Add({dir.File("notes.txt")});
  Convert();
  EXPECT_EQ(dialogs->Texts(), (Texts{"1 errors occurred", "0 files successfully converted"}));
}

TEST_F(ConvertPageTest, OutputPathsReplaceTheLastExtensionAndLaterFilesWin) {
  Add({Bmp("one/s.bmp", test::SolidBitmap(4, 4, {0, 0, 255})),
       Bmp("two/s.bmp", test::SolidBitmap(4, 4, {255, 0, 0})),
       Bmp("one/a.b.bmp", test::SolidBitmap(2, 2, {0, 255, 0}))});
  ChooseFolder(Out());
  ChooseFormat(0);
  Convert();
  EXPECT_EQ(dialogs->Texts(), (Texts{"3 files successfully converted"}));
  EXPECT_TRUE(fs::exists(dir.File("out/a.b.bmp")));
  EXPECT_EQ(LoadBmpFile(dir.File("out/s.bmp")).PixelColor(0, 0).blue, 255);  // two/ comes later
  EXPECT_EQ(fs::directory_iterator(dir.File("out")) == fs::directory_iterator(), false);
  int files = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir.File("out"))) ++files;
  EXPECT_EQ(files, 2);  // no temporary files left behind
}

TEST_F(ConvertPageTest, UpperCaseExtensionsAndAnOutputEqualToItsInput) {
  if (im.empty()) GTEST_SKIP() << "ImageMagick not installed";
  ASSERT_EQ(test::Shell(im + " -size 40x30 gradient:red-blue '" + dir.File("PHOTO.JPG") + "'"), 0);
  SaveBitmapAsTiff(dir.File("scan.TIFF"), test::SolidBitmap(5, 5, {10, 20, 30}));
  Add({dir.File("PHOTO.JPG"), dir.File("scan.TIFF")});
  ChooseFolder(dir.Path());
  ChooseFormat(3);
  Convert();
  EXPECT_EQ(dialogs->Texts(), (Texts{"2 files successfully converted"}));
  EXPECT_EQ(ReadBack(dir.File("scan.tif")).Pixel(0, 0)[2], 10);

  // PHOTO.JPG to JPEG in its own folder: replaced by its 256-colour re-encoding.
  Page().clearButton->click();
  const std::string before = dir.Read("PHOTO.JPG");
  ASSERT_EQ(test::Shell("cp '" + dir.File("PHOTO.JPG") + "' '" + dir.File("photo.jpg") + "'"), 0);
  Add({dir.File("photo.jpg")});
  ChooseFormat(1);
  Convert();
  EXPECT_EQ(dialogs->Texts(), (Texts{"1 files successfully converted"}));
  EXPECT_NE(dir.Read("photo.jpg"), before);
  EXPECT_EQ(test::Shell("djpeg '" + dir.File("photo.jpg") + "'"), 0);
}

TEST_F(ConvertPageTest, NoFileCanEndTheRun) {
  // A 4-bit input widened for JPEG, a target that cannot be replaced, a GIF without pixels.
  Bitmap four(4, 4, 4);
  four.Palette()[0] = {1, 2, 3, 0};
  dir.Write("zero.gif", std::string("GIF87a\0\0\0\0\0\0\0;", 14));
  Add({Bmp("a.bmp", four), Bmp("b.bmp", test::SolidBitmap(4, 4, {1, 2, 3})),
       Bmp("c.bmp", test::SolidBitmap(4, 4, {1, 2, 3})), dir.File("zero.gif")});
  ChooseFolder(Out());
  fs::create_directories(dir.File("out/b.jpg"));
  dir.Write("out/b.jpg/keep", "x");
  ChooseFormat(1);
  Convert();
  ASSERT_EQ(dialogs->Texts().size(), 3u);
  EXPECT_NE(dialogs->messages[0].text.find("b.jpg"), std::string::npos);  // the write failure
  EXPECT_EQ(dialogs->messages[0].kind, MessageKind::Error);
  EXPECT_EQ(dialogs->messages[1].text, "2 errors occurred");
  EXPECT_EQ(dialogs->messages[2].text, "2 files successfully converted");
  EXPECT_EQ(Page().inputList->currentRow(), 0);
  EXPECT_EQ(dir.Read("out/b.jpg/keep"), "x");
  EXPECT_TRUE(fs::exists(dir.File("out/a.jpg")));
  EXPECT_TRUE(fs::exists(dir.File("out/c.jpg")));
  int files = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir.File("out"))) ++files;
  EXPECT_EQ(files, 3);  // no zero.jpg, no temporary files
}

TEST_F(ConvertPageTest, EveryFormatReadsBackInIndependentTools) {
  if (im.empty()) GTEST_SKIP() << "ImageMagick not installed";
  const Bitmap gradient = test::GradientBitmap(48, 32);
  Bitmap palette(48, 32, 8);  // a palette input keeps its colours exactly in a GIF
  for (int i = 0; i < 256; ++i)
    palette.Palette()[i] = {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2), 0};
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 48; ++x) palette.ScanLine(y)[x] = uint8_t(x * 5 + y);
  Add({Bmp("g.bmp", gradient), Bmp("p.bmp", palette)});
  ChooseFolder(Out());
  for (int format = 0; format < 4; ++format) {
    ChooseFormat(format);
    Convert();
    EXPECT_EQ(dialogs->Texts(), (Texts{"2 files successfully converted"})) << format;
  }
  const test::RgbImage g = test::ToRgb(gradient), p = test::ToRgb(palette);
  EXPECT_EQ(test::CompareRgb(g, ReadBack(dir.File("out/g.bmp"))), "");
  EXPECT_EQ(test::CompareRgb(p, ReadBack(dir.File("out/p.bmp"))), "");
  EXPECT_EQ(test::CompareRgb(g, ReadBack(dir.File("out/g.tif"))), "");
  // The palette TIFF's 16-bit colour map scales 8-bit values by 256, read back as /257.
  EXPECT_EQ(test::CompareRgb(p, ReadBack(dir.File("out/p.tif")), 1), "");
  EXPECT_EQ(test::CompareRgb(p, ReadBack(dir.File("out/p.gif"))), "");
  EXPECT_EQ(test::CompareRgb(g, ReadBack(dir.File("out/g.gif")), 52), "");  // 216-colour palette
  EXPECT_EQ(test::CompareRgb(g, ReadBack(dir.File("out/g.jpg")), 24), "");
  if (!test::Tool({"tiffinfo"}).empty()) {
    EXPECT_EQ(test::Shell("tiffinfo '" + dir.File("out/g.tif") + "'"), 0);
  }
  if (!test::Tool({"tiff2rgba"}).empty()) {
    EXPECT_EQ(
        test::Shell("tiff2rgba '" + dir.File("out/p.tif") + "' '" + dir.File("rgba.tif") + "'"), 0);
  }
  if (!test::Tool({"djpeg"}).empty()) {
    EXPECT_EQ(test::Shell("djpeg -pnm -outfile '" + dir.File("d.ppm") + "' '" +
                          dir.File("out/g.jpg") + "'"),
              0);
    EXPECT_EQ(test::CompareRgb(g, test::ReadPnm(dir.File("d.ppm")), 24), "");
  }
}

// A phone photo (EXIF Orientation 6) converts upright into formats that cannot carry the tag,
// JPEG included (written without it), unless the General page's box is off; a CMYK photo
// converts in every format.
TEST_F(ConvertPageTest, PhotosConvertUprightAndCmykConvertsToEveryFormat) {
  if (im.empty()) GTEST_SKIP() << "ImageMagick not installed";
  std::vector<uint8_t> phone = EncodeJpeg(test::GradientBitmap(8, 4), {});
  const uint8_t exif[] = {0xFF, 0xE1, 0x00, 0x1E, 'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0,
                          8, 0, 0, 0, 1, 0, 0x12, 0x01, 3, 0, 1, 0, 0, 0, 6, 0, 0, 0};
  phone.insert(phone.begin() + 2, std::begin(exif), std::end(exif));
  ASSERT_TRUE(WriteFileAtomically(dir.File("phone.jpg"), phone));
  std::vector<std::string> files = {dir.File("phone.jpg")};
  const std::string cmyk = test::TestDataDir() + "/jpeg/good/rose-cmyk.jpg";
  if (!test::TestDataDir().empty()) files.push_back(cmyk);
  Add(files);
  ChooseFolder(Out());
  for (int format = 0; format < 4; ++format) {
    SCOPED_TRACE(format);
    ChooseFormat(format);
    Convert();
    EXPECT_EQ(dialogs->Texts(),
              Texts{std::to_string(files.size()) + " files successfully converted"});
    const std::string output = dir.File("out/phone") + kConvertExtensions[format];
    EXPECT_EQ(ReadBack(output).width, 4);
    if (files.size() > 1) {
      EXPECT_EQ(ReadBack(dir.File("out/rose-cmyk") + kConvertExtensions[format]).width,
                test::ReadPnm(cmyk + ".ref.ppm").width);
    }
  }
  options->orientationBox->setChecked(false);
  ChooseFormat(0);
  Convert();
  EXPECT_EQ(ReadBack(dir.File("out/phone.bmp")).width, 8);
}

TEST_F(ConvertPageTest, AnAnimatedGifConvertsItsFirstFrame) {
  if (im.empty()) GTEST_SKIP() << "ImageMagick not installed";
  ASSERT_EQ(test::Shell(im + " -size 6x4 xc:red xc:blue '" + dir.File("anim.gif") + "'"), 0);
  Add({dir.File("anim.gif")});
  ChooseFolder(Out());
  ChooseFormat(0);
  Convert();
  EXPECT_EQ(dialogs->Texts(), (Texts{"1 files successfully converted"}));
  const Bitmap out = LoadBmpFile(dir.File("out/anim.bmp"));
  EXPECT_EQ(out.Width(), 6);
  EXPECT_EQ(out.PixelColor(3, 2).red, 255);
  EXPECT_EQ(out.PixelColor(3, 2).blue, 0);
}

}  // namespace
}  // namespace velk

namespace velk {
namespace {

// Between files the run shows its progress and takes events: the button, then Escape, stop it
// after the file in hand; what was written stays and the summary counts it.
TEST_F(ConvertPageTest, TheRunShowsItsProgressAndTheButtonOrEscapeCancelsIt) {
  std::vector<std::string> files;
  for (const char* name : {"a.bmp", "b.bmp", "c.bmp", "d.bmp"})
    files.push_back(Bmp(name, test::SolidBitmap(4, 4, {})));
  Add(files);
  ChooseFolder(Out());
  std::vector<int> rows;  // the list's selection as each file's progress is shown
  const auto stopAfter = [&](int files, const std::function<void()>& stop) {
    rows.clear();
    QObject::disconnect(Page().inputList, nullptr, nullptr, nullptr);
    QObject::connect(Page().inputList, &QListWidget::currentRowChanged, [&, files, stop](int row) {
      rows.push_back(row);
      if (row == files) QTimer::singleShot(0, stop);  // taken while the run shows the row
    });
  };

  stopAfter(2, [&] { Page().convertButton->click(); });
  Convert();
  EXPECT_EQ(host.statuses, (Texts{"1 of 4", "2 of 4"}));
  EXPECT_EQ(rows, (std::vector<int>{1, 2, 0}));
  EXPECT_EQ(dialogs->Texts(), Texts{"2 files successfully converted"});
  EXPECT_TRUE(fs::exists(Out() + "/b.bmp"));
  EXPECT_FALSE(fs::exists(Out() + "/c.bmp"));
  EXPECT_EQ(Page().convertButton->Caption(), "Convert");
  EXPECT_TRUE(Page().addButton->isEnabled());

  host.statuses.clear();
  options->show();
  options->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(options.get()));
  stopAfter(1, [&] {
    EXPECT_EQ(Page().convertButton->Caption(), "Cancel");
    EXPECT_FALSE(Page().addButton->isEnabled());
    QTest::keyClick(options.get(), Qt::Key_Escape);
  });
  Convert();
  EXPECT_EQ(host.statuses, Texts{"1 of 4"});
  EXPECT_EQ(dialogs->Texts(), Texts{"1 files successfully converted"});
  EXPECT_TRUE(options->isVisible());  // Escape cancelled the run, not the dialog
  QTest::keyClick(options.get(), Qt::Key_Escape);
  EXPECT_FALSE(options->isVisible());
}

}  // namespace
}  // namespace velk
