// Scratch folders and generated vCard data for the benchmarks.
#include "BenchSupport.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <vector>

#include <ftw.h>
#include <unistd.h>

namespace bench {

ScratchDir::ScratchDir() {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/velmora-bench-XXXXXX";
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  if (!mkdtemp(buf.data())) throw std::runtime_error("mkdtemp failed");
  path_ = buf.data();
}

ScratchDir::~ScratchDir() {
  nftw(path_.c_str(),
       [](const char* p, const struct stat*, int, struct FTW*) { return std::remove(p); },
       16, FTW_DEPTH | FTW_PHYS);
}

std::string ScratchDir::Write(const std::string& name, const std::string& text) const {
  std::string path = path_ + "/" + name;
  std::ofstream out(path, std::ios::binary);
  out << text;
  return path;
}

std::string GeneratedCards(int n) {
  std::string text;
  text.reserve(static_cast<size_t>(n) * 160);
  for (int i = 0; i < n; ++i) {
    int key = 999 - i % 1000;
    text += "BEGIN:VCARD\r\nVERSION:2.1\r\n";
    text += "N:Person" + std::to_string(key) + ";Given" + std::to_string(i) + "\r\n";
    text += "FN:Given" + std::to_string(i) + " Person" + std::to_string(key) + "\r\n";
    text += "TEL;WORK;VOICE:+1 555 0" + std::to_string(i % 10000) + "\r\n";
    text += "EMAIL;INTERNET:u" + std::to_string(i) + "@example.com\r\n";
    text += "UID:u" + std::to_string(i) + "\r\nEND:VCARD\r\n";
  }
  return text;
}

}  // namespace bench
