#pragma once
// How the workspace services reach the user. Readers never talk to the user: they hand
// back what went wrong. Workspace logic never talks to a window or a terminal either: it
// is handed a notifier, which the desktop program implements with message boxes, the
// command-line program with lines on standard error, and tests with a recorder.
#include <string>

namespace tessary {

// Beep types by their numbers; Type1 and Type2 are the plain numbered types the form uses
// (after an export, on failed retrievals and conversions), which sound the default beep.
enum class BeepKind {
  Simple = -1, Ok = 0, Type1 = 1, Type2 = 2, Error = 0x10, Question = 0x20, Warning = 0x30, Info = 0x40
};

class INotifier {
 public:
  virtual ~INotifier() = default;
  // A message box with an OK button. `caption` is "Tessary" unless the caller names another.
  virtual void ShowMessage(const std::string& text, const std::string& caption = "Tessary") = 0;
  virtual void Beep(BeepKind kind) = 0;
};

}  // namespace tessary
