#pragma once
// A one-line progress bar on standard error for batch commands: the share done, the item
// being worked on and an estimate of the time left. It draws only when standard error is
// a terminal, and clears itself before any message is printed.
#include <chrono>
#include <cstddef>
#include <string>

#include "platform/Notifier.h"

namespace tessary::cli {

class ProgressBar {
 public:
  ProgressBar(size_t total, bool enabled);
  ~ProgressBar();
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  // `done` items are finished and `current` is being worked on.
  void Update(size_t done, const std::string& current);
  // Removes the bar from the screen (it comes back with the next update).
  void Clear();
  bool Enabled() const { return enabled_; }

  // "m:ss" (or "h:mm:ss") for a number of seconds.
  static std::string FormatDuration(double seconds);
  // The bar's text for a terminal `width` columns wide.
  static std::string Render(size_t done, size_t total, const std::string& current,
                            double secondsLeft, size_t width);

 private:
  size_t total_;
  bool enabled_;
  bool shown_ = false;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point lastDraw_;
};

// Forwards messages to another notifier, clearing the progress bar first.
class ProgressNotifier final : public INotifier {
 public:
  ProgressNotifier(INotifier& target, ProgressBar& bar) : target_(target), bar_(bar) {}
  void ShowMessage(const std::string& text, const std::string& caption) override {
    bar_.Clear();
    target_.ShowMessage(text, caption);
  }
  void Beep(BeepKind kind) override { target_.Beep(kind); }

 private:
  INotifier& target_;
  ProgressBar& bar_;
};

}  // namespace tessary::cli
