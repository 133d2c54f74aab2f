#include "model/LoadOptions.h"

#include "platform/AsciiCase.h"

namespace tessary {

LoadOptions OptionsForLevel(LoadOptions asked, std::string_view surfsName) {
  asked.showExploded =
      asked.showExploded && AsciiLower(surfsName).find("destructible_mp") != std::string::npos;
  return asked;
}

}  // namespace tessary
