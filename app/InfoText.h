// The texts of the dialog's two link controls.
#pragma once

#include <string>
#include <vector>

namespace quenlow {

// The maker's web site; every page address of the program starts with it.
inline constexpr const wchar_t* kMakerWebSite = L"https://www.quenlow.com";

// The help folder below the program files folder.
inline constexpr const wchar_t* kHelpFolder = L"\\Quenlow\\FX\\Help";

// The Info text as stored, with the default help folder as the target of its eighth link.
std::wstring InfoTextTemplate();

// The Info text with the resolved help folder in place of the default one.
std::wstring BuildInfoText(const std::wstring& programFiles);

std::wstring RendererText();

// The href of every link of a link-control text, in order.
std::vector<std::wstring> LinkTargets(const std::wstring& markup);

}  // namespace quenlow
