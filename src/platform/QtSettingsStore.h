#pragma once
// The profile store behind QSettings("Ravenmoor", "Tessary"): on Windows the registry key
// HKEY_CURRENT_USER\Software\Ravenmoor\Tessary, elsewhere an INI file in the user's
// configuration folder ($XDG_CONFIG_HOME/Ravenmoor/Tessary.conf, so setting
// XDG_CONFIG_HOME moves it, which the tests do).
//
// A damaged file is never rewritten whole: QSettings would write each entry it could not
// read back as "@Invalid()". While the file holds such entries, a value is written by
// replacing (or adding) its own line only, as QSettings would write it.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/SettingsStore.h"

class QSettings;
class QVariant;

namespace tessary {

class QtSettingsStore final : public ISettingsStore {
 public:
  // The shared application profile.
  QtSettingsStore();
  // A profile kept in the given INI file instead.
  explicit QtSettingsStore(const std::filesystem::path& iniFile);
  ~QtSettingsStore() override;

  std::string GetProfileString(const std::string& section, const std::string& name,
                               const std::string& defaultValue = "") override;
  int GetProfileInt(const std::string& section, const std::string& name, int defaultValue) override;
  bool WriteProfileString(const std::string& section, const std::string& name,
                          const std::string& value) override;
  bool WriteProfileInt(const std::string& section, const std::string& name, int value) override;

  // Where the values live (a file path, or the registry key on Windows).
  std::string Location() const;

  // The entries of a damaged settings file that cannot be read ("Section/Name", or the
  // file's lines that are not entries). A write leaves them as they were; the front end
  // says so.
  std::vector<std::string> UnreadableEntries() const;

 private:
  bool WriteValue(const std::string& section, const std::string& name, const QVariant& value);
  bool WriteLineInPlace(const std::string& section, const std::string& name, const QVariant& value);
  std::unique_ptr<QSettings> settings_;
};

// The folder that holds the shared application profile; the other programs' keys
// (registry.ini) are kept beside it.
std::filesystem::path ProfileFolder();

}  // namespace tessary
