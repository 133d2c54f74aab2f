#include "cli/TreePrinter.h"

#include <nlohmann/json.hpp>

#include "platform/Latin1Text.h"

namespace tessary::cli {

// Names read from damaged or unusual headers can hold any byte. In the listing, control
// bytes are written as \xNN so that they neither vanish nor move the terminal, and the
// other bytes as the characters of the same value (as in the JSON form).
std::string ReadableName(const std::string& bytes) {
  if (bytes.empty()) return "\"\"";  // an empty name, so that the line does not look blank
  std::string out;
  for (unsigned char c : bytes) {
    if (c < 0x20 || (c >= 0x7F && c < 0xA0)) {
      static constexpr char kHex[] = "0123456789ABCDEF";
      out += "\\x";
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 0xF]);
    } else {
      out += Latin1ToUtf8(std::string(1, static_cast<char>(c)));
    }
  }
  return out;
}

namespace {

nlohmann::ordered_json ToJson(const TreeItem& item) {
  nlohmann::ordered_json j;
  j["text"] = Latin1ToUtf8(item.text);
  j["image"] = item.image;
  j["bold"] = item.bold;
  if (item.data) j["lod"] = *item.data;
  j["children"] = nlohmann::ordered_json::array();
  for (const auto& child : item.children) j["children"].push_back(ToJson(*child));
  return j;
}

void AppendText(const TreeItem& item, int depth, std::string& out) {
  out.append(static_cast<size_t>(depth) * 2, ' ');
  out += ReadableName(item.text);
  if (item.data) out += "  [lod " + std::to_string(*item.data) + "]";
  if (item.image == kImageMissing) out += "  [missing]";
  if (item.bold && !item.data) out += "  [iwi only]";
  out += '\n';
  for (const auto& child : item.children) AppendText(*child, depth + 1, out);
}

}  // namespace

std::string TreeToJson(const TreeItem& root) { return ToJson(root).dump(2) + "\n"; }

std::string TreeToText(const TreeItem& root) {
  std::string out;
  AppendText(root, 0, out);
  return out;
}

}  // namespace tessary::cli
