#include "widgets/file_mask.h"

#include <gtest/gtest.h>

namespace velk {
namespace {

struct MaskCase {
  const char* mask;
  const char* name;
  bool matches;
};

TEST(FileMask, MatchesLikeTheWindowsFileList) {
  const MaskCase cases[] = {
      // Case does not matter, either way round.
      {"*.jpg", "photo.JPG", true},
      {"*.JPG", "photo.jpg", true},
      {"*.jpg", "photo.jpeg", false},
      {"*.jpg", "photo.jpg.txt", false},
      // "*.*" lists every name, also one without a dot and a hidden one.
      {"*.*", "README", true},
      {"*.*", ".hidden", true},
      {"*.*", "a.b.c", true},
      // A trailing ".*" means "any extension or none"; a trailing "." means "no extension".
      {"photo.*", "photo", true},
      {"photo.*", "photos", false},
      {"*.", "README", true},
      {"*.", "read.me", false},
      // "*.tif*" takes both TIFF spellings.
      {"*.tif*", "scan.tif", true},
      {"*.tif*", "scan.TIFF", true},
      {"*.tif*", "scan.ti", false},
      // "?" is exactly one character; stars backtrack.
      {"img??.gif", "img01.gif", true},
      {"img??.gif", "img1.gif", false},
      {"*a*b*c", "xxaxbxxbyc", true},
      {"*a*b*c", "xxaxbxxbyd", false},
      // Several masks; empty entries and blanks around them do not count.
      {"*.jpg;*.bmp;", "x.bmp", true},
      {"*.jpg;;*.gif", "x.gif", true},
      {" *.jpg ; *.bmp", "x.bmp", true},
      {"*.jpg;*.bmp;", "x.png", false},
      // Non-ASCII names fold case too.
      {"ÄRGER.*", "ärger.txt", true},
  };
  for (const MaskCase& c : cases)
    EXPECT_EQ(FileMask(QString::fromUtf8(c.mask)).Matches(QString::fromUtf8(c.name)), c.matches)
        << c.mask << " vs " << c.name;
}

TEST(FileMask, AMaskWithoutPatternsListsEverything) {
  EXPECT_TRUE(FileMask("").Matches("anything"));
  EXPECT_TRUE(FileMask(";;").Matches("x.y"));
  EXPECT_EQ(FileMask("*.jpg;*.bmp;*.gif;*.tif*;*.wmf;*.ico;*.emf;").Patterns().size(), 7);
}

}  // namespace
}  // namespace velk
