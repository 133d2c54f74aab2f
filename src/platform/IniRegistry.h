#pragma once
// Other programs' keys kept in one INI file, registry.ini, beside the application
// profile. Each section is a full key path with its root and each line a value:
//
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Activision\Call of Duty 2]
//   InstallPath=/games/cod2/
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\WinRAR.exe]
//   @=/opt/winrar/WinRAR.exe
//
// "@" names a key's default value. Key paths and value names ignore letter case, as the
// registry's do; a key exists when its section does, or when a section lies below it.
// Values are taken as written after the first "=" (blanks around it are dropped, and one
// pair of enclosing double quotes). Lines starting with ";" or "#" are comments.
#include <filesystem>
#include <string>

#include "platform/Registry.h"

namespace tessary {

class IniRegistry final : public IRegistryStore {
 public:
  explicit IniRegistry(std::filesystem::path file) : file_(std::move(file)) {}

  Lookup Read(RegistryRoot root, const std::string& keyPath, const char* valueName) override;
  bool Write(RegistryRoot root, const std::string& keyPath, const char* valueName,
             const std::string& text) override {
    return SetValue(root, keyPath, valueName, text, false);
  }
  // What another program's installer does: creates the key when needed and sets the value.
  bool CreateAndWrite(RegistryRoot root, const std::string& keyPath, const char* valueName,
                      const std::string& text) {
    return SetValue(root, keyPath, valueName, text, true);
  }
  // Removes the key's own section (keys below it stay). True when nothing is left of it.
  bool DeleteKey(RegistryRoot root, const std::string& keyPath);

  const std::filesystem::path& File() const { return file_; }

 private:
  bool SetValue(RegistryRoot root, const std::string& keyPath, const char* valueName,
                const std::string& text, bool create);
  std::filesystem::path file_;
};

}  // namespace tessary
