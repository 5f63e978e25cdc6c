// Whole-request cost of the console: every page is a fresh process, so the
// start-up of the program dominates. Runs the built program as the web server
// would, with a CGI environment, and waits for it to exit.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "BenchSupport.h"

namespace {

#ifdef BENCH_PROGRAM
// Runs program in dir with env, its output thrown away; false on a failure.
bool RunOnce(const std::string& program, const std::string& dir, const std::vector<std::string>& env,
             const std::vector<std::string>& args = {}) {
  pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) {
    int null = open("/dev/null", O_RDWR);
    dup2(null, 0);
    dup2(null, 1);
    dup2(null, 2);
    if (chdir(dir.c_str()) != 0) _exit(127);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    execve(program.c_str(), argv.data(), envp.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A minimal installation tree: the program three folders below the top, the
// back end, and a directory of n people indexed with the tool.
class Tree {
 public:
  explicit Tree(int people) {
    top_ = dir_.Path();
    for (const char* d : {"/config", "/logs", "/lib", "/data", "/htdocs", "/htdocs/admin",
                          "/htdocs/admin/bin"})
      mkdir((top_ + d).c_str(), 0755);
    symlink(BENCH_PLUGIN, (top_ + "/lib/kvfiledblib_cgi.so").c_str());
    bin_ = top_ + "/htdocs/admin/bin";
    std::string cards = dir_.Write("people.vcf", bench::GeneratedCards(people));
    RunOnce(BENCH_TOOL, top_, {}, {"--top", top_, "index", cards});
  }
  const std::string& Bin() const { return bin_; }

 private:
  bench::ScratchDir dir_;
  std::string top_, bin_;
};

// The fallback page written before any module code runs: the bare cost of
// starting and ending the process.
void BM_ProcessStartup(benchmark::State& state) {
  Tree tree(10);
  std::vector<std::string> env{"REQUEST_METHOD=HEAD", "SERVER_SOFTWARE=bench"};
  for (auto _ : state) {
    if (!RunOnce(BENCH_PROGRAM, tree.Bin(), env)) {
      state.SkipWithError("the program failed");
      break;
    }
  }
}
BENCHMARK(BM_ProcessStartup)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The login page: configuration, messages, the back end opened, a page built.
void BM_LoginPage(benchmark::State& state) {
  Tree tree(static_cast<int>(state.range(0)));
  std::vector<std::string> env{"REQUEST_METHOD=GET", "QUERY_STRING=program=app_common_prog_login",
                               "SCRIPT_NAME=/admin/bin/velmoraadmin.cgi", "SERVER_NAME=localhost",
                               "SERVER_PORT=80", "SERVER_SOFTWARE=bench",
                               "HTTP_USER_AGENT=Mozilla/5.0"};
  for (auto _ : state) {
    if (!RunOnce(BENCH_PROGRAM, tree.Bin(), env)) {
      state.SkipWithError("the program failed");
      break;
    }
  }
}
BENCHMARK(BM_LoginPage)->Arg(200)->Arg(10000)->Unit(benchmark::kMicrosecond)->UseRealTime();

// Generating login accounts for everybody in a directory, through the tool;
// each iteration starts from a directory without accounts.
void BM_GenerateAccounts(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto tree = std::make_unique<Tree>(static_cast<int>(state.range(0)));
    std::string top = tree->Bin() + "/../../..";
    state.ResumeTiming();
    if (!RunOnce(BENCH_TOOL, top, {}, {"--top", top, "accounts", "generate"})) {
      state.SkipWithError("account generation failed");
      break;
    }
    state.PauseTiming();
    tree.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_GenerateAccounts)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
#endif

}  // namespace

BENCHMARK_MAIN();
