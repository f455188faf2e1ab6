#include "options/slide_show_page.h"

#include <QListWidget>
#include <QSpinBox>
#include <QTimer>

#include "options/convert_fixture.h"
#include "options/convert_page.h"
#include "image/jpeg_codec.h"
#include "platform/atomic_file.h"
#include "widgets/toolbar_button.h"

namespace velk {
namespace {

constexpr RGBQuad kRed{0, 0, 255, 0};
constexpr RGBQuad kBlue{255, 0, 0, 0};

class SlideShowPageTest : public test::ConvertFixture {
protected:
  TSlideShowPage& Page() { return *options->findChild<TSlideShowPage*>("SlideShowPage"); }
  void Add(const std::vector<std::string>& files) {
    dialogs->fileAnswers.push_back(files);
    Page().addButton->click();
  }
  // Caption and top-left colour's red of each slide shown.
  std::vector<std::pair<std::string, int>> Shown() const {
    std::vector<std::pair<std::string, int>> shown;
    for (const auto& slide : host.shown) shown.emplace_back(slide.caption, slide.colour.red);
    return shown;
  }
  std::string a = Bmp("a.bmp", test::SolidBitmap(4, 4, kRed));
  std::string b = Bmp("b.bmp", test::SolidBitmap(4, 4, kBlue));
};

TEST_F(SlideShowPageTest, TwoFilesLoopFromLineZeroUntilTheTimerStops) {
  Add({b, a});
  Page().slideList->setCurrentRow(1);
  EXPECT_FALSE(Page().slideTimer->isActive());
  Page().startButton->click();  // Start: line 0 at once
  EXPECT_TRUE(Page().slideTimer->isActive());
  EXPECT_EQ(Page().slideTimer->interval(), 1000);
  Page().OnSlideTimer();
  Page().OnSlideTimer();
  using Shows = std::vector<std::pair<std::string, int>>;
  EXPECT_EQ(Shown(), (Shows{{a, 255}, {b, 0}, {a, 255}}));
  EXPECT_EQ(Page().slideList->currentRow(), 1);  // names the next slide
}

// Each slide stays the delay from the moment it shows, however long it took to read, and the
// next one is read meanwhile on another thread, then shown as it would have been read at its
// turn. The first slide is a photo whose 256-colour decode takes a good part of a second.
TEST_F(SlideShowPageTest, EachSlideStaysItsDelayFromWhenItShowsAndTheNextIsReadMeanwhile) {
  const std::string photo = dir.File("0-photo.jpg");  // first in the sorted list
  WriteFileAtomically(photo, EncodeJpeg(test::GradientBitmap(4000, 3000), JpegEncodeOptions{}));
  Add({photo, a});
  Page().startButton->click();
  EXPECT_GT(Page().slideTimer->remainingTime(), 900);
  EXPECT_EQ(Page().SlideAhead(), a);
  Page().OnSlideTimer();
  EXPECT_EQ(Page().SlideAhead(), photo);
  Page().OnSlideTimer();
  ASSERT_EQ(host.shown.size(), 3u);
  EXPECT_EQ(host.shown[1].caption, a);
  EXPECT_EQ(host.shown[1].colour.red, 255);
  EXPECT_EQ(host.shown[2].caption, photo);
  EXPECT_EQ(host.shown[2].colour, host.shown[0].colour);
  EXPECT_EQ(options->workingPicture->FileName(), photo);
}

TEST_F(SlideShowPageTest, PreviewKeepsTheSelectionAndLeavesTheTimerAlone) {
  Add({a, b});
  Page().previewButton->click();
  EXPECT_EQ(Page().slideList->currentRow(), 0);
  Page().slideList->setCurrentRow(1);
  Page().previewButton->click();
  EXPECT_EQ(Page().slideList->currentRow(), 1);
  EXPECT_FALSE(Page().slideTimer->isActive());
  ASSERT_EQ(host.shown.size(), 2u);
  EXPECT_EQ(host.shown[1].caption, b);
}

TEST_F(SlideShowPageTest, ButtonsFollowTheLineCount) {
  auto states = [this] {
    return std::vector<bool>{Page().removeButton->isEnabled(), Page().clearButton->isEnabled(),
                             Page().previewButton->isEnabled(), Page().startButton->isEnabled()};
  };
  Add({a});
  EXPECT_EQ(states(), (std::vector<bool>{true, true, true, false}));  // one line: no Start
  Page().previewButton->click();
  EXPECT_EQ(host.shown.size(), 1u);
  Add({b});
  EXPECT_EQ(states(), (std::vector<bool>{true, true, true, true}));
  Page().removeButton->click();
  EXPECT_EQ(states(), (std::vector<bool>{true, true, true, false}));
  Page().removeButton->click();
  EXPECT_EQ(states(), (std::vector<bool>{false, false, false, false}));
  Add({a, b});
  Page().clearButton->click();
  EXPECT_EQ(states(), (std::vector<bool>{false, false, false, false}));
}

TEST_F(SlideShowPageTest, BothFileListsSortWithoutRegardToCaseAndShowTheFileNames) {
  const std::string deep = "/photos/" + std::string(120, 'f') + "/holiday.jpg";
  const std::vector<std::string> files = {"/p/Photo.JPG", "/p/b.bmp", deep, "/p/a.gif",
                                          "/p/A.gif"};
  Add(files);
  auto* convert = options->findChild<TConvertPage*>("ConvertPage");
  dialogs->fileAnswers.push_back(files);
  convert->addButton->click();
  options->show();
  for (auto [list, page] : {std::pair{Page().slideList, 9}, std::pair{convert->inputList, 8}}) {
    SCOPED_TRACE(list->objectName().toStdString());
    options->ShowPage(page);
    QStringList order;
    for (int i = 0; i < list->count(); ++i) order << list->item(i)->text();
    EXPECT_EQ(order, (QStringList{"/p/A.gif", "/p/a.gif", "/p/b.bmp", "/p/Photo.JPG",
                                  QString::fromStdString(deep)}));
    // The long path is shortened in the middle within the list, so its name shows.
    list->doItemsLayout();
    EXPECT_LE(list->visualRect(list->model()->index(4, 0)).right(), list->viewport()->width());
    EXPECT_EQ(list->textElideMode(), Qt::ElideMiddle);
  }
}

TEST_F(SlideShowPageTest, DelayChangesTakeEffectAtOnceAndStayInRange) {
  Add({a, b});
  Page().startButton->click();
  Page().delayBox->setValue(5);
  EXPECT_EQ(Page().slideTimer->interval(), 5000);
  EXPECT_TRUE(Page().slideTimer->isActive());
  Page().delayBox->setValue(40);
  EXPECT_EQ(Page().slideTimer->interval(), 20000);
}

TEST_F(SlideShowPageTest, AFailedSlideKeepsThePreviousPictureUnderTheNewCaption) {
  const std::string bad = Corrupt("c.bmp");
  const std::string badTiff = Corrupt("d.TIF");  // loaded as the converter loads TIFF
  Add({a, bad, badTiff});
  Page().startButton->click();
  Page().OnSlideTimer();
  Page().OnSlideTimer();
  Page().OnSlideTimer();
  using Shows = std::vector<std::pair<std::string, int>>;
  EXPECT_EQ(Shown(), (Shows{{a, 255}, {bad, 255}, {badTiff, 255}, {a, 255}}));
  EXPECT_EQ(dialogs->Texts(), std::vector<std::string>{});  // passed over silently
}

}  // namespace
}  // namespace velk
