#pragma once
// How a level is loaded, passed with each load rather than kept in the process.
#include <string_view>

namespace tessary {

struct LoadOptions {
  // Destructible pieces moved out to the parts that carry them (version 25).
  bool showExploded = false;
};

// Only destructible levels are shown exploded: those whose name holds "destructible_mp",
// in any letter case. The options a level is loaded with, from the ones asked for.
LoadOptions OptionsForLevel(LoadOptions asked, std::string_view surfsName);

}  // namespace tessary
