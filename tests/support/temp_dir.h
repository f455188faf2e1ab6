#pragma once
// A temporary folder removed with everything in it when the object goes.
#include <string>

namespace velk::test {

class TempDir {
public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return path_; }  // no trailing "/"
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  void Write(const std::string& name, const std::string& contents) const;
  std::string Read(const std::string& name) const;

private:
  std::string path_;
};

}  // namespace velk::test
