/* A small DLL the doctor's tests install in place of a plugin binary. */
__declspec(dllexport) int fixture(void) { return 0; }
