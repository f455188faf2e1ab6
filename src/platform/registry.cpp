#include "platform/registry.h"

#include <optional>
#include <utility>

#include "platform/errors.h"
#include "platform/program_files.h"
#include "platform/registry_hive.h"

namespace velk {

std::string DefaultHivePath() { return UserConfigFolder() + "hkcu.reg"; }

Registry::Registry(std::string hivePath)
    : hive_(std::make_unique<RegistryHive>(std::move(hivePath))) {
  hive_->Load();
}

Registry::~Registry() = default;

namespace {

// A key argument as components below the root: "\" starts from the root, anything else from
// the current key (or the root when none is open).
std::vector<std::string> Resolve(const std::string& current, const std::string& key) {
  std::vector<std::string> parts;
  if (key.empty() || key[0] != '\\') parts = SplitKeyPath(current);
  for (auto& part : SplitKeyPath(key)) parts.push_back(std::move(part));
  return parts;
}

}  // namespace

bool Registry::OpenKey(const std::string& key, bool canCreate) {
  const auto parts = Resolve(current_, key);
  if (!hive_->FindKey(parts)) {
    if (!canCreate) return false;
    size_t existing = 0;  // how many keys of the path are there already
    while (hive_->FindKey({parts.begin(), parts.begin() + ptrdiff_t(existing + 1)})) ++existing;
    if (!hive_->CreateKey(parts) || !hive_->Save()) {
      // Not saved, not created: take back everything this call made.
      hive_->RemoveKey({parts.begin(), parts.begin() + ptrdiff_t(existing + 1)});
      return false;
    }
  }
  current_ = JoinKeyPath(parts);
  keyOpen_ = true;
  return true;
}

bool Registry::KeyExists(const std::string& key) const {
  return hive_->FindKey(Resolve(current_, key)) != nullptr;
}

void Registry::CloseKey() {
  current_.clear();
  keyOpen_ = false;
}

const std::string& Registry::CurrentPath() const { return current_; }

namespace {

const RegValue* Lookup(const RegistryHive& hive, bool keyOpen, const std::string& current,
                       const std::string& name) {
  const RegKey* key = keyOpen ? hive.FindKey(SplitKeyPath(current)) : nullptr;
  return key ? key->FindValue(name) : nullptr;
}

}  // namespace

bool Registry::ValueExists(const std::string& name) const {
  return Lookup(*hive_, keyOpen_, current_, name) != nullptr;
}

std::string Registry::ReadString(const std::string& name) const {
  const RegValue* value = Lookup(*hive_, keyOpen_, current_, name);
  if (!value) return {};
  if (value->type != RegValueType::String) throw EVelkError(FormatMessage(kInvalidDataType, name));
  return value->text;
}

int Registry::ReadInteger(const std::string& name) const {
  const RegValue* value = Lookup(*hive_, keyOpen_, current_, name);
  if (!value) throw EVelkError(FormatMessage(kFailedToGetData, name));
  if (value->type != RegValueType::Dword) throw EVelkError(FormatMessage(kInvalidDataType, name));
  return static_cast<int>(value->dword);
}

bool Registry::ReadBool(const std::string& name) const { return ReadInteger(name) != 0; }

void Registry::Put(RegValue value) {
  const std::string name = value.name;
  RegKey* key = keyOpen_ ? hive_->FindKey(SplitKeyPath(current_)) : nullptr;
  if (!key) throw EVelkError(FormatMessage(kFailedToSetData, name));
  std::optional<RegValue> before;
  if (const RegValue* old = key->FindValue(name)) before = *old;
  if (!hive_->SetValue(*key, std::move(value))) throw EVelkError(FormatMessage(kFailedToSetData, name));
  if (updating_) {
    if (!firstUpdated_) firstUpdated_ = name;
    return;
  }
  if (!hive_->Save()) {
    // The value keeps what it had, so a later write does not save this one after all.
    if (before) hive_->SetValue(*key, std::move(*before));
    else hive_->RemoveValue(*key, name);
    throw EVelkError(FormatMessage(kFailedToSetData, name));
  }
}

void Registry::WriteString(const std::string& name, const std::string& value) {
  // The platform takes a C string: the text ends at the first NUL.
  Put({name, RegValueType::String, value.substr(0, value.find('\0')), 0});
}

void Registry::WriteInteger(const std::string& name, int value) {
  Put({name, RegValueType::Dword, {}, static_cast<uint32_t>(value)});
}

void Registry::WriteBool(const std::string& name, bool value) { WriteInteger(name, value ? 1 : 0); }

const std::vector<std::string>& Registry::LoadProblems() const { return hive_->Problems(); }

void Registry::BeginUpdate() { updating_ = true; }

void Registry::EndUpdate() {
  updating_ = false;
  const std::optional<std::string> first = std::exchange(firstUpdated_, std::nullopt);
  if (first && !hive_->Save()) throw EVelkError(FormatMessage(kFailedToSetData, *first));
}

}  // namespace velk
