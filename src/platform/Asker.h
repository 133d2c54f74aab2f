#pragma once
// Yes/No questions to the user: a message box with Yes and No buttons in the desktop
// program, a fixed answer in the command-line program and in tests.
#include <string>

namespace tessary {

class IAsker {
 public:
  virtual ~IAsker() = default;
  // True for Yes.
  virtual bool AskYesNo(const std::string& text) = 0;
};

}  // namespace tessary
