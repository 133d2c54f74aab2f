#include "platform/Notifier.h"

namespace tessary {
namespace {

class SilentNotifier final : public INotifier {
 public:
  void ShowMessage(const std::string&, const std::string&) override {}
  void Beep(BeepKind) override {}
};

SilentNotifier silent;
INotifier* current = &silent;
thread_local INotifier* threadCurrent = nullptr;

}  // namespace

INotifier& Notifier() { return threadCurrent ? *threadCurrent : *current; }

ScopedNotifier::ScopedNotifier(INotifier& notifier) : previous_(current) { current = &notifier; }
ScopedNotifier::~ScopedNotifier() { current = previous_; }

ScopedThreadNotifier::ScopedThreadNotifier(INotifier& notifier) : previous_(threadCurrent) {
  threadCurrent = &notifier;
}
ScopedThreadNotifier::~ScopedThreadNotifier() { threadCurrent = previous_; }

}  // namespace tessary
