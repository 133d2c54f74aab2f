#pragma once
// Ending the program with a signal (SIGTERM at logout or from kill, SIGINT from the
// terminal) ends it as closing its window does: the event loops return and the window is
// destroyed, which stores the recent files and the settings. The signal only notes that
// it came; what it asks for runs on the event loop.
#include <QObject>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace tessary::ui {

class TerminationSignals final : public QObject {
 public:
  // From now until destroyed, SIGTERM and SIGINT run `onSignal` on the event loop.
  explicit TerminationSignals(std::function<void()> onSignal, QObject* parent = nullptr);
  ~TerminationSignals() override;

  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;

 private:
  std::function<void()> onSignal_;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace tessary::ui
