#pragma once
// The application's own profile: string and integer values by section and name, each
// read with a default when it is missing. The desktop program and the command-line
// program share one store (QtSettingsStore); tests use one in memory.
#include <string>

namespace tessary {

class ISettingsStore {
 public:
  virtual ~ISettingsStore() = default;
  virtual std::string GetProfileString(const std::string& section, const std::string& name,
                                       const std::string& defaultValue = "") = 0;
  virtual int GetProfileInt(const std::string& section, const std::string& name,
                            int defaultValue) = 0;
  virtual bool WriteProfileString(const std::string& section, const std::string& name,
                                  const std::string& value) = 0;
  virtual bool WriteProfileInt(const std::string& section, const std::string& name, int value) = 0;
};

}  // namespace tessary
