// The process entry: one application object, run once.
#include <windows.h>

#include "app/NorvikApp.h"

namespace {
quenlow::CNorvikApp theApp;
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) { return quenlow::CWinAppEx::Run(); }
