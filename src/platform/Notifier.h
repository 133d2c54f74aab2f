#pragma once
// How the core reaches the user. Readers and workspace logic never talk to a window or a
// terminal: they call the current notifier, which the desktop program implements with
// message boxes, the command-line program with lines on standard error, and tests with a
// recorder.
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

// The notifier in force on the calling thread: the one a ScopedThreadNotifier installed
// there, else the one of the program (a silent one until a front end installs its own).
INotifier& Notifier();

// Installs `notifier` for the lifetime of this object and restores the previous one.
class ScopedNotifier {
 public:
  explicit ScopedNotifier(INotifier& notifier);
  ~ScopedNotifier();
  ScopedNotifier(const ScopedNotifier&) = delete;
  ScopedNotifier& operator=(const ScopedNotifier&) = delete;

 private:
  INotifier* previous_;
};

// Installs `notifier` for the calling thread only, for the lifetime of this object: a
// batch running exports on several threads collects each one's messages apart.
class ScopedThreadNotifier {
 public:
  explicit ScopedThreadNotifier(INotifier& notifier);
  ~ScopedThreadNotifier();
  ScopedThreadNotifier(const ScopedThreadNotifier&) = delete;
  ScopedThreadNotifier& operator=(const ScopedThreadNotifier&) = delete;

 private:
  INotifier* previous_;
};

}  // namespace tessary
