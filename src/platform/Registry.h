#pragma once
// Values that belong to other programs (the converter tool, WinRAR, the games): read from
// their keys, telling a key that cannot be opened (reported in an "Error" box) from a
// value that is missing (read as empty, not reported). The program never creates these
// keys; it only writes values into keys that exist.
#include <optional>
#include <string>

#include "platform/Notifier.h"

namespace tessary {

enum class RegistryRoot { CurrentUser, LocalMachine };

// "HKEY_CURRENT_USER" or "HKEY_LOCAL_MACHINE".
const char* RegistryRootName(RegistryRoot root);

// A store of keys and values. `valueName` null means the key's default (unnamed) value.
class IRegistryStore {
 public:
  struct Lookup {
    bool keyOpened = false;
    std::optional<std::string> value;  // nullopt: the key has no such value
    // Why the key could not be opened; empty when it simply does not exist, which is the
    // normal state here: other programs do not leave keys behind on this platform.
    std::string error;
  };
  virtual ~IRegistryStore() = default;
  virtual Lookup Read(RegistryRoot root, const std::string& keyPath, const char* valueName) = 0;
  // Sets a value of an existing key; false when the key does not exist or cannot be written.
  virtual bool Write(RegistryRoot root, const std::string& keyPath, const char* valueName,
                     const std::string& text) = 0;
};

// Reads a string value. A key that cannot be opened returns false with `out` unchanged;
// only a store that failed (not a key that does not exist) shows the "Error" box with the
// reason through `notifier`. Otherwise `out` receives the value (empty when it is
// missing, or longer than the 260-byte read buffer allows) and the result is true.
bool ReadRegistryString(IRegistryStore& store, RegistryRoot root, const std::string& keyPath,
                        const char* valueName, std::string& out, INotifier& notifier);

// Sets a string value of an existing key; true when it was set.
bool WriteRegistryString(IRegistryStore& store, RegistryRoot root, const std::string& keyPath,
                         const char* valueName, const std::string& text);

}  // namespace tessary
