#include "support/testdata.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace velk::test {

std::string TestDataDir() {
  for (const char* candidate : {static_cast<const char*>(std::getenv("VELK_TESTDATA")), VELK_TESTDATA_DIR}) {
    if (!candidate || !*candidate) continue;
    struct stat info {};
    if (::stat((std::string(candidate) + "/index.tsv").c_str(), &info) == 0) return candidate;
  }
  return {};
}

std::vector<TestImage> TestImages(const std::string& format, const std::string& klass) {
  std::vector<TestImage> rows;
  const std::string dir = TestDataDir();
  if (dir.empty()) return rows;
  std::ifstream in(dir + "/index.tsv");
  std::string line;
  std::getline(in, line);  // header
  while (std::getline(in, line)) {
    std::vector<std::string> f;
    std::stringstream fields(line);
    std::string field;
    while (std::getline(fields, field, '\t')) f.push_back(field);
    if (f.size() < 10) continue;
    TestImage row{f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], f[9]};
    if (row.format == format && (klass.empty() || row.klass == klass)) rows.push_back(row);
  }
  return rows;
}

}  // namespace velk::test
