// Loads the controller executable the way another module would and calls its DoUI export:
// the executable is then not the process's main image, and DoUI must return at once.
#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: doui_loader CONTROLLER.exe\n");
    return 2;
  }
  HMODULE controller = ::LoadLibraryW(argv[1]);
  if (!controller) {
    std::fprintf(stderr, "cannot load the controller: error %lu\n", ::GetLastError());
    return 1;
  }
  using DoUIFunction = int (*)(HWND);
  auto doUI = reinterpret_cast<DoUIFunction>(reinterpret_cast<void*>(::GetProcAddress(controller, "DoUI")));
  if (!doUI) {
    std::fprintf(stderr, "DoUI is not exported\n");
    return 1;
  }
  HWND caller = ::CreateWindowExW(0, L"STATIC", L"caller", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  const int withoutWindow = doUI(nullptr);
  const int withWindow = doUI(caller);
  ::DestroyWindow(caller);
  std::printf("DoUI(NULL) = %d, DoUI(window) = %d\n", withoutWindow, withWindow);
  const bool passed = withoutWindow == 1 && withWindow == 1;
  std::printf("%d passed, %d failed\n", passed ? 1 : 0, passed ? 0 : 1);
  return passed ? 0 : 1;
}
