#include "model/FileAccess.h"

#include <cstring>
#include <string>
#include <vector>

namespace tessary {

int MeasureString(BinaryFile& file, int64_t offset, bool backward, bool* reachedStart) {
  if (reachedStart) *reachedStart = false;
  if (!backward) {
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
  int length = 0;
  int64_t pos = offset;
  while (length < kMeasureLimit) {
    if (pos <= 0) {
      if (reachedStart) *reachedStart = true;
      file.Seek(0);
      return length;
    }
    --pos;
    file.Seek(pos);
    uint8_t b = 0;
    file.ReadByte(b);  // leaves the file just after the byte
    if (b == 0) return length;
    ++length;
  }
  file.Seek(offset);
  return 0;
}

int PeekStringLength(BinaryFile& file) {
  int64_t start = file.Tell();
  int count = 0;
  uint8_t b = 0;
  while (file.ReadByte(b)) {
    ++count;
    if (b == 0) break;
  }
  file.Seek(start);
  return count;
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
