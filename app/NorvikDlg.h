// CNorvikDlg: the controller's one window. It detects the installed plugins and loads the
// render engine while it initialises, serves the links and the report button while it
// runs, and stores a changed engine choice when closed with OK.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <system_error>
#include <vector>

#include "app/Services.h"
#include "app/framework/Dialog.h"
#include "catalogue/Catalogue.h"

namespace quenlow {

struct ResetFailure;

class CNorvikDlg : public CDialog {
 public:
  explicit CNorvikDlg(HWND parent = nullptr);

  HICON m_hIcon;
  HICON m_hSmallIcon;
  PluginInstallState m_installState;
  int m_nRenderer = 3;
  std::wstring m_strProgramFiles;
  std::wstring m_strCommonDocuments;
  std::wstring m_strCommonAppData;
  int m_bKeepOnTop = 0;

  void DetectInstalledPlugins();
  bool GetPluginStatus(PluginBits selector, std::wstring& text) const;
  void GetFamilyStatus(const std::wstring& linkId, std::wstring& text) const;
  void ResetFamilySettings(const std::wstring& familyName, BOOL confirm);
  bool ResetAllSettings();

  void OnInfoLinkClick(NMHDR* header, LRESULT* result);
  void OnRendererLinkClick(NMHDR* header, LRESULT* result);
  void OnExportTextReport();

  // Tests put a recording fake here; it must outlive the dialog.
  void SetServices(CUserServices& services) { m_services = &services; }

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  bool OnNotify(NMHDR* header, LRESULT& result) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

 private:
  void OnPaint();
  // The menu opens at the pointer, or at the given link control when asked for from the keyboard.
  void ShowFamilyMenu(const std::wstring& linkId, HWND fromKeyboardAt);
  // Reads the stored engine and selects it in the list.
  void ShowStoredEngine();
  int AskToReset(const std::wstring& question);
  // The box for a file the dialog could not handle; `reason` goes before the system's text.
  void ShowFileError(const wchar_t* what, const std::wstring& path, const std::error_code& error,
                     const wchar_t* reason = L"");
  void ShowResetFailure(const ResetFailure& failure);
  // The position of a clicked Info link: found by its target in the text this dialog set,
  // since Wine's SysLink counts plain text runs in iLink too.
  int InfoLinkIndex(const std::wstring& target, int reportedIndex) const;

  CUserServices* m_services;
  std::vector<std::wstring> m_infoTargets;
};

}  // namespace quenlow
