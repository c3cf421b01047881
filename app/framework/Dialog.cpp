#include "app/framework/Dialog.h"

#include <algorithm>
#include <exception>
#include <iterator>
#include <string>

#include "app/framework/DlgInit.h"
#include "platform/TextConvert.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace quenlow {

CDialog::~CDialog() {
  if (m_hWnd && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
}

HINSTANCE CDialog::ResourceModule() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

INT_PTR CDialog::DoModal() {
  return ::DialogBoxParamW(ResourceModule(), MAKEINTRESOURCEW(m_templateId), m_parent, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

HWND CDialog::Create() {
  return ::CreateDialogParamW(ResourceModule(), MAKEINTRESOURCEW(m_templateId), m_parent, DialogProc,
                              reinterpret_cast<LPARAM>(this));
}

void CDialog::EndDialog(int result) { ::EndDialog(m_hWnd, result); }

void CDialog::CenterWindow() {
  RECT window{};
  ::GetWindowRect(m_hWnd, &window);
  RECT area{};
  HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
  if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner)) {
    ::GetWindowRect(owner, &area);
  } else {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!::GetMonitorInfoW(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTOPRIMARY), &monitor)) return;
    area = monitor.rcWork;
  }
  const LONG width = window.right - window.left;
  const LONG height = window.bottom - window.top;
  LONG x = area.left + (area.right - area.left - width) / 2;
  LONG y = area.top + (area.bottom - area.top - height) / 2;
  HMONITOR nearest = ::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (::GetMonitorInfoW(nearest, &monitor)) {  // keep the whole dialog on the screen
    x = std::max(monitor.rcWork.left, std::min(x, monitor.rcWork.right - width));
    y = std::max(monitor.rcWork.top, std::min(y, monitor.rcWork.bottom - height));
  }
  ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The template's list data (resource type 240): records of control id, message, byte
// length and the 8-bit text, packed without alignment and ended by a zero control id.
void CDialog::ExecuteDlgInit() {
  HINSTANCE module = ResourceModule();
  HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(m_templateId), MAKEINTRESOURCEW(RT_DLGINIT_ID));
  if (!info) return;
  HGLOBAL handle = ::LoadResource(module, info);
  const auto* data = static_cast<const BYTE*>(handle ? ::LockResource(handle) : nullptr);
  if (!data) return;
  const BYTE* end = data + ::SizeofResource(module, info);
  auto readWord = [](const BYTE* p) { return static_cast<WORD>(p[0] | (p[1] << 8)); };
  while (data + 2 <= end) {
    const WORD control = readWord(data);
    if (control == 0 || data + 8 > end) break;
    const WORD message = readWord(data + 2);
    const DWORD length = static_cast<DWORD>(readWord(data + 4)) | (static_cast<DWORD>(readWord(data + 6)) << 16);
    data += 8;
    if (length > static_cast<DWORD>(end - data)) break;
    if (message == DLGINIT_CB_ADDSTRING) {
      std::string text(reinterpret_cast<const char*>(data), length);
      ::SendDlgItemMessageA(m_hWnd, control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    data += length;
  }
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CDialog* dialog = nullptr;
  if (message == WM_INITDIALOG) {
    dialog = reinterpret_cast<CDialog*>(lParam);
    dialog->m_hWnd = hwnd;
    ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
  } else {
    dialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
  }
  if (!dialog) return FALSE;
  // No exception may unwind through the system's dialog manager: report it and go on.
  try {
    INT_PTR result = dialog->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) dialog->m_hWnd = nullptr;
    return result;
  } catch (const std::exception& error) {
    ReportException(hwnd, Utf8ToWide(error.what()));
  } catch (...) {
    ReportException(hwnd, L"An unexpected error occurred.");
  }
  return FALSE;
}

void CDialog::ReportException(HWND hwnd, const std::wstring& text) noexcept {
  // The box takes the dialog's own caption; nothing here may throw again.
  wchar_t caption[256] = {};
  ::GetWindowTextW(hwnd, caption, static_cast<int>(std::size(caption)));
  ::MessageBoxW(hwnd, text.c_str(), caption, MB_OK | MB_ICONERROR);
}

INT_PTR CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      ExecuteDlgInit();
      RECT before{};
      ::GetWindowRect(m_hWnd, &before);
      const BOOL result = OnInitDialog();
      RECT after{};
      ::GetWindowRect(m_hWnd, &after);
      // A dialog its initialisation did not place opens centred, as dialog users expect.
      if (::EqualRect(&before, &after)) CenterWindow();
      return result;
    }
    case WM_COMMAND: {
      const WORD id = LOWORD(wParam);
      const WORD code = HIWORD(wParam);
      if (OnCommand(id, code, reinterpret_cast<HWND>(lParam))) return TRUE;
      if (code != BN_CLICKED) return FALSE;
      if (id == IDOK) {
        OnOK();
        return TRUE;
      }
      if (id == IDCANCEL) {
        OnCancel();
        return TRUE;
      }
      return FALSE;
    }
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (!OnNotify(reinterpret_cast<NMHDR*>(lParam), result)) return FALSE;
      ::SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, result);
      return TRUE;
    }
    default: {
      INT_PTR result = FALSE;
      return OnMessage(message, wParam, lParam, result) ? result : FALSE;
    }
  }
}

}  // namespace quenlow
