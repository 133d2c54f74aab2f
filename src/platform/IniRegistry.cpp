#include "platform/IniRegistry.h"

#include <algorithm>
#include <optional>
#include <system_error>
#include <vector>

#include "platform/AsciiCase.h"
#include "platform/FileOpen.h"
#include "platform/OutputFile.h"

namespace fs = std::filesystem;

namespace tessary {

namespace {

std::string Trim(std::string_view s) {
  size_t b = s.find_first_not_of(" \t\r");
  if (b == std::string_view::npos) return {};
  size_t e = s.find_last_not_of(" \t\r");
  return std::string(s.substr(b, e - b + 1));
}

// The section name of a "[...]" line.
std::optional<std::string> SectionOf(const std::string& line) {
  std::string t = Trim(line);
  if (t.size() < 2 || t.front() != '[' || t.back() != ']') return std::nullopt;
  return Trim(std::string_view(t).substr(1, t.size() - 2));
}

struct ValueLine {
  std::string name, value;
};

std::optional<ValueLine> ValueOf(const std::string& line) {
  std::string t = Trim(line);
  if (t.empty() || t[0] == ';' || t[0] == '#' || t[0] == '[') return std::nullopt;
  size_t eq = t.find('=');
  if (eq == std::string::npos) return std::nullopt;
  ValueLine v{Trim(std::string_view(t).substr(0, eq)), Trim(std::string_view(t).substr(eq + 1))};
  if (v.value.size() >= 2 && v.value.front() == '"' && v.value.back() == '"')
    v.value = v.value.substr(1, v.value.size() - 2);
  return v;
}

std::string FullKey(RegistryRoot root, const std::string& keyPath) {
  std::string key = RegistryRootName(root);
  if (!keyPath.empty()) key += "\\" + keyPath;
  while (!key.empty() && key.back() == '\\') key.pop_back();
  return key;
}

std::string ValueName(const char* valueName) {
  return (valueName == nullptr || *valueName == '\0') ? std::string("@") : std::string(valueName);
}

// A registry file is a few lines; anything near this size is not one.
constexpr uint64_t kMaxRegistryFile = 16 << 20;

bool LoadLines(const fs::path& file, std::vector<std::string>& lines, OpenFailure* failure = nullptr) {
  std::string bytes;
  if (!ReadRegularFile(file, bytes, failure, kMaxRegistryFile)) return false;
  for (size_t start = 0, end; start < bytes.size(); start = end + 1) {
    end = std::min(bytes.find('\n', start), bytes.size());
    lines.push_back(bytes.substr(start, end - start - (end > start && bytes[end - 1] == '\r')));
  }
  return true;
}

bool SaveLines(const fs::path& file, const std::vector<std::string>& lines) {
  OutputFile out;
  if (!out.OpenExact(file)) return false;
  for (const auto& line : lines) out.Write(line + "\n");
  return out.Commit();
}

// Whether the key is there: its own section, or a section of a key below it.
bool KeyExists(const std::vector<std::string>& lines, const std::string& key) {
  for (const auto& line : lines) {
    auto section = SectionOf(line);
    if (section && EqualsIgnoringCase(std::string_view(*section).substr(0, key.size()), key) &&
        (section->size() == key.size() || (*section)[key.size()] == '\\'))
      return true;
  }
  return false;
}

}  // namespace

IRegistryStore::Lookup IniRegistry::Read(RegistryRoot root, const std::string& keyPath,
                                         const char* valueName) {
  Lookup result;
  std::vector<std::string> lines;
  std::string key = FullKey(root, keyPath);
  OpenFailure failure = OpenFailure::None;
  if (!LoadLines(file_, lines, &failure)) {
    // No file is no key; a file that is there but cannot be read is a failure to report.
    if (failure == OpenFailure::NotRegular)
      result.error = file_.string() + " is not a regular file";
    else if (failure != OpenFailure::Missing)
      result.error = file_.string() + " cannot be read";
    return result;
  }
  if (!KeyExists(lines, key)) return result;
  result.keyOpened = true;
  std::string name = ValueName(valueName);
  bool inKey = false;
  for (const auto& line : lines) {
    if (auto section = SectionOf(line)) {
      inKey = EqualsIgnoringCase(*section, key);
      continue;
    }
    if (!inKey) continue;
    auto v = ValueOf(line);
    if (v && EqualsIgnoringCase(v->name, name)) {
      result.value = v->value;
      break;
    }
  }
  return result;
}

bool IniRegistry::SetValue(RegistryRoot root, const std::string& keyPath, const char* valueName,
                           const std::string& text, bool create) {
  // A value holding a line break could not be read back as one value.
  if (text.find_first_of("\r\n") != std::string::npos) return false;
  std::vector<std::string> lines;
  bool loaded = LoadLines(file_, lines);
  std::string key = FullKey(root, keyPath);
  if (!create && (!loaded || !KeyExists(lines, key))) return false;

  std::string name = ValueName(valueName);
  std::string newLine = name + "=" + text;
  // Find the key's section, and in it the value or the place after its last value.
  std::optional<size_t> sectionLine;
  std::optional<size_t> valueLine;
  size_t insertAt = lines.size();
  for (size_t i = 0; i < lines.size(); ++i) {
    if (auto section = SectionOf(lines[i])) {
      if (sectionLine) break;
      if (!sectionLine && EqualsIgnoringCase(*section, key)) {
        sectionLine = i;
        insertAt = i + 1;
      }
      continue;
    }
    if (!sectionLine) continue;
    if (!Trim(lines[i]).empty()) insertAt = i + 1;
    auto v = ValueOf(lines[i]);
    if (v && EqualsIgnoringCase(v->name, name)) {
      valueLine = i;
      break;
    }
  }
  if (valueLine) {
    lines[*valueLine] = newLine;
  } else if (sectionLine) {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), newLine);
  } else {
    lines.push_back("[" + key + "]");
    lines.push_back(newLine);
  }
  std::error_code ec;
  if (create && !file_.parent_path().empty()) fs::create_directories(file_.parent_path(), ec);
  return SaveLines(file_, lines);
}

bool IniRegistry::DeleteKey(RegistryRoot root, const std::string& keyPath) {
  std::vector<std::string> lines;
  if (!LoadLines(file_, lines)) return true;
  std::string key = FullKey(root, keyPath);
  std::vector<std::string> kept;
  bool inKey = false;
  bool removed = false;
  for (const auto& line : lines) {
    if (auto section = SectionOf(line)) inKey = EqualsIgnoringCase(*section, key);
    if (inKey) {
      removed = true;
      continue;
    }
    kept.push_back(line);
  }
  return !removed || SaveLines(file_, kept);
}

}  // namespace tessary
