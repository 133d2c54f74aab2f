#include "model/FileAccess.h"

#include <cstring>
#include <string>
#include <vector>

namespace tessary {

int MeasureString(BinaryFile& file, int64_t offset) {
  file.Seek(offset);
  int length = 0;
  uint8_t b = 0;
  while (length < kMeasureLimit) {
    if (!file.ReadByte(b) || b == 0) {
      file.Seek(offset);
      return length;
    }
    ++length;
  }
  file.Seek(offset);
  return 0;
}

std::optional<MaterialListsStart> WalkBackToMaterialLists(const std::vector<uint8_t>& bytes, int wanted,
                                                          int64_t* bytesLookedAt) {
  if (bytes.empty()) return std::nullopt;
  int64_t looked = 0;
  // The nearest zero at or before `from` and not before `to` (both may be out of range);
  // -1 when there is none.
  auto zeroBackFrom = [&](int64_t from, int64_t to) -> int64_t {
    for (int64_t k = from; k >= 0 && k >= to; --k) {
      ++looked;
      if (bytes[static_cast<size_t>(k)] == 0) return k;
    }
    return -1;
  };
  const int64_t limit = kMeasureLimit;
  int64_t pos = static_cast<int64_t>(bytes.size()) - 1;
  int found = 0;
  std::optional<MaterialListsStart> result;
  // A run without zeros is scanned once: its start is remembered while the walk steps
  // back through it one measurement at a time.
  int64_t runZero = -2;  // the zero before the run last scanned; -2 when none was
  while (found < wanted) {
    int64_t zero = zeroBackFrom(pos - 1, pos - limit);
    if (zero < 0 && pos >= limit && (runZero == -2 || runZero >= pos - limit))
      runZero = zeroBackFrom(pos - limit - 1, 0);
    int64_t length = 0;
    if (zero >= 0) {
      length = pos - zero - 1;
      pos = zero;
    } else if (pos < limit) {
      if (bytesLookedAt) *bytesLookedAt = looked;
      return std::nullopt;  // the start of the file, and not enough lists
    } else {
      // A run of 1,024 or more non-zero bytes: every measurement inside it gives 0 and
      // moves one byte back, until the run before the position is shorter than the
      // limit (or the start of the file is reached).
      pos = runZero >= 0 ? runZero + limit : limit - 1;
      continue;
    }
    if (length == 2 || length == 3) {
      result = MaterialListsStart{pos + 3, found + 1};
      break;
    }
    if (length == 1) ++found;
  }
  if (!result) result = MaterialListsStart{pos + 1, found};
  if (bytesLookedAt) *bytesLookedAt = looked;
  return result;
}

int CountLodNames(BinaryFile& file, int64_t offset) {
  file.Seek(offset);
  int count = 0;
  for (;;) {
    uint32_t value = file.ReadU32();
    uint8_t first = 0;
    bool got = file.ReadByte(first);
    ++count;
    if (!got || first == 0) return count - 1;
    int nameLength = 1;
    uint8_t b = 0;
    while (file.ReadByte(b) && b != 0) ++nameLength;
    if (nameLength == 1) return count - 1;
    if (value == 0) return count;
  }
}

int64_t FindMaterialSection(BinaryFile& file) {
  static constexpr char kMarker[4] = {'m', 't', 'l', '_'};
  file.Seek(0);
  std::vector<char> block(kMeasureLimit);
  // Carry the last three bytes of each block so that a marker straddling two blocks is
  // found like any other.
  std::string window;
  int64_t windowStart = 0;
  for (;;) {
    size_t got = file.Read(block.data(), block.size());
    if (got == 0) break;
    window.append(block.data(), got);
    auto hit = window.find(std::string_view(kMarker, 4));
    if (hit != std::string::npos) {
      int64_t at = windowStart + static_cast<int64_t>(hit);
      return at < 2 ? -1 : at - 2;
    }
    if (window.size() > 3) {
      windowStart += static_cast<int64_t>(window.size() - 3);
      window.erase(0, window.size() - 3);
    }
    if (got < block.size()) break;
  }
  return -1;
}

std::string ReadZString(BinaryFile& file, int64_t limit) {
  std::string out;
  uint8_t b = 0;
  while (static_cast<int64_t>(out.size()) < limit && file.ReadByte(b) && b != 0)
    out.push_back(static_cast<char>(b));
  return out;
}

}  // namespace tessary

namespace tessary {
size_t ReadIndices(BinaryFile& file, std::vector<uint16_t>& out, size_t count) {
  std::vector<uint8_t> raw(count * 2, 0);
  size_t got = file.Read(raw.data(), raw.size());
  out.resize(count);
  for (size_t i = 0; i < count; ++i)
    out[i] = static_cast<uint16_t>(raw[2 * i] | (raw[2 * i + 1] << 8));
  return got / 2;
}
}  // namespace tessary
