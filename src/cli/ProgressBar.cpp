#include "cli/ProgressBar.h"

#include <cstdio>
#include <sys/ioctl.h>
#include <unistd.h>

#include "platform/PrintableText.h"

namespace tessary::cli {

namespace {
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

size_t TerminalWidth() {
  winsize size{};
  if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col >= 20) return size.ws_col;
  return 80;
}
}  // namespace

ProgressBar::ProgressBar(size_t total, bool enabled)
    : total_(total), enabled_(enabled), start_(std::chrono::steady_clock::now()) {}

ProgressBar::~ProgressBar() { Clear(); }

std::string ProgressBar::FormatDuration(double seconds) {
  long total = seconds < 0 ? 0 : static_cast<long>(seconds + 0.5);
  char text[32];
  if (total >= 3600)
    std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / 3600, total / 60 % 60, total % 60);
  else
    std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
  return text;
}

std::string ProgressBar::Render(size_t done, size_t total, const std::string& current,
                                double secondsLeft, size_t width) {
  constexpr size_t kBarCells = 20;
  size_t filled = total == 0 ? kBarCells : done * kBarCells / total;
  std::string line = "[" + std::string(filled, '#') + std::string(kBarCells - filled, '.') + "] ";
  line += std::to_string(done) + "/" + std::to_string(total);
  line += secondsLeft >= 0 ? "  " + FormatDuration(secondsLeft) + " left  " : "  ";
  line += current;
  if (width > 1 && line.size() > width - 1) line.resize(width - 1);
  return line;
}

void ProgressBar::Update(size_t done, const std::string& current) {
  if (!enabled_) return;
  auto now = std::chrono::steady_clock::now();
  if (shown_ && now - lastDraw_ < kRedrawInterval) return;
  lastDraw_ = now;
  double elapsed = std::chrono::duration<double>(now - start_).count();
  double left = done == 0 ? -1 : elapsed / static_cast<double>(done) *
                                     static_cast<double>(total_ - done);
  std::string line = Render(done, total_, PrintableText(current), left, TerminalWidth());
  // Carriage return, the bar, and erase to the end of the line.
  std::fprintf(stderr, "\r%s\x1b[K", line.c_str());
  std::fflush(stderr);
  shown_ = true;
}

void ProgressBar::Clear() {
  if (!enabled_ || !shown_) return;
  std::fputs("\r\x1b[K", stderr);
  std::fflush(stderr);
  shown_ = false;
}

}  // namespace tessary::cli
