// The baseline of the command line's start-up benchmark: a console program that prints one
// line, started the same way as quenlowfx.
#include <cstdio>

int main() {
  std::puts("hello");
  return 0;
}
