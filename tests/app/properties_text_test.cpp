#include "app/properties_text.h"

#include <gtest/gtest.h>

#include "app/zoom.h"

namespace velk {
namespace {

TEST(PropertiesText, SizeTextsFollowTheRulesInOrder) {
  const QLocale english(QLocale::English, QLocale::UnitedStates);
  const struct {
    int64_t size;
    const char* text;
  } cases[] = {{0, "0B"},           {512, "512B"},         {1023, "1023B"},
               {1024, "1.00 KB"},   {1536, "1.50 KB"},     {10240, "10.00 KB"},
               {20000, "19.5 KB"},  {102400, "100.0 KB"},  {200000, "195 KB"},
               {1048576, "1,024 KB"}, {5000000, "4.77 MB"},
               // Whole 64-bit sizes: 3 GB and 5 GB files show their real size.
               {3221225472LL, "3,072.00 MB"}, {5368709120LL, "5,120.00 MB"}};
  for (const auto& c : cases) EXPECT_EQ(FileSizeText(c.size, english), c.text) << c.size;
  EXPECT_EQ(FileSizeText(-1, english), "0");
}

TEST(PropertiesText, SeparatorsComeFromTheLocale) {
  const QLocale german(QLocale::German, QLocale::Germany);
  EXPECT_EQ(FileSizeText(1536, german), "1,50 KB");
  EXPECT_EQ(FileSizeText(1048576, german), "1.024 KB");
  EXPECT_EQ(FormatGrouped(1234567.891, 2, QLocale(QLocale::English)), "1,234,567.89");
  EXPECT_EQ(FormatGrouped(0.005, 2, QLocale(QLocale::English)), "0.01");  // half away from zero
}

TEST(PropertiesText, DateTimeLeavesOutMidnight) {
  const QLocale english(QLocale::English, QLocale::UnitedStates);
  const QDate day(2026, 3, 14);
  const QString date = english.toString(day, QLocale::ShortFormat);
  EXPECT_EQ(DateTimeText(QDateTime(day, QTime(0, 0)), english), date);
  const QString withTime = DateTimeText(QDateTime(day, QTime(15, 9, 26)), english);
  EXPECT_TRUE(withTime.startsWith(date + " "));
  EXPECT_TRUE(withTime.contains("3:09:26")) << withTime.toStdString();
}

TEST(Zoom, PercentagesUseIntegerArithmetic) {
  EXPECT_EQ(ZoomedSize(5, 101, 77), QSize(75, 57));
  EXPECT_EQ(ZoomedSize(6, 101, 77), QSize(50, 38));
  EXPECT_EQ(ZoomedSize(8, 101, 77), QSize(10, 7));
  EXPECT_EQ(ZoomedSize(0, 101, 77), QSize(505, 385));
  EXPECT_EQ(ZoomedSize(7, 3, 3), QSize(0, 0));
  for (int index : {-1, 4, 9, 10, 11}) EXPECT_EQ(ZoomedSize(index, 101, 77), QSize(101, 77));
  EXPECT_EQ(ZoomEntries().size(), 11);
  EXPECT_EQ(ZoomEntries()[9], "To fit");
}

}  // namespace
}  // namespace velk
