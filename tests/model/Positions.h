#pragma once
// The positions of vertices or parts, one after the other, for comparing a whole list at once.
#include <vector>

namespace tessary::test {

using Xyz = std::vector<float>;

template <typename Items>
Xyz Positions(const Items& items) {
  Xyz out;
  for (const auto& i : items) out.insert(out.end(), i.position, i.position + 3);
  return out;
}

}  // namespace tessary::test
