#include "options/slide_show_page.h"

#include <QListWidget>
#include <QSpinBox>
#include <QTimer>

#include "options/convert_fixture.h"
#include "options/convert_page.h"
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
    Page().ToolbarButton9718->click();
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
  Page().Listbox971->setCurrentRow(1);
  EXPECT_FALSE(Page().Timer1->isActive());
  Page().ToolbarButton9717->click();  // Start: line 0 at once
  EXPECT_TRUE(Page().Timer1->isActive());
  EXPECT_EQ(Page().Timer1->interval(), 1000);
  Page().Timer1Timer();
  Page().Timer1Timer();
  using Shows = std::vector<std::pair<std::string, int>>;
  EXPECT_EQ(Shown(), (Shows{{a, 255}, {b, 0}, {a, 255}}));
  EXPECT_EQ(Page().Listbox971->currentRow(), 1);  // names the next slide
}

TEST_F(SlideShowPageTest, PreviewKeepsTheSelectionAndLeavesTheTimerAlone) {
  Add({a, b});
  Page().ToolbarButton9721->click();
  EXPECT_EQ(Page().Listbox971->currentRow(), 0);
  Page().Listbox971->setCurrentRow(1);
  Page().ToolbarButton9721->click();
  EXPECT_EQ(Page().Listbox971->currentRow(), 1);
  EXPECT_FALSE(Page().Timer1->isActive());
  ASSERT_EQ(host.shown.size(), 2u);
  EXPECT_EQ(host.shown[1].caption, b);
}

TEST_F(SlideShowPageTest, ButtonsFollowTheLineCount) {
  auto states = [this] {
    return std::vector<bool>{Page().ToolbarButton9719->isEnabled(), Page().ToolbarButton9720->isEnabled(),
                             Page().ToolbarButton9721->isEnabled(), Page().ToolbarButton9717->isEnabled()};
  };
  Add({a});
  EXPECT_EQ(states(), (std::vector<bool>{true, true, true, false}));  // one line: no Start
  Page().ToolbarButton9721->click();
  EXPECT_EQ(host.shown.size(), 1u);
  Add({b});
  EXPECT_EQ(states(), (std::vector<bool>{true, true, true, true}));
  Page().ToolbarButton9719->click();
  EXPECT_EQ(states(), (std::vector<bool>{true, true, true, false}));
  Page().ToolbarButton9719->click();
  EXPECT_EQ(states(), (std::vector<bool>{false, false, false, false}));
  Add({a, b});
  Page().ToolbarButton9720->click();
  EXPECT_EQ(states(), (std::vector<bool>{false, false, false, false}));
}

TEST_F(SlideShowPageTest, BothFileListsSortWithoutRegardToCaseAndShowTheFileNames) {
  const std::string deep = "/photos/" + std::string(120, 'f') + "/holiday.jpg";
  const std::vector<std::string> files = {"/p/Photo.JPG", "/p/b.bmp", deep, "/p/a.gif",
                                          "/p/A.gif"};
  Add(files);
  auto* convert = options->findChild<TConvertPage*>("ConvertPage");
  dialogs->fileAnswers.push_back(files);
  convert->ToolbarButton971->click();
  options->show();
  for (auto [list, page] : {std::pair{Page().Listbox971, 9}, std::pair{convert->ListBox1, 8}}) {
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
  Page().ToolbarButton9717->click();
  Page().SpinEdit1->setValue(5);
  EXPECT_EQ(Page().Timer1->interval(), 5000);
  EXPECT_TRUE(Page().Timer1->isActive());
  Page().SpinEdit1->setValue(40);
  EXPECT_EQ(Page().Timer1->interval(), 20000);
}

TEST_F(SlideShowPageTest, AFailedSlideKeepsThePreviousPictureUnderTheNewCaption) {
  const std::string bad = Corrupt("c.bmp");
  const std::string badTiff = Corrupt("d.TIF");  // loaded as the converter loads TIFF
  Add({a, bad, badTiff});
  Page().ToolbarButton9717->click();
  Page().Timer1Timer();
  Page().Timer1Timer();
  Page().Timer1Timer();
  using Shows = std::vector<std::pair<std::string, int>>;
  EXPECT_EQ(Shown(), (Shows{{a, 255}, {bad, 255}, {badTiff, 255}, {a, 255}}));
  EXPECT_EQ(dialogs->Texts(), std::vector<std::string>{});  // passed over silently
}

}  // namespace
}  // namespace velk
