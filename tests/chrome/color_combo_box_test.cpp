#include "chrome/color_combo_box.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListView>
#include <QSignalSpy>
#include <QTest>

namespace velk {
namespace {

TEST(ColorComboBox, ValueSelectsItsEntryAndRaisesOnChangeOncePerChange) {
  TColorComboBox box;
  EXPECT_EQ(box.count(), 16);
  EXPECT_EQ(box.ColorValue(), 0u);
  EXPECT_EQ(box.currentText(), "Black");
  QSignalSpy changes(&box, &TColorComboBox::OnChange);
  box.SetColorValue(0x00FF0000);
  EXPECT_EQ(box.currentText(), "Blue");
  EXPECT_EQ(changes.count(), 1);
  box.SetColorValue(0x00FF0000);
  EXPECT_EQ(changes.count(), 1);

  // A colour outside the table: no entry on a list box, the value kept.
  box.SetColorValue(0x00FFFBF0);
  EXPECT_EQ(box.currentIndex(), -1);
  EXPECT_EQ(box.ColorValue(), 0x00FFFBF0u);
  EXPECT_EQ(changes.count(), 2);
  box.SetColorValue(0x00FFFBF0);  // no entry selected: set again, raised again
  EXPECT_EQ(changes.count(), 3);

  // Picking an entry as the user does.
  emit box.activated(9);
  EXPECT_EQ(box.ColorValue(), 0x000000FFu);
  EXPECT_EQ(changes.count(), 4);
}

TEST(ColorComboBox, EditableBoxesShowAndReadTypedColours) {
  TColorComboBox box;
  box.SetStyle(TComboStyle::csDropDown);
  box.SetColorValue(0x00FFFBF0);
  EXPECT_EQ(box.currentText(), "$00fffbf0");
  QSignalSpy changes(&box, &TColorComboBox::OnChange);
  box.setEditText("red");
  EXPECT_EQ(box.ColorValue(), 0x000000FFu);
  EXPECT_EQ(changes.count(), 1);
  box.setEditText("$00123456");
  EXPECT_EQ(box.ColorValue(), 0x00123456u);
  box.setEditText("255");
  EXPECT_EQ(box.ColorValue(), 255u);
  box.setEditText("no colour");
  EXPECT_EQ(box.ColorValue(), 255u);  // unreadable text keeps the value
  EXPECT_EQ(TColorComboBox::ColorText(0x00C0C0C0), "Silver");
  // System colours by the framework's names, both ways.
  EXPECT_EQ(TColorComboBox::ColorText(clBtnFace), "BtnFace");
  EXPECT_EQ(TColorComboBox::ColorText(kSystemColorFlag | 99), "$80000063");
  box.SetColorValue(clBtnFace);
  EXPECT_EQ(box.currentText(), "BtnFace");
  EXPECT_EQ(box.ColorValue(), clBtnFace);
  box.setEditText("infobk");
  EXPECT_EQ(box.ColorValue(), kSystemColorFlag | COLOR_INFOBK);
}

TEST(ColorComboBox, TextTypedOverTheSelectedEntryIsTheValueAndNeverBecomesAnEntry) {
  TColorComboBox box;
  box.SetStyle(TComboStyle::csDropDown);
  box.show();
  box.SetColorValue(0x00FF0000);  // Blue selected
  QSignalSpy changes(&box, &TColorComboBox::OnChange);
  struct Typed {
    const char* text;
    TColor value;
  };
  for (const Typed& typed : {Typed{"$00123456", 0x00123456}, Typed{"no colour", 0x00123456},
                             Typed{"lime", 0x0000FF00}, Typed{"4096", 4096}}) {
    box.lineEdit()->selectAll();
    QTest::keyClicks(box.lineEdit(), typed.text);
    QTest::keyClick(box.lineEdit(), Qt::Key_Return);
    EXPECT_EQ(box.count(), 16) << typed.text;
    EXPECT_EQ(box.ColorValue(), typed.value) << typed.text;
  }
  EXPECT_GT(changes.count(), 0);  // every edit that changes the value
  // Setting the entry's colour again shows its name over the typed text.
  box.SetColorValue(0x00FF0000);
  EXPECT_EQ(box.currentText(), "Blue");
  EXPECT_EQ(box.ColorValue(), 0x00FF0000u);
}

TEST(ColorComboBox, SimpleStyleShowsItsListBelowTheText) {
  TColorComboBox box;
  box.SetStyle(TComboStyle::csSimple);
  box.resize(140, 160);
  box.show();
  auto* list = box.findChild<QListView*>("SimpleList");
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(list->isVisible());
  EXPECT_GE(list->geometry().top(), box.lineEdit()->geometry().bottom());
  EXPECT_GT(list->height(), 4 * box.ItemHeight());
  box.showPopup();  // nothing drops down
  EXPECT_TRUE(list->isVisible());

  QSignalSpy changes(&box, &TColorComboBox::OnChange);
  const QModelIndex red = list->model()->index(9, 0);
  list->scrollTo(red);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(red).center());
  EXPECT_EQ(box.ColorValue(), 0x000000FFu);
  EXPECT_EQ(box.currentText(), "Red");
  EXPECT_EQ(changes.count(), 1);
}

TEST(ColorComboBox, NamesReplaceOnlyTheirEntriesAndKeepTheSelection) {
  TColorComboBox box;
  box.SetColorValue(0x0000FF00);
  box.SetColorNames({"Schwarz"});
  EXPECT_EQ(box.itemText(0), "Schwarz");
  EXPECT_EQ(box.itemText(1), "Maroon");
  EXPECT_EQ(box.currentText(), "Lime");
  box.SetColorNames({"", "Kastanie"});
  EXPECT_EQ(box.itemText(0), "Black");
  EXPECT_EQ(box.itemText(1), "Kastanie");
}

TEST(ColorComboBox, DrawsASwatchAndTheName) {
  TColorComboBox box;
  box.resize(160, 22);
  box.SetColorValue(0x000000FF);  // red
  QImage shot = box.grab().toImage();
  bool sawRed = false;
  for (int x = 0; x < 40; ++x) sawRed |= shot.pixelColor(x, 11) == QColor(255, 0, 0);
  EXPECT_TRUE(sawRed);
  box.SetDisplayNames(false);
  shot = box.grab().toImage();
  int redColumns = 0;
  for (int x = 0; x < 160; ++x) redColumns += shot.pixelColor(x, 11) == QColor(255, 0, 0);
  EXPECT_GT(redColumns, 60);  // the swatch runs across the box
}

}  // namespace
}  // namespace velk
