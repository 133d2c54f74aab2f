#pragma once
// Number formatting for the text exports: the exact digits that C's printf("%.Nf") and
// printf("%i") produce (glibc on Linux, "C" locale), without printf's per-call costs.
#include <cstddef>
#include <cstdint>

namespace tessary {

// Room that any result of FormatFixed needs (the largest double has 309 integer digits).
inline constexpr size_t kMaxFixedChars = 336;
// Room that any result of FormatInt needs.
inline constexpr size_t kMaxIntChars = 24;

// Writes `value` as printf("%.*f", precision, value) does, for precision 0 to 9: correctly
// rounded (exact halves to even), a minus sign on negative values and on -0, and "nan",
// "-nan", "inf" or "-inf" for values that are not finite. Returns the end of the text.
char* FormatFixed(char* out, double value, int precision);
// FormatFixed with precision 6, as printf("%f").
char* FormatFixed6(char* out, double value);

// Writes `value` as printf("%i") does. Returns the end of the text.
char* FormatInt(char* out, int64_t value);

}  // namespace tessary
