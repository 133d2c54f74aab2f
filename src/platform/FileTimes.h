#pragma once
// The time stamps of files, as the look-ups that keep what they read compare them.
#include <sys/stat.h>

#include <chrono>

namespace tessary {

inline bool SameTime(const timespec& a, const timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// Whether `stamp` lies more than `age` before now: a change made later is sure to give a
// new time, even within the time stamps' resolution.
inline bool OlderThan(const timespec& stamp, std::chrono::nanoseconds age) {
  using namespace std::chrono;
  auto now = system_clock::now().time_since_epoch();
  return now - (seconds(stamp.tv_sec) + nanoseconds(stamp.tv_nsec)) > age;
}

}  // namespace tessary
