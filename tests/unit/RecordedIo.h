// The command line's streams for in-process tests: output and errors recorded, standard
// input a console or not, and the answers a person would type.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/Cli.h"

namespace quenlow::test {

class RecordedIo : public cli::Io {
 public:
  void Out(std::string_view utf8) override { out += utf8; }
  void Err(std::string_view utf8) override { err += utf8; }
  bool InputIsConsole() override { return console; }
  std::optional<std::string> ReadLine() override {
    if (answers.empty()) return std::nullopt;
    std::string answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  }

  std::string out, err;
  bool console = false;
  std::vector<std::string> answers;
};

// Folders that exist nowhere: every test names its own with the folder options.
inline FolderSet NoFolders() { return {L"X:\\none", L"X:\\none", L"X:\\none"}; }

}  // namespace quenlow::test
