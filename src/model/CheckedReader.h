#pragma once
// Field reads over a BinaryFile for readers that must know whether the file held what they
// read: every read past the end still gives zeros, as the file's rules say, and marks the
// reader as having run past the end, so that a damaged file is refused rather than decoded
// from zeros.
#include <algorithm>
#include <cstdint>
#include <string>

#include "platform/BinaryFile.h"

namespace tessary {

class CheckedReader {
 public:
  explicit CheckedReader(BinaryFile& file) : file_(file) {}

  // Whether a read asked for more than the file held.
  bool Ended() const { return ended_; }
  int64_t Tell() const { return file_.Tell(); }
  uint64_t Remaining() const {
    return file_.Tell() < file_.Size() ? static_cast<uint64_t>(file_.Size() - file_.Tell()) : 0;
  }

  uint8_t U8() {
    Need(1);
    return file_.ReadU8();
  }
  uint16_t U16() {
    Need(2);
    return file_.ReadU16();
  }
  uint32_t U32() {
    Need(4);
    return file_.ReadU32();
  }
  float F32() {
    Need(4);
    return file_.ReadF32();
  }
  void Skip(uint64_t count) {
    Need(count);
    file_.Skip(static_cast<int64_t>(std::min(count, Remaining())));
  }
  // The next `size` bytes in place, or null (and the end noted) when the file ends first.
  const uint8_t* Take(uint64_t size) {
    if (!Need(size)) return nullptr;
    const uint8_t* at = file_.Bytes().data() + file_.Tell();
    file_.Skip(static_cast<int64_t>(size));
    return at;
  }
  // The zero-terminated string at the position, its zero consumed; a string that the end of
  // the file cuts off is returned as far as it goes, and the end noted.
  std::string ZString() {
    const auto& bytes = file_.Bytes();
    const auto start = bytes.begin() + std::min<int64_t>(file_.Tell(), file_.Size());
    const auto zero = std::find(start, bytes.end(), uint8_t{0});
    std::string text(start, zero);
    if (zero == bytes.end()) ended_ = true;
    file_.Seek(zero == bytes.end() ? file_.Size() : (zero - bytes.begin()) + 1);
    return text;
  }

 private:
  bool Need(uint64_t count) {
    if (Remaining() >= count) return true;
    ended_ = true;
    return false;
  }

  BinaryFile& file_;
  bool ended_ = false;
};

}  // namespace tessary
