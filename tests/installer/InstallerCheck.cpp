// Checks what the installers left behind, from inside the Wine prefix:
//
//   installer_check installed       the NSIS setup's executables, Start-menu shortcut (and
//                                   its target) and uninstall entry are there
//   installer_check removed         they are gone again (waiting for the uninstaller, which
//                                   runs from a copy of itself), while the files of other
//                                   products below the same folder survive
//   installer_check msi-installed   the same for the Windows Installer package
//   installer_check msi-removed     and gone again, with nothing of ours left
//   installer_check msi-absent      no file, shortcut or product of ours is there
#include "ProductInfo.h"
#include <windows.h>
#include <objbase.h>
#include <msi.h>
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
std::wstring CommandLine() { return InstallFolder() + L"\\" QUENLOW_WIDEN(QUENLOW_CLI_NAME); }
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
  Check(Exists(CommandLine()), "the command line is beside it");
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
  Check(!Exists(CommandLine()), "the command line is gone");
  Check(!Exists(InstallFolder() + L"\\" QUENLOW_WIDEN(QUENLOW_UNINSTALLER_NAME)), "the uninstaller is gone");
  Check(!Exists(Shortcut()) && !Exists(MenuFolder()), "the shortcut and its Start-menu folder are gone");
  Check(!UninstallEntryExists(), "the uninstall entry is gone");
  Check(Exists(InstallFolder() + L"\\System\\lm.regr"), "the program-files mirror file survives");
  Check(Exists(InstallFolder() + L"\\Help\\Getting Started.txt"), "the help folder survives");
}

// The installed package's product code, or empty.
std::wstring InstalledProduct() {
  wchar_t product[39] = {};
  return ::MsiEnumRelatedProductsW(QUENLOW_WIDEN(QUENLOW_MSI_UPGRADE_CODE), 0, 0, product) == ERROR_SUCCESS ? product
                                                                                                            : L"";
}

std::wstring ProductInfo(const std::wstring& product, const wchar_t* property) {
  wchar_t value[256] = {};
  DWORD size = 256;
  return ::MsiGetProductInfoW(product.c_str(), property, value, &size) == ERROR_SUCCESS ? value : L"";
}

// A per-machine package's shortcut belongs in the all-users Start menu; Wine 8's msiexec
// puts it into the installing user's, so either place is taken here.
std::wstring PackageShortcut() {
  const std::wstring user =
      Folder(CSIDL_PROGRAMS) + L"\\" QUENLOW_WIDEN(QUENLOW_MENU_FOLDER) L"\\" + QUENLOW_WIDEN(QUENLOW_SHORTCUT_NAME);
  return Exists(Shortcut()) ? Shortcut() : user;
}

bool PackageUninstallEntryExists(const std::wstring& product) {
  HKEY key = nullptr;
  const std::wstring path = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + product;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
    return false;
  ::RegCloseKey(key);
  return true;
}

void CheckPackageInstalled() {
  Check(Exists(Executable()) && Exists(CommandLine()), "the controller and the command line are installed");
  const std::wstring product = InstalledProduct();
  Check(!product.empty(), "the package is registered under its upgrade code");
  Check(ProductInfo(product, INSTALLPROPERTY_VERSIONSTRING) == QUENLOW_WIDEN(QUENLOW_VERSION),
        "it carries the product version");
  Check(PackageUninstallEntryExists(product), "Add/Remove Programs lists it");
  Check(Exists(PackageShortcut()), "the Start-menu folder Quenlow FX holds the shortcut");
  Check(_wcsicmp(ShortcutTarget(PackageShortcut()).c_str(), Executable().c_str()) == 0,
        "the shortcut starts the controller");
}

void CheckPackageAbsent(const char* what) {
  const std::wstring userMenu = Folder(CSIDL_PROGRAMS) + L"\\" QUENLOW_WIDEN(QUENLOW_MENU_FOLDER);
  Check(!Exists(Executable()) && !Exists(CommandLine()), what);
  Check(!Exists(MenuFolder()) && !Exists(userMenu), "no Start-menu folder of ours");
  Check(InstalledProduct().empty(), "no package of ours is registered");
  HKEY key = nullptr;
  const bool keyLeft =
      ::RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                      L"Software\\" QUENLOW_WIDEN(QUENLOW_PUBLISHER) L"\\" QUENLOW_WIDEN(QUENLOW_PRODUCT_NAME), 0,
                      KEY_READ | KEY_WOW64_64KEY, &key) == ERROR_SUCCESS;
  if (keyLeft) ::RegCloseKey(key);
  Check(!keyLeft, "no registry key of ours");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring step = argc > 1 ? argv[1] : L"";
  ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (step == L"installed") {
    CheckInstalled();
  } else if (step == L"removed") {
    CheckRemoved();
  } else if (step == L"msi-installed") {
    CheckPackageInstalled();
  } else if (step == L"msi-removed") {
    CheckPackageAbsent("the package's files are gone");
  } else if (step == L"msi-absent") {
    CheckPackageAbsent("no file of ours was installed");
  } else {
    std::fprintf(stderr, "usage: installer_check installed|removed|msi-installed|msi-removed|msi-absent\n");
    return 2;
  }
  ::CoUninitialize();
  std::fflush(stdout);
  return g_failures ? 1 : 0;
}
