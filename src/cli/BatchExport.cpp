#include "cli/BatchExport.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <unistd.h>

#include "cli/CliSupport.h"
#include "cli/NumberCheck.h"
#include "cli/ProgressBar.h"
#include "platform/Disk.h"
#include "platform/FileSet.h"
#include "platform/Path.h"
#include "platform/PrintableText.h"

namespace tessary::cli {

namespace {

// The messages the readers brought up while exporting a model, one line each, as the
// desktop program shows them in boxes before the export's outcome.
void PrintMessages(INotifier& notifier, const ExportOutcome& outcome) {
  for (const std::string& message : outcome.messages) notifier.ShowMessage(message, "Tessary");
}

}  // namespace

int ExportNamedModels(const std::vector<std::string>& names, const ExportOne& exportOne) {
  int status = kExitOk;
  StderrNotifier notifier;
  for (const std::string& name : names) {
    ExportOutcome outcome = exportOne(name, nullptr, nullptr, notifier);
    PrintMessages(notifier, outcome);
    if (!outcome.ok) {
      PrintError(outcome.error);
      status = kExitFailed;
    }
  }
  return status;
}

unsigned DefaultJobs() { return std::clamp(std::thread::hardware_concurrency(), 1u, kMaxJobs); }

CLI::Option* AddJobsOption(CLI::App& command, unsigned& jobs) {
  jobs = DefaultJobs();
  return command
      .add_option("--jobs", jobs,
                  "With --all: how many models to export at once; default: one per core (never "
                  "more than the models, nor than " + std::to_string(kMaxJobs) + ")")
      ->check(NumberBetween(1, 4294967295.0));
}

namespace {

// The files each model of a batch wrote, to tell which ones a later model wrote again.
// Names are compared as the look-ups compare them, ignoring letter case.
class RewrittenFiles {
 public:
  void Add(size_t model, const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
      std::string key = path;
      std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return char(std::tolower(c)); });
      auto [it, added] = files_.try_emplace(key);
      if (added) {
        it->second.name = std::filesystem::path(path).filename().string();
        order_.push_back(key);
      }
      if (it->second.models.empty() || it->second.models.back() != model) it->second.models.push_back(model);
    }
  }

  // "  a.obj, a.mtl: first, second" for every set of models that wrote the same files, in
  // the order the files were first written.
  void Print(const std::vector<std::string>& names) const {
    std::vector<std::pair<std::vector<size_t>, std::string>> groups;
    size_t count = 0;
    for (const std::string& key : order_) {
      const Writers& file = files_.at(key);
      if (file.models.size() < 2) continue;
      ++count;
      auto group = std::find_if(groups.begin(), groups.end(), [&](const auto& g) { return g.first == file.models; });
      if (group == groups.end())
        groups.emplace_back(file.models, file.name);
      else
        group->second += ", " + file.name;
    }
    if (count == 0) return;
    std::printf("%zu %s written by several models, the last one's kept:\n", count, count == 1 ? "file was" : "files were");
    for (const auto& [models, files] : groups) {
      std::string line = files + ":";
      for (size_t i = 0; i < models.size(); ++i) line += (i == 0 ? " " : ", ") + names[models[i]];
      std::printf("  %s\n", PrintableText(line).c_str());
    }
  }

 private:
  struct Writers {
    std::string name;            // as the first model wrote it
    std::vector<size_t> models;  // in batch order
  };
  std::map<std::string, Writers> files_;
  std::vector<std::string> order_;
};

// A message or beep of one model's export, kept until the models before it are done.
struct Notice {
  bool beep = false;
  BeepKind kind = BeepKind::Simple;
  std::string text, caption;
};

class CollectingNotifier final : public INotifier {
 public:
  explicit CollectingNotifier(std::vector<Notice>& notices) : notices_(notices) {}
  void ShowMessage(const std::string& text, const std::string& caption) override {
    notices_.push_back({false, BeepKind::Simple, text, caption});
  }
  void Beep(BeepKind kind) override { notices_.push_back({true, kind, {}, {}}); }

 private:
  std::vector<Notice>& notices_;
};

// One model exported on a worker thread: its outcome, what it said, and its files, which
// reach their names only when the models before it are done.
struct ModelResult {
  ExportOutcome outcome;
  std::vector<Notice> notices;
  FileSet files;
};

// Exports names[i] for every i on `jobs` threads and hands each result to `finish`, in the
// order of `names` and one at a time. There is no thread that only waits: the worker that
// completes the oldest model not yet finished finishes it and every later one already
// done, so results are not handed from thread to thread and no thread is woken per model.
void ExportInParallel(Disk& disk, const std::vector<std::string>& names, const ExportOne& exportOne,
                      unsigned jobs, const std::function<void(size_t, ModelResult&)>& finish,
                      const std::function<void(size_t)>& waiting) {
  // Workers run at most this far ahead of the oldest model not yet finished, which bounds
  // the temporary files waiting in the output folder.
  const size_t window = 8 * static_cast<size_t>(jobs);
  std::mutex mutex;
  std::condition_variable advanced;
  std::vector<std::optional<ModelResult>> results(names.size());
  size_t next = 0, finished = 0;
  bool finishing = false;

  // Called with the lock held, after results[i] was stored.
  auto finishReady = [&](std::unique_lock<std::mutex>& lock) {
    if (finishing) return;  // the thread finishing now will reach it
    finishing = true;
    while (finished < names.size() && results[finished]) {
      size_t i = finished;
      ModelResult result = std::move(*results[i]);
      results[i].reset();
      lock.unlock();
      finish(i, result);
      if (i + 1 < names.size()) waiting(i + 1);
      lock.lock();
      finished = i + 1;
      advanced.notify_all();
    }
    finishing = false;
  };

  auto work = [&] {
    std::unique_lock lock(mutex);
    for (;;) {
      advanced.wait(lock, [&] { return next >= names.size() || next < finished + window; });
      if (next >= names.size()) return;
      size_t i = next++;
      lock.unlock();
      ModelResult result;
      CollectingNotifier notices(result.notices);
      result.outcome = exportOne(names[i], &result.files, disk.Fresh().get(), notices);
      lock.lock();
      results[i] = std::move(result);
      finishReady(lock);
    }
  };
  waiting(0);
  std::vector<std::jthread> workers;
  for (unsigned j = 1; j < jobs; ++j) {
    // Where the system grants fewer threads, the ones running share the models.
    try {
      workers.emplace_back(work);
    } catch (const std::system_error&) {
      break;
    }
  }
  work();
}

}  // namespace

int ExportAllModels(const std::string& workdir, const ExportOne& exportOne, unsigned jobs) {
  // The batch's look-ups share one listing of each folder; each model reads on a disk of
  // its own, which lets its bytes go once it is exported.
  Disk disk;
  auto names = ListModelHeaders(disk, workdir);
  if (!names) {
    PrintError("cannot list the model headers in " + workdir + "/xmodel");
    return kExitFailed;
  }
  // One check for the whole batch: without an output folder no model can be written.
  if (std::string problem = CheckOutputFolder(disk, workdir); !problem.empty()) {
    PrintError(problem);
    return kExitFailed;
  }
  // What an earlier export killed midway left in the output folder goes.
  RemoveStaleTemporaries(disk.Resolve(workdir + "\\obj"), std::filesystem::file_time_type::clock::now());
  ProgressBar bar(names->size(), isatty(STDERR_FILENO) != 0);
  StderrNotifier stderrNotifier;
  ProgressNotifier notifier(stderrNotifier, bar);

  size_t written = 0;
  std::vector<std::pair<std::string, std::string>> failures;
  RewrittenFiles rewritten;
  auto count = [&](size_t i, const ExportOutcome& outcome) {
    if (outcome.ok) {
      ++written;
      rewritten.Add(i, outcome.written);
    } else {
      failures.emplace_back((*names)[i], outcome.error);
    }
  };
  jobs = static_cast<unsigned>(std::min<size_t>({jobs, names->size(), kMaxJobs}));
  if (jobs <= 1) {
    for (size_t i = 0; i < names->size(); ++i) {
      bar.Update(i, (*names)[i]);
      ExportOutcome outcome = exportOne((*names)[i], nullptr, disk.Fresh().get(), notifier);
      PrintMessages(notifier, outcome);
      count(i, outcome);
    }
  } else {
    auto finish = [&](size_t i, ModelResult& result) {
      for (const Notice& notice : result.notices) {
        if (notice.beep)
          notifier.Beep(notice.kind);
        else
          notifier.ShowMessage(notice.text, notice.caption);
      }
      PrintMessages(notifier, result.outcome);
      // A file that cannot take its name fails the model there, as it would have when
      // written in turn.
      // A model that failed wrote nothing: its held files go with it.
      if (!result.outcome.ok) return count(i, result.outcome);
      if (!result.files.Commit(disk)) {
        result.outcome.ok = false;
        result.outcome.error = result.files.Error();
      }
      count(i, result.outcome);
    };
    auto waiting = [&](size_t i) { bar.Update(i, (*names)[i]); };
    ExportInParallel(disk, *names, exportOne, jobs, finish, waiting);
  }
  bar.Clear();
  std::printf("%zu of %zu models written", written, names->size());
  if (!failures.empty()) std::printf(", %zu failed:", failures.size());
  std::printf("\n");
  for (const auto& [name, why] : failures)
    std::printf("  %s: %s\n", PrintableText(name).c_str(), PrintableText(why).c_str());
  rewritten.Print(*names);
  std::fflush(stdout);
  return failures.empty() ? kExitOk : kExitFailed;
}

}  // namespace tessary::cli
