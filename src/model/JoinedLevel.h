#pragma once
// Two models in one level: a viewmodel's arms and the weapon they hold, which one animation
// drives together. The second model's skeleton hangs below the first's.
#include <string>

#include "model/DecodedLevel.h"

namespace tessary {

struct JoinResult {
  DecodedLevel level;
  std::string error;  // "" when joined
};

// Where a weapon's skeleton hangs in the arms' when no bone shares its root's name.
inline constexpr const char* kWeaponBone = "tag_weapon";

// The first level with the second's bones, surfaces and materials appended. Each root of
// the second skeleton is parented to the first skeleton's bone of the same name (ignoring
// case) when there is one, else to its tag_weapon, else to its first root. Version 25 positions,
// which are stored in model space, are carried into the first model's space by the world
// transform of the bone the root was attached to. Levels of different versions are not
// joined.
JoinResult JoinLevels(const DecodedLevel& first, const DecodedLevel& second);

}  // namespace tessary
