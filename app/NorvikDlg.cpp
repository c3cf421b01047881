#include "app/NorvikDlg.h"

#include <algorithm>

#include "ProductInfo.h"
#include "app/InfoText.h"
#include "backups/Backups.h"
#include "catalogue/Detection.h"
#include "maintenance/Report.h"
#include "maintenance/Resets.h"
#include "maintenance/Status.h"
#include "platform/Files.h"
#include "platform/SystemFacts.h"
#include "platform/TextConvert.h"
#include "platform/win32/Handles.h"
#include "res/resource.h"
#include "settings/Settings.h"

namespace quenlow {
namespace {

constexpr const wchar_t* kResetCaption = L"Reset Settings";
constexpr const wchar_t* kErrorCaption = QUENLOW_WIDEN(QUENLOW_PRODUCT_NAME);
constexpr int kHelpLinkIndex = 7;
constexpr int kFirstWebLinkIndex = 8;
constexpr UINT kMenuFlags = TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_NONOTIFY | TPM_RETURNCMD;

std::wstring SystemErrorText(const std::error_code& error) {
  wchar_t* text = nullptr;
  DWORD length =
      ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(error.value()), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message = length ? std::wstring(text, length) : L"Error " + std::to_wstring(error.value()) + L".";
  if (text) ::LocalFree(text);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r')) message.pop_back();
  return message;
}

}  // namespace

CNorvikDlg::CNorvikDlg(HWND parent)
    : CDialog(IDD_MAIN_DIALOG, parent),
      m_hIcon(::LoadIconW(ResourceModule(), MAKEINTRESOURCEW(IDR_MAINFRAME))),
      // The icon file carries a 16-pixel image for the title bar; LoadIcon would pick the
      // large one and scale it down.
      m_hSmallIcon(static_cast<HICON>(::LoadImageW(ResourceModule(), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                                   ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON),
                                                   LR_SHARED))),
      m_services(&SystemServices()) {}

BOOL CNorvikDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hSmallIcon));

  const std::wstring infoText = BuildInfoText(m_strProgramFiles);
  m_infoTargets = LinkTargets(infoText);
  ::SetDlgItemTextW(m_hWnd, IDC_INFO_LINK, infoText.c_str());
  ::SetDlgItemTextW(m_hWnd, IDC_RENDERER_LINK, RendererText().c_str());

  DetectInstalledPlugins();
  ShowStoredEngine();
  if (!m_bKeepOnTop) ::SetWindowPos(m_hWnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  return TRUE;
}

void CNorvikDlg::OnOK() {
  const auto selection = static_cast<int>(::SendDlgItemMessageW(m_hWnd, IDC_RENDERER_COMBO, CB_GETCURSEL, 0, 0));
  // A store that fails loses the new choice silently, as it always has: OK just closes.
  if (selection >= 0 && selection != m_nRenderer) (void)StoreRenderEngine(m_strCommonDocuments, selection);
  CDialog::OnOK();
}

bool CNorvikDlg::OnCommand(WORD id, WORD code, HWND) {
  if (id == IDC_EXPORT_REPORT && code == BN_CLICKED) {
    OnExportTextReport();
    return true;
  }
  return false;
}

bool CNorvikDlg::OnNotify(NMHDR* header, LRESULT& result) {
  // Enter on a focused link arrives as NM_RETURN and acts like a click.
  if (header->code != NM_CLICK && header->code != NM_RETURN) return false;
  if (header->idFrom == IDC_INFO_LINK) {
    OnInfoLinkClick(header, &result);
    return true;
  }
  if (header->idFrom == IDC_RENDERER_LINK) {
    OnRendererLinkClick(header, &result);
    return true;
  }
  return false;
}

bool CNorvikDlg::OnMessage(UINT message, WPARAM, LPARAM, INT_PTR& result) {
  switch (message) {
    case WM_PAINT:
      if (!::IsIconic(m_hWnd)) return false;
      OnPaint();
      result = TRUE;
      return true;
    case WM_QUERYDRAGICON: result = reinterpret_cast<INT_PTR>(m_hIcon); return true;
    case WM_HELP:  // there is no help file: F1 does nothing
      result = TRUE;
      return true;
    default: return false;
  }
}

void CNorvikDlg::OnPaint() {
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(m_hWnd, &paint);
  ::SendMessageW(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  const int iconWidth = ::GetSystemMetrics(SM_CXICON);
  const int iconHeight = ::GetSystemMetrics(SM_CYICON);
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  const int x = (client.right - client.left - iconWidth + 1) / 2;
  const int y = (client.bottom - client.top - iconHeight + 1) / 2;
  ::DrawIcon(dc, x, y, m_hIcon);
  ::EndPaint(m_hWnd, &paint);
}

void CNorvikDlg::DetectInstalledPlugins() {
  m_installState = quenlow::DetectInstalledPlugins(m_strProgramFiles, m_strCommonAppData, PathExists);
}

bool CNorvikDlg::GetPluginStatus(PluginBits selector, std::wstring& text) const {
  return quenlow::GetPluginStatus(m_installState, selector, text);
}

void CNorvikDlg::GetFamilyStatus(const std::wstring& linkId, std::wstring& text) const {
  quenlow::GetFamilyStatus(m_installState, linkId, text);
}

int CNorvikDlg::AskToReset(const std::wstring& question) {
  return m_services->ShowMessageBox(m_hWnd, question, kResetCaption, MB_YESNO);
}

void CNorvikDlg::ShowFileError(const wchar_t* what, const std::wstring& path, const std::error_code& error,
                               const wchar_t* reason) {
  m_services->ShowMessageBox(m_hWnd, std::wstring(what) + L"\n" + path + L"\n\n" + reason + SystemErrorText(error),
                             kErrorCaption, MB_OK | MB_ICONERROR);
}

void CNorvikDlg::ShowResetFailure(const ResetFailure& failure) {
  // A file whose backup copy could not be made was not deleted: nothing goes without its copy.
  ShowFileError(L"The reset stopped at a file that cannot be deleted:", failure.path, failure.error,
                failure.backupFailed ? L"Its backup copy could not be written: " : L"");
}

void CNorvikDlg::ResetFamilySettings(const std::wstring& familyName, BOOL confirm) {
  if (familyName.empty()) return;
  if (confirm && AskToReset(L"All " + familyName + L" settings will be reset to default values.") != IDYES) return;
  // Every file the reset deletes is copied first, so that the reset can be undone.
  BackupSession backup(m_strCommonDocuments, "dialog", WideToUtf8(familyName));
  const std::optional<ResetFailure> failure = RemoveFamilyPresets(m_strCommonDocuments, familyName, backup.Remover());
  (void)backup.Finish();
  if (failure) ShowResetFailure(*failure);
}

bool CNorvikDlg::ResetAllSettings() {
  if (AskToReset(L"All settings will be reset to default values.") != IDYES) return false;
  BackupSession backup(m_strCommonDocuments, "dialog", "all");
  const std::optional<ResetFailure> failure = RemoveAllSettingsFiles(m_strCommonDocuments, backup.Remover());
  (void)backup.Finish();
  // Whether the engine file went (the default then), stayed because a plugin held it, or
  // the reset stopped before or after it: the list shows what the file now holds.
  ShowStoredEngine();
  if (failure) {
    ShowResetFailure(*failure);
    return false;
  }
  return true;
}

void CNorvikDlg::ShowStoredEngine() {
  m_nRenderer = ReadRenderEngine(m_strCommonDocuments);
  // Wine keeps the old selection for an index out of range; -1 clears it everywhere.
  const bool listed = RenderEngineName(m_nRenderer) != nullptr;
  ::SendDlgItemMessageW(m_hWnd, IDC_RENDERER_COMBO, CB_SETCURSEL,
                        listed ? static_cast<WPARAM>(m_nRenderer) : static_cast<WPARAM>(-1), 0);
}

int CNorvikDlg::InfoLinkIndex(const std::wstring& target, int reportedIndex) const {
  auto found = std::find(m_infoTargets.begin(), m_infoTargets.end(), target);
  return found != m_infoTargets.end() ? static_cast<int>(found - m_infoTargets.begin()) : reportedIndex;
}

void CNorvikDlg::OnInfoLinkClick(NMHDR* header, LRESULT* result) {
  *result = 0;
  HWND control = GetDlgItem(IDC_INFO_LINK);
  if (!control || header->hwndFrom != control) return;
  const auto* link = reinterpret_cast<const NMLINK*>(header);
  const std::wstring target = link->item.szUrl;
  const int index = InfoLinkIndex(target, link->item.iLink);
  if (index >= kFirstWebLinkIndex)
    m_services->OpenWithShell(nullptr, L"open", target, SW_SHOW);
  else if (index == kHelpLinkIndex)
    m_services->OpenWithShell(nullptr, L"explore", target, SW_SHOWNORMAL);
  else
    ShowFamilyMenu(target, header->code == NM_RETURN ? control : nullptr);
}

void CNorvikDlg::ShowFamilyMenu(const std::wstring& linkId, HWND fromKeyboardAt) {
  // A menu asked for from the keyboard opens at the link control, not wherever the mouse
  // pointer happens to be.
  POINT at = m_services->CursorPosition();
  RECT link{};
  if (fromKeyboardAt && ::GetWindowRect(fromKeyboardAt, &link)) at = {link.left, link.top};
  UniqueMenu menu(::CreatePopupMenu());
  if (!menu) return;
  ::AppendMenuW(menu.get(), MF_STRING, ID_PLUGIN_STATUS, L"Plugin Info/Status");
  ::AppendMenuW(menu.get(), MF_STRING, ID_RESET_SETTINGS, L"Reset Settings");
  ::AppendMenuW(menu.get(), MF_STRING, ID_PRODUCT_PAGE, L"Product Page");
  const UINT command = m_services->ShowPopupMenu(menu.get(), kMenuFlags, at, m_hWnd);

  const FamilyInfo* family = FindFamilyByLinkId(linkId);
  switch (command) {
    case ID_PRODUCT_PAGE:
      if (family)
        m_services->OpenWithShell(nullptr, L"open", std::wstring(kMakerWebSite) + family->productPagePath, SW_SHOW);
      break;
    case ID_RESET_SETTINGS:
      if (family) ResetFamilySettings(family->displayName, TRUE);
      break;
    case ID_PLUGIN_STATUS: {
      std::wstring text;
      GetFamilyStatus(linkId, text);
      m_services->ShowMessageBox(m_hWnd, text, L"Plugin Status", MB_OK | MB_ICONINFORMATION);
      break;
    }
    default: break;
  }
}

void CNorvikDlg::OnRendererLinkClick(NMHDR* header, LRESULT* result) {
  *result = 0;
  HWND control = GetDlgItem(IDC_RENDERER_LINK);
  if (!control || header->hwndFrom != control) return;
  m_services->OpenWithShell(nullptr, L"open", reinterpret_cast<const NMLINK*>(header)->item.szUrl, SW_SHOW);
}

void CNorvikDlg::OnExportTextReport() {
  if (m_services->IsCtrlDown()) {
    ResetAllSettings();
    return;
  }
  const std::string report =
      BuildReport(GatherSystemFacts(), m_nRenderer, ReadCustomLocation(m_strProgramFiles), m_installState);
  const std::wstring path = m_strCommonDocuments + kReportFile;
  // Opening an old report, or a missing one, would pass for a fresh export.
  if (ReplaceResult written = ReplaceFileBytes(path, report)) {
    ShowFileError(L"The report could not be written:", path, written.error);
    return;
  }
  m_services->OpenWithShell(m_hWnd, L"open", path, SW_SHOWNORMAL);
}

}  // namespace quenlow
