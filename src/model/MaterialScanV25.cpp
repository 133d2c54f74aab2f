// The version 25 header keeps its material lists somewhere after the level list, behind
// data this program does not parse. They are found by looking for the first string that
// looks like one of the game's material names.
#include <array>
#include <cstring>
#include <vector>

#include "model/ModelV25.h"

namespace tessary {

namespace {

using namespace std::string_view_literals;

// Names that start a material list wherever they begin.
constexpr std::array kAnywherePrefixes = {"gfx_"sv, "ship_"sv, "wood_fence"sv,
                                          "locker"sv, "mil_"sv, "checker_"sv};
// Names that count only when they start a string (the byte before them is zero).
constexpr std::array kStringStartPrefixes = {"ch_"sv, "com_"sv, "me_"sv,
                                             "lamb"sv, "jeepride_"sv, "ap_"sv};
// Pieces that mark a whole string as a material name.
constexpr std::array kContained = {"mtl_"sv, "d000_brick_wall_dest"sv};

// The first bytes are compared before the rest: the scan tries every position of
// headers of hundreds of kilobytes.
template <size_t N>
bool StartsWithAny(std::string_view s, const std::array<std::string_view, N>& prefixes) {
  if (s.empty()) return false;
  for (auto prefix : prefixes)
    if (s[0] == prefix[0] && s.starts_with(prefix)) return true;
  return false;
}

// The bytes a name matched anywhere in a string can start with: every other position is
// passed over at the cost of one look-up.
constexpr auto kMayStartName = [] {
  std::array<bool, 256> may{};
  for (auto prefix : kAnywherePrefixes) may[static_cast<unsigned char>(prefix[0])] = true;
  may[static_cast<unsigned char>('r')] = true;  // "rgb"
  return may;
}();

// The first position of `text` (a string without zeros) at which a name matches, given
// whether the string starts right after a zero byte.
std::optional<size_t> MatchInString(std::string_view text, bool startsString) {
  for (auto piece : kContained)
    if (text.find(piece) != std::string_view::npos) return 0;
  for (size_t p = 0; p < text.size(); ++p) {
    std::string_view s = text.substr(p);
    if (p == 0 && startsString && StartsWithAny(s, kStringStartPrefixes)) return p;
    if (!kMayStartName[static_cast<unsigned char>(text[p])]) continue;
    if (StartsWithAny(s, kAnywherePrefixes)) return p;
    if (s == "rgb") return p;
  }
  return std::nullopt;
}

}  // namespace

std::optional<int64_t> ScanForMaterialNames(std::string_view region, bool nulBefore) {
  size_t start = 0;
  while (start < region.size()) {
    size_t end = region.find('\0', start);
    if (end == std::string_view::npos) end = region.size();
    if (end > start) {
      bool startsString = start > 0 || nulBefore;
      if (auto hit = MatchInString(region.substr(start, end - start), startsString))
        return static_cast<int64_t>(start + *hit) - 2;
    }
    start = end + 1;
  }
  return std::nullopt;
}

std::optional<int64_t> CModelV25::FindMaterialSection(BinaryFile& file) {
  int64_t here = file.Tell();
  bool nulBefore = false;
  if (here > 0) {
    file.Seek(here - 1);
    nulBefore = file.ReadU8() == 0;
  }
  int64_t size = file.Size() - here;
  if (size <= 0) return std::nullopt;
  if (size > kMaterialScanLimit) size = kMaterialScanLimit;
  std::vector<char> region(static_cast<size_t>(size));
  size_t got = file.Read(region.data(), region.size());
  return ScanForMaterialNames(std::string_view(region.data(), got), nulBefore);
}

}  // namespace tessary
