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

}  // namespace

INotifier& Notifier() { return *current; }

ScopedNotifier::ScopedNotifier(INotifier& notifier) : previous_(current) { current = &notifier; }
ScopedNotifier::~ScopedNotifier() { current = previous_; }

}  // namespace tessary
