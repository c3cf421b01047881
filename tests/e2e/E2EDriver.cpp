// Drives the running controller from another process, as a user would: finds its window,
// clicks with real mouse input, and checks what happened. One step per run, so that the
// calling script can take screenshots in between.
//
//   e2e_driver appear | wait | celluna | dismiss | report | close
#include "ProductInfo.h"
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace {

constexpr const wchar_t* kCaption = QUENLOW_WIDEN(QUENLOW_WINDOW_CAPTION);
constexpr int kInfoLink = 5020;
constexpr int kExportReport = 1000;

int g_failures = 0;

void Check(bool condition, const char* what) {
  std::printf("%s: %s\n", condition ? "ok" : "FAILED", what);
  if (!condition) ++g_failures;
}

template <typename Predicate>
bool WaitFor(Predicate done, int milliseconds = 15000) {
  for (int waited = 0; waited < milliseconds; waited += 50) {
    if (done()) return true;
    ::Sleep(50);
  }
  return done();
}

HWND FindController() { return ::FindWindowW(L"#32770", kCaption); }

void MouseClickAt(POINT at) {
  ::SetCursorPos(at.x, at.y);
  ::Sleep(100);
  INPUT input[2] = {};
  input[0].type = INPUT_MOUSE;
  input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  input[1].type = INPUT_MOUSE;
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ::SendInput(2, input, sizeof(INPUT));
}

void PressKey(WORD key) {
  INPUT input[2] = {};
  input[0].type = INPUT_KEYBOARD;
  input[0].ki.wVk = key;
  input[1].type = INPUT_KEYBOARD;
  input[1].ki.wVk = key;
  input[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ::SendInput(2, input, sizeof(INPUT));
}

POINT CenterOf(HWND window) {
  RECT r{};
  ::GetWindowRect(window, &r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

HWND VisibleMenu() {
  HWND menu = ::FindWindowW(L"#32768", nullptr);
  return menu && ::IsWindowVisible(menu) ? menu : nullptr;
}

HWND Appear() {
  HWND dialog = nullptr;
  Check(WaitFor([&] { return (dialog = FindController()) != nullptr && ::IsWindowVisible(dialog); }),
        "the controller's window appears");
  return dialog;
}

int Wait() {
  HWND dialog = Appear();
  if (!dialog) return 1;
  Check(::IsWindowVisible(dialog) != FALSE, "the window is visible");
  Check(::GetDlgItem(dialog, kInfoLink) != nullptr, "the Info links are there");
  Check(!(::GetWindowLongPtrW(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST), "not always on top without the switch");
  ::SetForegroundWindow(dialog);
  return 0;
}

// Clicks the "Celluna" link where the control draws it: after the six family links before
// it on the first line, measured in the dialog's font (a font handle of the controller's
// process means nothing in this one, so the same font is made here).
int ClickCelluna() {
  HWND dialog = FindController();
  HWND info = ::GetDlgItem(dialog, kInfoLink);
  if (!info) return Check(false, "the Info links are there"), 1;
  ::SetForegroundWindow(dialog);
  HDC dc = ::GetDC(info);
  HFONT font = ::CreateFontW(-::MulDiv(8, ::GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                             DEFAULT_CHARSET, 0, 0, 0, 0, L"MS Shell Dlg");
  HGDIOBJ old = ::SelectObject(dc, font);
  const std::wstring before = L"Orbitale   Velumen   Fondara   Taviro   Corvane Tools   Brisavo   ";
  SIZE prefix{}, label{};
  ::GetTextExtentPoint32W(dc, before.c_str(), static_cast<int>(before.size()), &prefix);
  ::GetTextExtentPoint32W(dc, L"Celluna", 7, &label);
  ::SelectObject(dc, old);
  ::DeleteObject(font);
  ::ReleaseDC(info, dc);
  POINT at{prefix.cx + label.cx / 2, label.cy / 2};
  ::ClientToScreen(info, &at);
  MouseClickAt(at);
  HWND menu = nullptr;
  Check(WaitFor([&] { return (menu = VisibleMenu()) != nullptr; }, 5000), "a click on Celluna opens the family menu");
  return 0;
}

int DismissMenu() {
  PressKey(VK_ESCAPE);
  Check(WaitFor([] { return VisibleMenu() == nullptr; }, 5000), "Escape closes the menu");
  Check(FindController() != nullptr, "the dialog stays open");
  return 0;
}

std::wstring ReportPath() {
  wchar_t documents[MAX_PATH] = {};
  ::SHGetFolderPathW(nullptr, CSIDL_COMMON_DOCUMENTS, nullptr, SHGFP_TYPE_CURRENT, documents);
  return std::wstring(documents) + L"\\Quenlow\\FX\\System\\report.txt";
}

std::string ReadAll(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int ExportReport() {
  HWND dialog = FindController();
  const std::wstring path = ReportPath();
  ::DeleteFileW(path.c_str());
  ::SetForegroundWindow(dialog);
  MouseClickAt(CenterOf(::GetDlgItem(dialog, kExportReport)));
  Check(WaitFor([&] { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }),
        "Export Text Report writes report.txt");
  ::Sleep(300);
  const std::string report = ReadAll(path);
  Check(report.rfind("OS: ", 0) == 0, "the report's first line begins with OS:");
  const char* headings[] = {"Orbitale\n",      "Velumen\n",           "Fondara\n",      "Taviro\n",
                            "Taviro Extras\n", "Celluna (regular)\n", "Celluna Pro\n",  "Mistweave\n",
                            "Mistweave Pro\n", "CalmLens Pro\n",      "KeenLens Pro\n", "Brisavo\n"};
  bool allNotInstalled = true;
  for (const char* heading : headings)
    allNotInstalled &= report.find(std::string(heading) + "Not Installed\n") != std::string::npos;
  Check(allNotInstalled, "every plugin is listed as Not Installed");
  // The shell opens the report in the text editor; close it again.
  HWND editor = nullptr;
  WaitFor([&] { return (editor = ::FindWindowW(nullptr, L"report.txt - Notepad")) != nullptr; }, 8000);
  if (editor) ::PostMessageW(editor, WM_CLOSE, 0, 0);
  return 0;
}

int Close() {
  HWND dialog = FindController();
  if (!dialog) return Check(false, "the controller is running"), 1;
  ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  Check(WaitFor([] { return FindController() == nullptr; }), "Cancel closes the dialog");
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring step = argc > 1 ? argv[1] : L"";
  int result = 2;
  if (step == L"appear")
    result = Appear() ? 0 : 1;
  else if (step == L"wait")
    result = Wait();
  else if (step == L"celluna")
    result = ClickCelluna();
  else if (step == L"dismiss")
    result = DismissMenu();
  else if (step == L"report")
    result = ExportReport();
  else if (step == L"close")
    result = Close();
  else
    std::fprintf(stderr, "usage: e2e_driver appear|wait|celluna|dismiss|report|close\n");
  std::fflush(stdout);
  return g_failures ? 1 : result;
}
