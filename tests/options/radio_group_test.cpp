#include "options/radio_group.h"

#include <QRadioButton>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace velk {
namespace {

TEST(RadioGroupTest, ClickFollowsEveryChangeOfIndexByProgramOrUser) {
  TRadioGroup group;
  group.SetItems({"a", "b", "c"});
  EXPECT_EQ(group.ItemIndex(), -1);
  QSignalSpy clicks(&group, &TRadioGroup::Click);

  group.SetItemIndex(1);
  group.SetItemIndex(1);  // same value: no event
  EXPECT_EQ(clicks.count(), 1);
  EXPECT_TRUE(group.Button(1)->isChecked());

  group.Button(2)->click();  // as the user does
  EXPECT_EQ(group.ItemIndex(), 2);
  EXPECT_FALSE(group.Button(1)->isChecked());
  EXPECT_EQ(clicks.count(), 2);

  group.SetItemIndex(-1);
  EXPECT_EQ(clicks.count(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(group.Button(i)->isChecked());

  group.SetItemIndex(3);  // out of range is ignored
  EXPECT_EQ(group.ItemIndex(), -1);
  EXPECT_EQ(clicks.count(), 3);
}

}  // namespace
}  // namespace velk
