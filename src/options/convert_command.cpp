#include "options/convert_command.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

#include "gif/gif_image.h"
#include "options/conversion.h"
#include "platform/dialogs.h"
#include "platform/errors.h"

namespace velk {

namespace {

// The TIFF reader reports through the dialogs service; without a screen its messages join
// the report of the file being read, on whichever worker reads it.
thread_local std::vector<std::string>* messageSink = nullptr;

class ReportingDialogs : public Dialogs {
public:
  MessageAnswer Message(MessageKind, const std::string& text, MessageButtons) override {
    if (messageSink) messageSink->push_back(text);
    return MessageAnswer::Ok;
  }
  std::vector<std::string> OpenFiles(const FileBoxRequest&) override { return {}; }
  std::string PickFolder(const std::string&, const std::string&) override { return ""; }
};

struct Slot {
  bool ready = false;
  bool failed = false;  // loading or encoding
  std::vector<uint8_t> bytes;
  std::string error;
  std::vector<std::string> messages;
};

class Run {
public:
  Run(const ConvertJob& job) : job_(job), slots_(job.files.size()) {
    for (const auto& file : job.files) outputs_.push_back(ConvertOutputPath(job.folder, file, job.format));
    // A file that an earlier output replaces must be read after that output is written.
    for (size_t j = 0; j < job.files.size(); ++j) {
      long after = -1;
      for (size_t i = 0; i < j; ++i)
        if (outputs_[i] == job.files[j]) after = long(i);
      readAfter_.push_back(after);
    }
  }

  ConvertSummary Execute(const std::function<void(const std::string&)>& report) {
    const size_t n = slots_.size();
    unsigned threads = job_.threads ? job_.threads : std::max(1u, std::thread::hardware_concurrency());
    threads = unsigned(std::min<size_t>(threads, std::max<size_t>(n, 1)));
    window_ = size_t(threads) * 2;
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < threads; ++t) workers.emplace_back([this] { Work(); });

    ConvertSummary summary;
    for (size_t i = 0; i < n; ++i) {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [&] { return slots_[i].ready; });
      Slot slot = std::move(slots_[i]);
      lock.unlock();
      const std::string prefix = "[" + std::to_string(i + 1) + "/" + std::to_string(n) + "] ";
      for (const auto& message : slot.messages) report(prefix + job_.files[i] + ": " + message);
      // Whatever fails for one file counts as its error; the run goes on with the next.
      if (slot.failed) {
        ++summary.errors;
        report(prefix + job_.files[i] + ": " + slot.error);
      } else {
        try {
          WriteConvertOutput(outputs_[i], slot.bytes);
          ++summary.converted;
          report(prefix + job_.files[i] + " -> " + outputs_[i]);
        } catch (const std::exception& error) {
          ++summary.errors;
          report(prefix + job_.files[i] + ": " + MessageOf(error));
        }
      }
      lock.lock();
      written_ = i + 1;
      changed_.notify_all();
    }
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
      changed_.notify_all();
    }
    for (auto& worker : workers) worker.join();
    return summary;
  }

private:
  void Work() {
    TGIFImage gif;  // this worker's GIF reader and writer
    for (;;) {
      size_t j;
      {
        std::unique_lock lock(mutex_);
        // Stay within a window of the writer so encoded files do not pile up in memory.
        changed_.wait(lock, [&] {
          return stop_ || next_ >= slots_.size() ||
                 (next_ < written_ + window_ && long(written_) > readAfter_[next_]);
        });
        if (stop_ || next_ >= slots_.size()) return;
        j = next_++;
      }
      Slot slot;
      messageSink = &slot.messages;
      try {
        slot.bytes = EncodeConvertOutput(LoadConvertInput(job_.files[j], gif, PhotoCorrections{}), job_.format,
                                         job_.quality, gif);
      } catch (const std::exception& error) {
        slot.failed = true;
        slot.error = MessageOf(error);
      }
      messageSink = nullptr;
      slot.ready = true;
      std::lock_guard lock(mutex_);
      slots_[j] = std::move(slot);
      changed_.notify_all();
    }
  }

  const ConvertJob& job_;
  std::vector<std::string> outputs_;
  std::vector<long> readAfter_;
  std::vector<Slot> slots_;
  std::mutex mutex_;
  std::condition_variable changed_;
  size_t next_ = 0;
  size_t written_ = 0;
  size_t window_ = 2;
  bool stop_ = false;
};

}  // namespace

ConvertSummary ConvertFiles(const ConvertJob& job,
                            const std::function<void(const std::string& line)>& report) {
  auto previous = InstallDialogs(std::make_shared<ReportingDialogs>());
  ConvertSummary summary = Run(job).Execute(report);
  InstallDialogs(previous);
  return summary;
}

bool IsConvertCommand(int argc, char** argv) {
  return argc > 1 && std::strcmp(argv[1], "--convert") == 0;
}

namespace {

constexpr const char* kUsage =
    "usage: velkview --convert bmp|jpeg|gif|tiff --output DIR [--quality N] FILE...\n";

std::optional<int> FormatByName(const std::string& name) {
  if (name == "bmp") return 0;
  if (name == "jpeg" || name == "jpg") return 1;
  if (name == "gif") return 2;
  if (name == "tiff" || name == "tif") return 3;
  return std::nullopt;
}

int UsageError(const std::string& problem) {
  std::fprintf(stderr, "velkview: %s\n%s", problem.c_str(), kUsage);
  return 2;
}

}  // namespace

int RunConvertCommand(int argc, char** argv) {
  ConvertJob job;
  bool haveFormat = false;
  bool haveFolder = false;
  bool optionsDone = false;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    const bool hasValue = i + 1 < argc;
    if (optionsDone || argument.empty() || argument[0] != '-') {
      job.files.push_back(argument);
    } else if (argument == "--") {
      optionsDone = true;
    } else if (argument == "--convert" && hasValue) {
      const auto format = FormatByName(argv[++i]);
      if (!format) return UsageError(std::string("unknown format ") + argv[i]);
      job.format = *format;
      haveFormat = true;
    } else if (argument == "--output" && hasValue) {
      job.folder = argv[++i];
      // As the folder browser gives it: ending in the separator, the root without a second.
      if (job.folder.empty() || job.folder.back() != '/') job.folder += '/';
      haveFolder = true;
    } else if (argument == "--quality" && hasValue) {
      char* end = nullptr;
      const long quality = std::strtol(argv[++i], &end, 10);
      if (*end || end == argv[i] || quality < 0 || quality > 100)
        return UsageError(std::string("quality must be 0 to 100: ") + argv[i]);
      job.quality = int(quality);
    } else {
      return UsageError("unknown or incomplete option " + argument);
    }
  }
  if (!haveFormat || !haveFolder || job.files.empty()) return UsageError("missing arguments");
  // Said once, before any file is decoded, rather than as every file's failure.
  std::error_code error;
  if (!std::filesystem::create_directories(job.folder, error) && !error &&
      !std::filesystem::is_directory(job.folder, error))
    error = std::make_error_code(std::errc::not_a_directory);
  if (error) {
    std::fprintf(stderr, "velkview: cannot create the output folder %s: %s\n",
                 job.folder.c_str(), error.message().c_str());
    return 1;
  }

  const ConvertSummary summary = ConvertFiles(job, [](const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
  });
  if (summary.errors > 0) std::printf("%s\n", ErrorsText(summary.errors).c_str());
  std::printf("%s\n", ConvertedText(summary.converted).c_str());
  return summary.errors > 0 ? 1 : 0;
}

}  // namespace velk
