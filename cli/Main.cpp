// quenlowfx: the companion command line of the Quenlow FX Controller.
#include "cli/Cli.h"
#include "platform/Console.h"

int main(int argc, char** argv) {
  return quenlow::cli::RunCommandLine(quenlow::Utf8Arguments(argc, argv), quenlow::cli::ProcessIo());
}
