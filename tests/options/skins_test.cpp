#include "options/skins_page.h"

#include <QComboBox>
#include <QLabel>
#include <filesystem>
#include <gtest/gtest.h>

#include "chrome/color_combo_box.h"
#include "image/image_aspect.h"
#include "mixer/memory_mixer.h"
#include "mixer/mixer_systems.h"
#include "options/fake_options_host.h"
#include "options/options_form.h"
#include "platform/bmp_codec.h"
#include "platform/dialogs.h"
#include "platform/profile_file.h"
#include "support/temp_dir.h"
#include "widgets/toolbar_button.h"

namespace velk {
namespace {

using Keys = std::vector<std::string>;

class SkinsTest : public ::testing::Test {
protected:
  SkinsTest() { host.settings.SetFirstRunDefaults(folder); }
  std::unique_ptr<TOptions> Create() { return std::make_unique<TOptions>(host, folder); }
  // A bitmap whose width tells which file it came from.
  void WriteBitmap(const std::string& path, int width) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    SaveBmpFile(Bitmap(width, 8, 24), path);
  }
  // Every default file of the skins folder, entry e being 20 + e pixels wide.
  void WriteDefaultSkin() {
    const char* files[] = {"vlkskin1", "open", "clear2", "retry2", "full", "mglass",
                           "properties", "speaker", "skins", "plugin", "convert", "slideshow",
                           "smallsmiley"};
    for (int e = 0; e < kSkinBitmapCount; ++e)
      WriteBitmap(folder + "skins/" + files[e] + ".bmp", 20 + e);
  }
  std::vector<int> GlyphEntries() const {
    std::vector<int> entries;
    for (const auto& [entry, glyph] : host.glyphs) {
      EXPECT_EQ(glyph.width(), 20 + entry) << entry;
      entries.push_back(entry);
    }
    return entries;
  }
  bool Applied(const std::string& call) const {
    return std::find(host.skinCalls.begin(), host.skinCalls.end(), call) != host.skinCalls.end();
  }

  test::TempDir dir;
  std::string folder = dir.Path() + "/";
  test::FakeOptionsHost host;
  ScopedScriptedDialogs dialogs;
  ScopedMixerSystem mixers{SilentMixerSystem()};
};

TEST_F(SkinsTest, FirstRunWritesEightColoursAndTenBitmapsInOrder) {
  auto options = Create();
  const ProfileFile skins(dir.File("skins.ini"));
  EXPECT_EQ(skins.ReadSection("Current"),
            (Keys{"Color1", "Color2", "Color3", "Color4", "Color5", "Color7", "Color8", "Color10",
                  "Main Form Skin", "Open Toolbar Button Glyph", "Clear Toolbar Button Glyph",
                  "Refresh Toolbar Button Glyph", "Full Screen Toolbar Button Glyph",
                  "Options Toolbar Button Glyph", "Volume Toolbar Button Glyph",
                  "Loupe Toolbar Button Glyph", "About Toolbar Button Glyph",
                  "Plugin Toolbar Button Glyph"}));
  EXPECT_EQ(skins.ReadString("Current", "Color8", ""), "12632256");
  EXPECT_EQ(skins.ReadString("Current", "Loupe Toolbar Button Glyph", ""),
            folder + "skins/mglass.bmp");
  // An existing file is never overwritten with the defaults.
  dir.Write("skins.ini", "[Current]\nColor1=5\n");
  Create();
  EXPECT_EQ(ProfileFile(dir.File("skins.ini")).ReadSection("Current"), Keys{"Color1"});
}

TEST_F(SkinsTest, FirstRunKeepsThreeBuiltInGlyphsUntilRestoreLoadsThemAll) {
  WriteDefaultSkin();
  auto options = Create();
  EXPECT_EQ(GlyphEntries(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 9, 12}));
  EXPECT_EQ(host.skin.Width(), 20);
  // The shape is made after the picture is loaded, then again when silver becomes the
  // transparent colour.
  EXPECT_EQ(host.skinCalls.at(0), "LoadSkinPicture " + folder + "skins/vlkskin1.bmp");
  EXPECT_TRUE(Applied("ApplySkinShape 12632256"));

  dialogs->answers.push_back(MessageAnswer::Yes);
  options->restoreDefaultsButton->click();
  EXPECT_EQ(GlyphEntries(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
}

TEST_F(SkinsTest, MissingAndUnreadableFilesLeaveTheirTargetsAlone) {
  WriteBitmap(folder + "good.bmp", 22);
  dir.Write("broken.bmp", "not a bitmap at all");
  dir.Write("skins.ini", "[Current]\nMain Form Skin=" + folder + "gone.bmp\n" +
                             "Open Toolbar Button Glyph=" + folder + "broken.bmp\n" +
                             "Clear Toolbar Button Glyph=" + folder + "good.bmp\n" +
                             "Refresh Toolbar Button Glyph=\n");
  auto options = Create();
  EXPECT_FALSE(host.skin.HasGraphic());
  EXPECT_EQ(GlyphEntries(), std::vector<int>{2});
  EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(SkinsTest, OnlyPickersWhoseValueChangesPaint) {
  dir.Write("skins.ini", "[Current]\nColor1=255\nColor2=0\nColor4=65280\n");
  auto options = Create();
  // Black is the pickers' design value: those keys change nothing.
  EXPECT_TRUE(Applied("ApplySkinColour 1 255"));
  EXPECT_TRUE(Applied("ApplySkinColour 4 65280"));
  EXPECT_FALSE(Applied("ApplySkinColour 2 0"));
  EXPECT_FALSE(Applied("ApplySkinColour 10 0"));

  host.skinCalls.clear();
  options->FormCreate(options->restoreDefaultsButton);  // same file, same values
  EXPECT_EQ(host.skinCalls, Keys{"ApplySkinShape 12632256"});

  host.skinCalls.clear();
  options->SetSchemeColour(5, 128);  // "Container Text Colour"
  EXPECT_EQ(host.skinCalls, Keys{"ApplySkinColour 7 128"});
  EXPECT_EQ(options->SchemeColours()[5], 128);
}

TEST_F(SkinsTest, TransparentColourReshapesAtOnce) {
  auto options = Create();
  host.skinCalls.clear();
  TColorComboBox* picker = options->SkinsPage->colourBoxes[6];
  EXPECT_EQ(picker->objectName(), "ColorComboBox8");
  picker->SetColorValue(clWhite);
  EXPECT_EQ(host.transColor, clWhite);
  EXPECT_EQ(host.skinCalls, Keys{"ApplySkinShape " + std::to_string(clWhite)});
}

TEST_F(SkinsTest, PreviewShowsTheEntrysPictureOrNothing) {
  auto options = Create();
  TSkinsPage& page = *options->SkinsPage;
  EXPECT_EQ(page.skinBitmapBox->currentIndex(), 0);
  EXPECT_FALSE(page.bitmapPreview->GetPicture().HasGraphic());  // no skin picture

  WriteBitmap(folder + "skin.bmp", 40);
  host.LoadSkinPicture(folder + "skin.bmp");
  page.OnBitmapEntryChanged();
  EXPECT_TRUE(page.bitmapPreview->GetPicture().HasGraphic());
  EXPECT_EQ(page.bitmapPreview->size(), page.glyphPreview->size());  // fitted, not skin-sized

  WriteBitmap(folder + "clear.bmp", 22);
  host.SetButtonGlyph(2, LoadBmpFile(folder + "clear.bmp"));
  page.skinBitmapBox->setCurrentIndex(2);
  page.OnBitmapEntryChanged();
  EXPECT_FALSE(page.bitmapPreview->GetPicture().HasGraphic());
  EXPECT_EQ(page.glyphPreview->pixmap().width(), 22);
}

TEST_F(SkinsTest, ChosenBitmapIsStoredUnderTheEntrysKeyWhateverItsText) {
  auto options = Create();
  TSkinsPage& page = *options->SkinsPage;
  page.skinBitmapBox->setItemText(2, "Bouton Effacer");  // a translated entry
  page.skinBitmapBox->setCurrentIndex(2);
  WriteBitmap(folder + "mine.bmp", 22);
  dialogs->fileAnswers.push_back({folder + "mine.bmp"});
  page.chooseBitmapButton->click();

  ASSERT_EQ(dialogs->fileBoxes.size(), 1u);
  EXPECT_EQ(dialogs->fileBoxes[0].filter, "Skins|*.bmp");
  EXPECT_EQ(dialogs->fileBoxes[0].initialDir, folder + "skins");
  EXPECT_EQ(
      ProfileFile(dir.File("skins.ini")).ReadString("Current", "Clear Toolbar Button Glyph", ""),
      folder + "mine.bmp");
  EXPECT_EQ(page.glyphPreview->pixmap().width(), 22);

  test::FakeOptionsHost next;  // the next start loads it
  next.settings.SetFirstRunDefaults(folder);
  TOptions again(next, folder);
  EXPECT_EQ(next.glyphs.at(2).width(), 22);

  // A file that can't be read is reported and not stored.
  dir.Write("broken.bmp", "junk");
  dialogs->fileAnswers.push_back({folder + "broken.bmp"});
  page.chooseBitmapButton->click();
  EXPECT_EQ(dialogs->Texts().size(), 1u);
  EXPECT_EQ(
      ProfileFile(dir.File("skins.ini")).ReadString("Current", "Clear Toolbar Button Glyph", ""),
      folder + "mine.bmp");
}

}  // namespace
}  // namespace velk
