// Throughput of the configuration reader on large, hostile files, beside the
// C library's own token scan over the same file as the baseline. Both open
// and read the file on every iteration, so both include the file I/O. Times
// are the thread's CPU time (user and system), which on a shared machine
// varies far less than the wall clock; the file is in the page cache after
// the first iteration, so there is no waiting for the disk to leave out.
//
// After the usual table it prints, per input, the bytes per second of both
// and their ratio.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "config/config.h"
#include "config/platform.h"

namespace {

constexpr std::size_t MIB = 1024 * 1024;

const std::string SETTINGS =
    "[Configuration]\nTimerMinutes=30\nRandom=0\nRefreshScreen=0\n\n[Wallpaper Files]\n";
const std::string TWO_PATHS = "C:\\WINDOWS\\FIRST.BMP\nC:\\WINDOWS\\SECOND.BMP\n";

struct Input {
  const char *name;
  std::string bytes;  // dropped once written to path
  bool accepted;      // what the reader must make of it
  std::string path = {};
  std::size_t size = 0;
};

// One token of 100 MiB after valid settings: one too-long warning, no list.
std::string Endless_Token() { return SETTINGS + std::string(100 * MIB, 'x') + "\n"; }

// Tokens of 64 to 1,000 characters, every one too long, then two good paths.
std::string Many_Long_Tokens() {
  std::string text = SETTINGS;
  for (std::size_t length = 64; text.size() < 32 * MIB; length = length == 1000 ? 64 : length + 1) {
    text.append(length, 'L');
    text += '\n';
  }
  return text + TWO_PATHS;
}

// A megabyte of blank lines between the settings and the list header.
std::string Blank_Lines() {
  return "[Configuration]\nTimerMinutes=30\nRandom=0\nRefreshScreen=0\n" +
         std::string(MIB, '\n') + "[Wallpaper Files]\n" + TWO_PATHS;
}

bool Write_File(const std::string &path, const std::string &bytes) {
  std::FILE *file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

void Reader(benchmark::State &state, const Input *input) {
  for (auto _ : state) {
    if (Read_Configuration(input->path.c_str()) != input->accepted) {
      state.SkipWithError("the reader did not read the input as expected");
      return;
    }
  }
  state.SetBytesProcessed(state.iterations() * input->size);
}

void Fscanf_Baseline(benchmark::State &state, const Input *input) {
  static char token[SZBUF_SIZE];
  for (auto _ : state) {
    std::FILE *file = std::fopen(input->path.c_str(), "r");
    if (file == nullptr) {
      state.SkipWithError("cannot open the input");
      return;
    }
    while (std::fscanf(file, "%1023s", token) == 1) benchmark::DoNotOptimize(token);
    std::fclose(file);
  }
  state.SetBytesProcessed(state.iterations() * input->size);
}

// The usual console table, and the bytes per second of every run kept by
// benchmark name for the comparison: with repetitions, their median.
class Comparing_Reporter : public benchmark::ConsoleReporter {
 public:
  Comparing_Reporter() : ConsoleReporter(OO_Tabular) {}
  void ReportRuns(const std::vector<Run> &runs) override {
    for (const Run &run : runs) {
      const auto rate = run.counters.find("bytes_per_second");
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (run.run_type == Run::RT_Aggregate && !median) continue;
      if (!run.error_occurred && rate != run.counters.end()) {
        bytes_per_second[run.run_name.function_name] = rate->second.value;
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> bytes_per_second;
};

}  // namespace

// The warnings, one per too-long token, go nowhere.
void Show_Message(const char *, Message_Icon) {}
void Set_Desktop_Wallpaper(const char *) {}
void Repaint_Whole_Screen() {}
void Set_Arrow_Cursor() {}

int main(int argc, char **argv) {
  char folder[] = "/tmp/morvelin-bench-XXXXXX";
  if (mkdtemp(folder) == nullptr) return 1;
  std::vector<Input> inputs = {
      {"endless_token", Endless_Token(), false},
      {"many_long_tokens", Many_Long_Tokens(), true},
      {"blank_lines", Blank_Lines(), true},
  };
  bool written = true;
  for (Input &input : inputs) {
    input.path = std::string(folder) + "/" + input.name + ".cfg";
    written = written && Write_File(input.path, input.bytes);
    input.size = input.bytes.size();
    std::string().swap(input.bytes);
  }
  for (const Input &input : inputs) {
    const std::string name = input.name;
    benchmark::RegisterBenchmark(("reader/" + name).c_str(), Reader, &input);
    benchmark::RegisterBenchmark(("fscanf/" + name).c_str(), Fscanf_Baseline, &input);
  }

  benchmark::Initialize(&argc, argv);
  Comparing_Reporter reporter;
  if (written) benchmark::RunSpecifiedBenchmarks(&reporter);

  for (const Input &input : inputs) unlink(input.path.c_str());
  rmdir(folder);
  if (!written) return 1;

  // Inputs left out by --benchmark_filter are left out here too.
  int compared = 0;
  bool fast_enough = true;
  std::printf("\n%-18s %14s %14s %8s\n", "input", "reader MiB/s", "fscanf MiB/s", "ratio");
  for (const Input &input : inputs) {
    const std::string name = input.name;
    const auto reader = reporter.bytes_per_second.find("reader/" + name);
    const auto fscanf = reporter.bytes_per_second.find("fscanf/" + name);
    if (reader == reporter.bytes_per_second.end() ||
        fscanf == reporter.bytes_per_second.end()) {
      continue;
    }
    const double ratio = reader->second / fscanf->second;
    std::printf("%-18s %14.1f %14.1f %7.2fx\n", input.name, reader->second / MIB,
                fscanf->second / MIB, ratio);
    fast_enough = fast_enough && ratio >= 2.0;
    ++compared;
  }
  if (compared > 0) {
    std::printf("goal, the reader at least 2x the fscanf baseline on every input: %s\n",
                fast_enough ? "met" : "not met");
  }
  return 0;
}
