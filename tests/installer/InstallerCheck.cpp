// Checks what the installer left behind, from inside the Wine prefix:
//
//   installer_check installed   the executable, the Start-menu shortcut (and its target)
//                               and the uninstall entry are there
//   installer_check removed     they are gone again (waiting for the uninstaller, which
//                               runs from a copy of itself), while the files of other
//                               products below the same folder survive
#include "ProductInfo.h"
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>
#include <string>

namespace {

constexpr const wchar_t* kUninstallKey = QUENLOW_WIDEN(QUENLOW_UNINSTALL_KEY);

int g_failures = 0;
int g_passes = 0;

void Check(bool condition, const char* what) {
  std::printf("%s: %s\n", condition ? "ok" : "FAILED", what);
  condition ? ++g_passes : ++g_failures;
}

std::wstring Folder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  ::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring InstallFolder() { return Folder(CSIDL_PROGRAM_FILES) + L"\\" QUENLOW_WIDEN(QUENLOW_INSTALL_SUBFOLDER); }
std::wstring Executable() { return InstallFolder() + L"\\" QUENLOW_WIDEN(QUENLOW_EXE_NAME); }
std::wstring MenuFolder() { return Folder(CSIDL_COMMON_PROGRAMS) + L"\\" QUENLOW_WIDEN(QUENLOW_MENU_FOLDER); }
std::wstring Shortcut() { return MenuFolder() + L"\\" QUENLOW_WIDEN(QUENLOW_SHORTCUT_NAME); }

std::wstring ShortcutTarget(const std::wstring& link) {
  std::wstring target;
  IShellLinkW* shellLink = nullptr;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&shellLink))))
    return target;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    wchar_t path[MAX_PATH] = {};
    if (SUCCEEDED(file->Load(link.c_str(), STGM_READ)) && SUCCEEDED(shellLink->GetPath(path, MAX_PATH, nullptr, 0)))
      target = path;
    file->Release();
  }
  shellLink->Release();
  return target;
}

std::wstring RegistryText(const wchar_t* name) {
  wchar_t value[512] = {};
  DWORD size = sizeof value - sizeof(wchar_t);
  if (::RegGetValueW(HKEY_LOCAL_MACHINE, kUninstallKey, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
    return L"<missing>";
  return value;
}

bool UninstallEntryExists() {
  HKEY key = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  ::RegCloseKey(key);
  return true;
}

void CheckInstalled() {
  Check(Exists(Executable()), "the controller is in the program files folder below \\Quenlow\\FX");
  Check(Exists(Shortcut()), "the Start-menu folder Quenlow FX holds the shortcut");
  Check(_wcsicmp(ShortcutTarget(Shortcut()).c_str(), Executable().c_str()) == 0, "the shortcut starts the controller");
  Check(RegistryText(L"DisplayName") == QUENLOW_WIDEN(QUENLOW_PRODUCT_NAME), "the uninstall entry names the product");
  Check(RegistryText(L"DisplayVersion") == QUENLOW_WIDEN(QUENLOW_VERSION),
        "the uninstall entry carries the product version");
  Check(RegistryText(L"Publisher") == QUENLOW_WIDEN(QUENLOW_PUBLISHER), "the uninstall entry names the publisher");
  Check(RegistryText(L"UninstallString").find(QUENLOW_WIDEN(QUENLOW_UNINSTALLER_NAME)) != std::wstring::npos,
        "the uninstall entry names the uninstaller");
  DWORD size = 0;
  DWORD bytes = sizeof size;
  Check(::RegGetValueW(HKEY_LOCAL_MACHINE, kUninstallKey, L"EstimatedSize", RRF_RT_REG_DWORD, nullptr, &size, &bytes) ==
                ERROR_SUCCESS &&
            size > 0,
        "the uninstall entry gives the size");
}

void CheckRemoved() {
  // The uninstaller copies itself away and returns at once; give it time to finish.
  for (int waited = 0; waited < 30000 && (Exists(Executable()) || UninstallEntryExists()); waited += 100) ::Sleep(100);
  ::Sleep(500);
  Check(!Exists(Executable()), "the controller is gone");
  Check(!Exists(InstallFolder() + L"\\" QUENLOW_WIDEN(QUENLOW_UNINSTALLER_NAME)), "the uninstaller is gone");
  Check(!Exists(Shortcut()) && !Exists(MenuFolder()), "the shortcut and its Start-menu folder are gone");
  Check(!UninstallEntryExists(), "the uninstall entry is gone");
  Check(Exists(InstallFolder() + L"\\System\\lm.regr"), "the program-files mirror file survives");
  Check(Exists(InstallFolder() + L"\\Help\\Getting Started.txt"), "the help folder survives");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring step = argc > 1 ? argv[1] : L"";
  ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (step == L"installed") {
    CheckInstalled();
  } else if (step == L"removed") {
    CheckRemoved();
  } else {
    std::fprintf(stderr, "usage: installer_check installed|removed\n");
    return 2;
  }
  ::CoUninitialize();
  std::fflush(stdout);
  return g_failures ? 1 : 0;
}
