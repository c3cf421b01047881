// Helpers the commands share: text conversion, error lines, family names.
#include <algorithm>
#include <cctype>

#include "cli/Commands.h"
#include "platform/TextConvert.h"

namespace quenlow::cli {
namespace {

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

bool IsYes(std::string answer) {
  std::transform(answer.begin(), answer.end(), answer.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  answer.erase(0, answer.find_first_not_of(" \t"));
  answer.erase(answer.find_last_not_of(" \t") + 1);
  return answer == "y" || answer == "yes";
}

}  // namespace

std::optional<int> AskFirst(Io& io, bool yes, const std::string& action, const std::string& question) {
  if (yes) return std::nullopt;
  if (!io.InputIsConsole()) {
    PrintError(io, action + " and asks first; standard input is not a console, so add --yes to confirm");
    return kExitUsage;
  }
  io.Err(question + " [y/N] ");
  const std::optional<std::string> answer = io.ReadLine();
  if (answer && IsYes(*answer)) return std::nullopt;
  io.Err("Nothing was changed.\n");
  return kExitDone;
}

std::string Utf8(const std::wstring& text) { return WideToUtf8(text); }

std::string ErrorText(const std::error_code& error) {
  std::string text = error.message();
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
    text.pop_back();
  if (text.empty()) text = "error " + std::to_string(error.value());
  return text;
}

void PrintError(Io& io, const std::string& message) { io.Err("quenlowfx: " + message + "\n"); }

const FamilyInfo* FindFamily(const std::string& nameOrId) {
  for (const FamilyInfo& family : kFamilies)
    if (EqualIgnoringCase(nameOrId, Utf8(family.displayName)) || EqualIgnoringCase(nameOrId, Utf8(family.linkId)))
      return &family;
  return nullptr;
}

std::string ValidFamilies() {
  std::string list;
  for (const FamilyInfo& family : kFamilies) {
    if (!list.empty()) list += ", ";
    list += Utf8(family.displayName) + " (" + Utf8(family.linkId) + ")";
  }
  return list;
}

}  // namespace quenlow::cli
