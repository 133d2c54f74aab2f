#pragma once
// The program's version information: named strings ("ProductVersion", "CompanyName",
// "LegalCopyright", "Comments", ...) fixed when the program is built.
#include <map>
#include <string>

namespace tessary::ui {

class CVersionInfo {
 public:
  // The program's own version information.
  CVersionInfo();
  // Given strings, for a program built without them or for tests.
  explicit CVersionInfo(std::map<std::string, std::string> strings);

  // The value of `name`; empty when there is no such value.
  std::string GetString(const std::string& name) const;

 private:
  std::map<std::string, std::string> strings_;
};

}  // namespace tessary::ui
