// Stands in for libFuzzer where the compiler has none: runs the harness once
// on every file named, or in a folder named, on the command line (options
// beginning with "-" are ignored, so a libFuzzer command line works too).
// A crash or a failed check aborts, as under libFuzzer.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  std::vector<fs::path> files;
  for (int i = 1; i < argc; ++i) {
    if (argv[i][0] == '-') continue;
    if (!fs::is_directory(argv[i])) files.push_back(argv[i]);
    for (const auto& entry : fs::is_directory(argv[i]) ? fs::directory_iterator(argv[i]) : fs::directory_iterator()) {
      if (entry.is_regular_file()) files.push_back(entry.path());
    }
  }
  std::sort(files.begin(), files.end());
  for (const fs::path& file : files) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return fprintf(stderr, "cannot read %s\n", file.c_str()), 1;
    const std::string data(std::istreambuf_iterator<char>(in), {});
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(data.data()), data.size());
  }
  fprintf(stderr, "replayed %zu inputs\n", files.size());
  return files.empty() ? 1 : 0;
}
