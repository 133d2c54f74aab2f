#include "platform/Process.h"

namespace tessary {

std::string DescribeProcessEnd(const ProcessResult& result) {
  if (!result.started) return "could not be started";
  if (result.signal != 0) return "was ended by signal " + std::to_string(result.signal);
  return "exited with status " + std::to_string(result.exitStatus);
}

}  // namespace tessary
