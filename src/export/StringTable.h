#pragma once
// The program's string table: fixed texts that files and windows are made of, looked up
// by their resource numbers.
#include <string_view>

namespace tessary {

// Resource numbers of the DirectX text file's header and its template declarations.
inline constexpr int kXFileHeader = 61223;
inline constexpr int kXFirstTemplate = 61212;
inline constexpr int kXLastTemplate = 61222;

// The text of string `id`; empty for a number the table does not hold.
std::string_view LoadResourceString(int id);

}  // namespace tessary
