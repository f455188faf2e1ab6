#pragma once
// The shared folder of real test images with reference decodes from independent tools.
#include <string>
#include <vector>

namespace velk::test {

// "" when the folder is absent; tests then skip with a message.
std::string TestDataDir();

// Skips the current test when the shared test images are not there.
#define VELK_REQUIRE_TESTDATA()                                                   \
  do {                                                                            \
    if (::velk::test::TestDataDir().empty())                                      \
      GTEST_SKIP() << "shared test images not found (set VELK_TESTDATA)";         \
  } while (0)

// One row of the folder's index.tsv.
struct TestImage {
  std::string file;  // relative to TestDataDir(), e.g. "bmp/good/pal1.bmp"
  std::string format, klass, expect, errorClass, compare, ref, extraRefs, message, description;
  std::string Path() const { return TestDataDir() + "/" + file; }
  std::string RefPath() const { return ref == "-" ? std::string() : TestDataDir() + "/" + ref; }
};

// Rows of index.tsv for one format ("bmp", "gif", "tiff", "jpeg"), optionally one class.
std::vector<TestImage> TestImages(const std::string& format, const std::string& klass = "");

}  // namespace velk::test
