#include "ui/VersionInfo.h"

#include <utility>

#include "platform/BuildInfo.h"

namespace tessary::ui {

CVersionInfo::CVersionInfo()
    : strings_{{"ProductName", build::kProductName},
               {"ProductVersion", build::kVersion},
               {"FileVersion", build::kVersion},
               {"CompanyName", build::kCompanyName},
               {"LegalCopyright", build::kCopyright},
               {"Comments", build::kComments}} {}

CVersionInfo::CVersionInfo(std::map<std::string, std::string> strings)
    : strings_(std::move(strings)) {}

std::string CVersionInfo::GetString(const std::string& name) const {
  auto found = strings_.find(name);
  return found == strings_.end() ? std::string() : found->second;
}

}  // namespace tessary::ui
