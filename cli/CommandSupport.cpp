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

}  // namespace

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
