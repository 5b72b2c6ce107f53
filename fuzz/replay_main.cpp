// Calls a fuzz target once on every file under the directories (or files) given, so the ordinary
// native build replays the saved inputs under its sanitizers without clang or libFuzzer.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  std::vector<fs::path> inputs;
  for (int i = 1; i < argc; ++i) {
    const fs::path root(argv[i]);
    if (fs::is_directory(root)) {
      for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) inputs.push_back(entry.path());
      }
    } else if (fs::is_regular_file(root)) {
      inputs.push_back(root);
    } else {
      std::fprintf(stderr, "replay: %s not found\n", argv[i]);
      return 1;
    }
  }
  // A replay of nothing would pass without testing anything.
  if (inputs.empty()) {
    std::fprintf(stderr, "replay: no inputs\n");
    return 1;
  }
  std::sort(inputs.begin(), inputs.end());
  for (const fs::path& input : inputs) {
    std::ifstream file(input, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                                  std::istreambuf_iterator<char>());
    if (!file.good() && !file.eof()) {
      std::fprintf(stderr, "replay: cannot read %s\n", input.c_str());
      return 1;
    }
    // An exact-size copy, so reading past the input is an overflow the sanitizer sees.
    std::vector<uint8_t> exact(bytes.begin(), bytes.end());
    std::fprintf(stderr, "replay: %s (%zu bytes)\n", input.c_str(), exact.size());
    LLVMFuzzerTestOneInput(exact.data(), exact.size());
  }
  std::printf("replay: %zu inputs\n", inputs.size());
  return 0;
}
