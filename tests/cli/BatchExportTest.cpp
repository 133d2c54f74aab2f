// The batch of export --all run in this process with an export of its own: every model is
// handed over once, whatever the number of jobs. Built with the standard library's checked
// indexing, so a look at a model past the last (the progress bar's, say) stops the test.
#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>

#include "cli/BatchExport.h"
#include "cli/CliSupport.h"
#include "fixtures/TempWorkdir.h"

namespace tessary {
namespace {

TEST(BatchExport, EveryModelIsExportedOnceAndFailuresSetTheStatus) {
  test::TempWorkdir wd;
  for (const char* name : {"a", "b", "c"}) wd.Write(std::string("xmodel/") + name, std::vector<uint8_t>{0});
  for (unsigned jobs : {1u, 2u}) {
    SCOPED_TRACE(jobs);
    std::mutex mutex;
    std::vector<std::string> exported;
    auto exportOne = [&](const std::string& name, FileSet*, Disk*, INotifier&) {
      std::lock_guard lock(mutex);
      exported.push_back(name);
      return ExportOutcome{.ok = name != "b", .error = "b is damaged"};
    };
    EXPECT_EQ(cli::ExportAllModels(wd.Str(), exportOne, jobs), cli::kExitFailed);
    std::sort(exported.begin(), exported.end());
    EXPECT_EQ(exported, (std::vector<std::string>{"a", "b", "c"}));
  }
}

}  // namespace
}  // namespace tessary
