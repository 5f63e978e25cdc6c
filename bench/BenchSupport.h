// Helpers shared by the benchmarks: scratch folders and generated vCard data.
#pragma once

#include <string>

namespace bench {

// A fresh folder under the temporary directory, removed with its contents
// when the object goes away.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& Path() const { return path_; }
  std::string Write(const std::string& name, const std::string& text) const;

 private:
  std::string path_;
};

// n vCard 2.1 cards with UIDs "u0".."u<n-1>" whose names repeat every 1000
// cards in descending order, the worst order for an insertion sort.
std::string GeneratedCards(int n);

}  // namespace bench
