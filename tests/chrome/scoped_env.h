#pragma once
// Sets an environment variable for the life of the object and restores the old value.
#include <cstdlib>
#include <optional>
#include <string>

namespace velk::test {

class ScopedEnv {
public:
  ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    Set(value);
  }
  ~ScopedEnv() { Set(old_); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
  void Set(const std::optional<std::string>& value) {
    if (value) ::setenv(name_, value->c_str(), 1);
    else ::unsetenv(name_);
  }
  const char* name_;
  std::optional<std::string> old_;
};

}  // namespace velk::test
