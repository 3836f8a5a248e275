#include "mapping_run/program_entry.h"
#include "platform/windows/windows_platform.h"

// The C run-time calls main for GUI programs too; arguments are not used.
int main() {
  velistra::WindowsPlatform platform;
  velistra::ProgramMain(platform);
}
