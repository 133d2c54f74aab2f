#include "model/LevelChoice.h"

#include "platform/PlainName.h"

namespace tessary {

std::optional<int> ChooseLevel(const std::vector<bool>& named, std::optional<int> asked, const ModelVersion& version,
                               const std::string& header, std::string& error) {
  std::optional<int> level = asked;
  if (!level) {
    for (size_t i = 0; i < named.size() && !level; ++i)
      if (named[i]) level = static_cast<int>(i);
    if (!level) {
      error = "the model header " + header + " names no level of detail";
      return std::nullopt;
    }
  }
  if (*level < 0 || static_cast<size_t>(*level) >= named.size() || !named[static_cast<size_t>(*level)]) {
    error = "the model header " + header + " has no level of detail " + std::to_string(*level);
    return std::nullopt;
  }
  if (*level >= version.loadableLevels) {
    error = "level of detail " + std::to_string(*level) + " of the model header " + header +
            " cannot be exported: version " + std::to_string(version.number) + " models export only levels 0 to " +
            std::to_string(version.loadableLevels - 1);
    return std::nullopt;
  }
  return level;
}

std::string CheckHeaderNames(const std::string& header, const std::string& partsName, const std::string& levelName) {
  auto refuse = [&](const char* what, const std::string& name) -> std::string {
    const std::string why = name.empty() ? std::string() : WhyNotPlainName(name);
    if (why.empty()) return {};
    return "the model header " + header + " names " + what + " \"" + name + "\", which is not a plain file name (" +
           why + "); nothing is written";
  };
  if (std::string e = refuse("the parts file", partsName); !e.empty()) return e;
  return refuse("the level", levelName);
}

}  // namespace tessary
