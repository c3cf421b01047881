// The Windows Installer package's custom action: stores the render engine named by the
// public property RENDERENGINE, with exactly the code of "quenlowfx engine set", and
// writes what the command would print into the installer log.
#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#include <string>
#include <vector>

#include "cli/Cli.h"
#include "platform/TextConvert.h"

namespace {

// The command's output and errors go to the installer log, line by line.
class InstallerLog : public quenlow::cli::Io {
 public:
  explicit InstallerLog(MSIHANDLE install) : m_install(install) {}
  void Out(std::string_view utf8) override { Log(utf8); }
  void Err(std::string_view utf8) override { Log(utf8); }
  bool InputIsConsole() override { return false; }
  std::optional<std::string> ReadLine() override { return std::nullopt; }

 private:
  void Log(std::string_view utf8) {
    std::wstring text = quenlow::Utf8ToWide(utf8);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) text.pop_back();
    if (text.empty()) return;
    PMSIHANDLE record = ::MsiCreateRecord(1);
    ::MsiRecordSetStringW(record, 0, L"[1]");
    ::MsiRecordSetStringW(record, 1, text.c_str());
    ::MsiProcessMessage(m_install, INSTALLMESSAGE_INFO, record);
  }

  MSIHANDLE m_install;
};

std::wstring CustomActionData(MSIHANDLE install) {
  DWORD size = 0;
  wchar_t empty[1] = L"";
  if (::MsiGetPropertyW(install, L"CustomActionData", empty, &size) != ERROR_MORE_DATA) return {};
  std::vector<wchar_t> value(size + 1);
  size = static_cast<DWORD>(value.size());
  if (::MsiGetPropertyW(install, L"CustomActionData", value.data(), &size) != ERROR_SUCCESS) return {};
  return std::wstring(value.data(), size);
}

}  // namespace

extern "C" __declspec(dllexport) UINT __stdcall StoreRenderEngine(MSIHANDLE install) {
  try {
    InstallerLog log(install);
    const std::string engine = quenlow::WideToUtf8(CustomActionData(install));
    const int code = quenlow::cli::RunCommandLine({"engine", "set", engine}, log);
    return code == quenlow::cli::kExitDone ? ERROR_SUCCESS : ERROR_INSTALL_FAILURE;
  } catch (...) {
    return ERROR_INSTALL_FAILURE;
  }
}
