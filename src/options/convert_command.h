#pragma once
// The conversion utility without a window: `velkview --convert FORMAT --output DIR FILE...`.
// Files are loaded and encoded on a pool of threads; outputs are written, and progress is
// reported, strictly in the order of the files, so the result is the same as a one-by-one run.
#include <functional>
#include <string>
#include <vector>

namespace velk {

struct ConvertJob {
  std::vector<std::string> files;
  std::string folder;  // used verbatim as the prefix of every output path
  int format = 0;      // 0 BMP, 1 JPEG, 2 GIF, 3 TIFF
  int quality = 75;
  unsigned threads = 0;  // 0: one per core
};

struct ConvertSummary {
  int converted = 0;
  int errors = 0;  // files that failed to load, encode or write
};

// Runs the job; report gets one line per file (and the messages a reader showed for it) in
// file order, on the calling thread.
ConvertSummary ConvertFiles(const ConvertJob& job,
                            const std::function<void(const std::string& line)>& report);

// True when the command line asks for the converter (first argument "--convert").
bool IsConvertCommand(int argc, char** argv);
// Parses, runs and prints; the exit code: 0 all converted, 1 any failure, 2 bad usage.
int RunConvertCommand(int argc, char** argv);

}  // namespace velk
