#pragma once
// The user's home folder, where the folder chooser starts when nothing better is known
// (posix/HomeFolder.cpp).
#include <string>

namespace tessary {

// $HOME, else the home folder of the user's account entry; empty when neither is known.
std::string HomeFolder();

}  // namespace tessary
