#include "app/InfoText.h"

#include "catalogue/Catalogue.h"

namespace quenlow {
namespace {

std::wstring Link(const std::wstring& target, const std::wstring& label) {
  return L"<a href=\"" + target + L"\">" + label + L"</a>";
}

std::wstring Page(const wchar_t* name) { return std::wstring(kMakerWebSite) + L"/" + name; }

constexpr const wchar_t* kDefaultHelpFolder = L"C:\\Program Files\\Quenlow\\FX\\Help";

}  // namespace

std::wstring InfoTextTemplate() {
  std::wstring text;
  for (const FamilyInfo& family : kFamilies) {
    if (!text.empty()) text += L"   ";
    text += Link(family.linkId, family.displayName);
  }
  text +=
      L"\n\nClick PlugIn names above for info/options. Please be sure to read the very useful Getting Started "
      L"file(s) in your ";
  text += Link(kDefaultHelpFolder, L"Start > Quenlow FX");
  text += L" menu. For FAQs and technicall support  ";
  text += Link(Page(L"help.htm"), L"click here");
  text += L". Check for newer versions ";
  text += Link(Page(L"versions.htm"), L"here");
  text += L". You can access this app ANYTIME from your Start > Quenlow FX menu.";
  return text;
}

std::wstring BuildInfoText(const std::wstring& programFiles) {
  std::wstring text = InfoTextTemplate();
  // The default folder follows the first quote that is followed by "C:".
  const std::size_t quote = text.find(L"\"C:");
  const std::size_t length = std::char_traits<wchar_t>::length(kDefaultHelpFolder);
  if (quote != std::wstring::npos) text.replace(quote + 1, length, programFiles + kHelpFolder);
  return text;
}

std::wstring RendererText() {
  return L"Switch the render engine to a different renderer if you see unexpected results (such as black output) "
         L"when applying plugins, then re-start your video editing program to see if the problem is solved. If "
         L"there is still a problem, please click the Export Text Report button below. Then contact us about the "
         L"problem and paste the exported text into our " +
         Link(Page(L"help-tech-support-form.htm"), L"contact form") + L".";
}

std::vector<std::wstring> LinkTargets(const std::wstring& markup) {
  std::vector<std::wstring> targets;
  const std::wstring open = L"<a href=\"";
  for (std::size_t at = markup.find(open); at != std::wstring::npos; at = markup.find(open, at)) {
    at += open.size();
    const std::size_t close = markup.find(L'"', at);
    if (close == std::wstring::npos) break;
    targets.push_back(markup.substr(at, close - at));
    at = close;
  }
  return targets;
}

}  // namespace quenlow
