#include "ui/TerminationSignals.h"

#include <QSocketNotifier>
#include <QtGlobal>
#include <utility>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#endif
#include <memory>

namespace tessary::ui {

#ifdef Q_OS_UNIX

namespace {

constexpr std::array<int, 2> kSignals = {SIGTERM, SIGINT};
// The pair the handler writes into and the event loop reads from; -1 when none is set up.
int g_pipe[2] = {-1, -1};
struct sigaction g_previous[kSignals.size()];

void OnSignal(int) {
  // Only what is safe in a signal handler: one byte into the socket, errno kept.
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(g_pipe[0], &byte, 1);
  errno = saved;
}

}  // namespace

TerminationSignals::TerminationSignals(std::function<void()> onSignal, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal)) {
  if (g_pipe[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_pipe) != 0) return;
  // A burst of signals must never block the handler: a full socket drops the extra bytes.
  ::fcntl(g_pipe[0], F_SETFL, ::fcntl(g_pipe[0], F_GETFL) | O_NONBLOCK);
  ::fcntl(g_pipe[1], F_SETFL, ::fcntl(g_pipe[1], F_GETFL) | O_NONBLOCK);
  notifier_ = std::make_unique<QSocketNotifier>(g_pipe[1], QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
    char bytes[64];
    while (::read(g_pipe[1], bytes, sizeof bytes) > 0) {
    }
    if (onSignal_) onSignal_();
  });
  for (size_t i = 0; i < kSignals.size(); ++i) {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(kSignals[i], &action, &g_previous[i]);
  }
}

TerminationSignals::~TerminationSignals() {
  if (notifier_ == nullptr) return;
  for (size_t i = 0; i < kSignals.size(); ++i) ::sigaction(kSignals[i], &g_previous[i], nullptr);
  notifier_.reset();
  for (int& fd : g_pipe) {
    ::close(fd);
    fd = -1;
  }
}

#else

// Elsewhere the platform ends the program through its own close messages.
TerminationSignals::TerminationSignals(std::function<void()> onSignal, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal)) {}
TerminationSignals::~TerminationSignals() = default;

#endif

}  // namespace tessary::ui
