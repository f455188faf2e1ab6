#include <string_view>

#include "platform/registry_hive.h"

// Parses arbitrary bytes as a hive, then checks that what it writes parses to the same text.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  velk::RegistryHive hive("/nonexistent/hkcu.reg");
  hive.Parse(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::string written = hive.Serialize();
  velk::RegistryHive again("/nonexistent/hkcu.reg");
  again.Parse(written);
  if (again.Serialize() != written) __builtin_trap();
  return 0;
}
