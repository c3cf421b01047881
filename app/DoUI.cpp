// DoUI, the entry other modules of the maker may call.
//
// Another module can reach it only by loading this executable as a library, and Windows
// then leaves an executable's imports unresolved and its C runtime uninitialised: any call
// out of this function would fault. So DoUI first checks, without a single import or global,
// whether its own module is the process's main image; only then does it show the dialog.
#include <windows.h>
#ifdef _MSC_VER
#include <intrin.h>
#endif

#include "app/NorvikApp.h"
#include "app/NorvikDlg.h"

#if !defined(_M_X64) && !defined(__x86_64__)
#error "DoUI reads the process environment block at its x64 offset"
#endif

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

// The image base of the process's main executable, read from the process environment block.
// Inlined: nothing here may call another function.
inline const void* MainImageBase() {
#ifdef _MSC_VER
  const unsigned long long peb = __readgsqword(0x60);
#else
  unsigned long long peb;
  __asm__("movq %%gs:0x60, %0" : "=r"(peb));
#endif
  return *reinterpret_cast<const void* const*>(peb + 0x10);
}

// This module's own base, computed from the instruction pointer: the compiler would
// otherwise load it from a pointer in the data section.
inline const void* OwnImageBase() {
#ifdef _MSC_VER
  return &__ImageBase;
#else
  const void* base;
  __asm__("leaq __ImageBase(%%rip), %0" : "=r"(base));
  return base;
#endif
}

}  // namespace

extern "C" __declspec(dllexport) int DoUI(HWND caller) {
  if (MainImageBase() != OwnImageBase()) return 1;
  quenlow::CNorvikDlg dialog(caller);
  quenlow::ResolveFolderSet(dialog);
  (void)dialog.DoModal();
  return 1;
}
