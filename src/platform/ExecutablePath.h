#pragma once
// Where the running program's own file lies.
#include <string>

namespace tessary {

// The folder that holds the program's executable, without a trailing separator; empty
// when it cannot be found.
std::string ExecutableFolder();

}  // namespace tessary
