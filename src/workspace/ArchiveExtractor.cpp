#include "workspace/ArchiveExtractor.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <memory>
#include <system_error>
#include <zip.h>

#include "platform/Notifier.h"
#include "platform/OutputFile.h"
#include "platform/Disk.h"
#include "platform/Path.h"

namespace fs = std::filesystem;

namespace tessary {

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

std::string LowerCopy(std::string s) {
  for (char& c : s) c = Lower(c);
  return s;
}

struct ZipCloser {
  void operator()(zip_t* z) const { zip_discard(z); }
};
struct ZipFileCloser {
  void operator()(zip_file_t* f) const { zip_fclose(f); }
};

// Why an entry may not be written, or empty when it may.
std::string UnsafeReason(zip_t* archive, zip_uint64_t index, const std::string& name) {
  if (name.empty()) return "it has no name";
  if (name[0] == '/' || name[0] == '\\' ||
      (name.size() >= 2 && name[1] == ':' && std::isalpha(static_cast<unsigned char>(name[0]))))
    return "its path is absolute";
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find_first_of("/\\", start);
    if (end == std::string::npos) end = name.size();
    if (name.compare(start, end - start, "..") == 0 && end - start == 2)
      return "its path leads out of the working folder";
    start = end + 1;
  }
  zip_uint8_t system = 0;
  zip_uint32_t attributes = 0;
  if (zip_file_get_external_attributes(archive, index, 0, &system, &attributes) == 0) {
    // Unix keeps the file type in the upper half: 0170000 masks it, 0120000 is a link.
    if (system == ZIP_OPSYS_UNIX && ((attributes >> 16) & 0170000) == 0120000) return "it is a link";
    if (system == ZIP_OPSYS_DOS && (attributes & 0x400) != 0) return "it is a link";
  }
  return {};
}

void Report(INotifier& notifier, const std::string& archive, const std::string& entry,
            const std::string& why) {
  notifier.ShowMessage("Skipped \"" + entry + "\" in " + ToNativeSeparators(archive) + ": " + why + ".");
}

std::optional<uint64_t> FreeSpace(const ExtractLimits& limits, const fs::path& folder) {
  if (limits.freeSpace) return limits.freeSpace(folder);
  std::error_code ec;
  fs::space_info info = fs::space(folder, ec);
  if (ec) return std::nullopt;
  return info.available;
}

// Whether `more` bytes still leave the margin free (true when the space cannot be told).
bool LeavesMargin(const ExtractLimits& limits, const fs::path& folder, uint64_t more) {
  auto free = FreeSpace(limits, folder);
  return !free || (*free >= more && *free - more >= limits.freeSpaceMargin);
}

enum class EntryResult { Written, Failed, TooLarge, NoSpace };

EntryResult WriteEntry(Disk& disk, zip_t* archive, zip_uint64_t index, const std::string& destination,
                       const ExtractLimits& limits) {
  zip_stat_t stat;
  zip_stat_init(&stat);
  uint64_t declared = 0;
  if (zip_stat_index(archive, index, 0, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE) != 0)
    declared = stat.size;
  if (declared > limits.maxEntryBytes) return EntryResult::TooLarge;
  fs::path target = disk.Resolve(destination);
  std::error_code ec;
  // A folder made here changes the listings the look-ups have taken.
  if (fs::create_directories(target.parent_path(), ec)) {
    disk.Forget();
    target = disk.Resolve(destination);
  }
  const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  if (!LeavesMargin(limits, folder, declared)) return EntryResult::NoSpace;

  std::unique_ptr<zip_file_t, ZipFileCloser> in(zip_fopen_index(archive, index, 0));
  if (!in) return EntryResult::Failed;
  OutputFile out;
  if (!out.Open(disk, destination, target)) return EntryResult::Failed;
  std::vector<char> buffer(1 << 16);
  uint64_t total = 0;
  // The declared size may lie: what really arrives is counted, and the free space looked
  // at again every few MiB. The temporary goes with `out` when the entry is given up.
  constexpr uint64_t kSpaceCheckEvery = uint64_t{4} << 20;
  uint64_t nextSpaceCheck = kSpaceCheckEvery;
  while (true) {
    zip_int64_t n = zip_fread(in.get(), buffer.data(), buffer.size());
    if (n < 0) return EntryResult::Failed;
    if (n == 0) break;
    total += static_cast<uint64_t>(n);
    if (total > limits.maxEntryBytes) return EntryResult::TooLarge;
    if (total >= nextSpaceCheck) {
      if (!LeavesMargin(limits, folder, 0)) return EntryResult::NoSpace;
      nextSpaceCheck += kSpaceCheckEvery;
    }
    out.Write(buffer.data(), static_cast<size_t>(n));
  }
  return out.Commit() ? EntryResult::Written : EntryResult::Failed;
}

struct Extraction {
  int written = 0;
  bool stopped = false;  // the free space ran short
};

Extraction ExtractEntries(const std::string& archive, const std::string& fileMask,
                          const std::string& workingFolder, INotifier& notifier,
                          const ExtractLimits& limits) {
  Extraction result;
  Disk disk;  // the entries' look-ups, for this extraction
  int error = 0;
  std::unique_ptr<zip_t, ZipCloser> zip(zip_open(archive.c_str(), ZIP_RDONLY, &error));
  if (!zip) {
    zip_error_t ze;
    zip_error_init_with_code(&ze, error);
    notifier.ShowMessage("Cannot open the archive " + archive + ": " + zip_error_strerror(&ze) + ".");
    zip_error_fini(&ze);
    return result;
  }
  zip_int64_t count = zip_get_num_entries(zip.get(), 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    auto index = static_cast<zip_uint64_t>(i);
    const char* raw = zip_get_name(zip.get(), index, ZIP_FL_ENC_RAW);
    if (raw == nullptr) continue;
    std::string name = raw;
    if (!name.empty() && (name.back() == '/' || name.back() == '\\')) continue;  // a folder
    size_t slash = name.find_last_of("/\\");
    std::string fileName = slash == std::string::npos ? name : name.substr(slash + 1);
    if (!MatchesMask(fileMask, fileName)) continue;
    std::string why = UnsafeReason(zip.get(), index, name);
    if (!why.empty()) {
      Report(notifier, archive, name, why);
      continue;
    }
    std::string relative = name;
    std::replace(relative.begin(), relative.end(), '/', '\\');
    switch (WriteEntry(disk, zip.get(), index, workingFolder + "\\" + relative, limits)) {
      case EntryResult::Written:
        ++result.written;
        break;
      case EntryResult::Failed:
        Report(notifier, archive, name, "it could not be read or written");
        break;
      case EntryResult::TooLarge:
        Report(notifier, archive, name, "it is larger than " + FormatByteCount(limits.maxEntryBytes) +
                                  ", the limit for one file");
        break;
      case EntryResult::NoSpace:
        notifier.ShowMessage("Stopped extracting from " + ToNativeSeparators(archive) +
                             ": the free space of " + ToNativeSeparators(workingFolder) +
                             " would fall under " + FormatByteCount(limits.freeSpaceMargin) + ".");
        result.stopped = true;
        return result;
    }
  }
  return result;
}

}  // namespace

bool MatchesMask(std::string_view mask, std::string_view name) {
  size_t m = 0, n = 0;
  size_t starMask = std::string_view::npos, starName = 0;
  while (n < name.size()) {
    if (m < mask.size() && (mask[m] == '?' || Lower(mask[m]) == Lower(name[n]))) {
      ++m;
      ++n;
    } else if (m < mask.size() && mask[m] == '*') {
      starMask = m++;
      starName = n;
    } else if (starMask != std::string_view::npos) {
      m = starMask + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

std::vector<std::string> ListGameArchives(const std::string& gameFolder) {
  if (gameFolder.empty()) return {};  // no game folder set: no archives
  Disk disk;
  fs::path mainFolder = disk.Resolve(gameFolder + "main");
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(mainFolder, ec), end; !ec && it != end; it.increment(ec)) {
    std::string name = it->path().filename().string();
    std::error_code fileEc;
    if (MatchesMask("iw_*.iwd", name) && it->is_regular_file(fileEc)) names.push_back(name);
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    std::string la = LowerCopy(a), lb = LowerCopy(b);
    return la != lb ? la < lb : a < b;
  });
  std::vector<std::string> archives;
  for (const auto& name : names) archives.push_back((mainFolder / name).string());
  return archives;
}

int ExtractMatchingEntries(const std::string& archive, const std::string& fileMask,
                           const std::string& workingFolder, INotifier& notifier,
                           const ExtractLimits& limits) {
  return ExtractEntries(archive, fileMask, workingFolder, notifier, limits).written;
}

int ExtractFromGameArchives(const std::string& gameFolder, const std::string& fileMask,
                            const std::string& workingFolder, INotifier& notifier,
                            const ExtractLimits& limits) {
  int written = 0;
  for (const auto& archive : ListGameArchives(gameFolder)) {
    Extraction one = ExtractEntries(archive, fileMask, workingFolder, notifier, limits);
    written += one.written;
    if (one.stopped) break;
  }
  return written;
}

std::string FormatByteCount(uint64_t bytes) {
  static const char* const units[] = {"bytes", "KiB", "MiB", "GiB", "TiB"};
  int unit = 0;
  uint64_t whole = bytes;
  uint64_t rest = 0;
  while (whole >= 1024 && unit < 4) {
    rest = whole % 1024;
    whole /= 1024;
    ++unit;
  }
  std::string text = std::to_string(whole);
  if (unit > 0 && rest != 0) {
    text += '.';
    text += std::to_string(rest * 10 / 1024);
  }
  text += ' ';
  return text + units[unit];
}

}  // namespace tessary
