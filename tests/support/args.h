// An argv made from words, after the program's name, as a command line hands it over.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tavrik::testing {

struct Args {
  explicit Args(std::vector<std::string> words) : words_(std::move(words)) {
    words_.insert(words_.begin(), "tavrik");
    for (std::string& w : words_) {
      pointers_.push_back(w.data());
    }
    pointers_.push_back(nullptr);
  }
  int argc() const { return static_cast<int>(words_.size()); }
  char** argv() { return pointers_.data(); }

  std::vector<std::string> words_;
  std::vector<char*> pointers_;
};

}  // namespace tavrik::testing
