// Facts about the machine for the system report, each starting at its fallback.
#pragma once

#include <string>

namespace quenlow {

struct SystemFacts {
  std::string osName = "Not Detected";  // UTF-8
  std::string adapterName;              // UTF-8; empty when unknown
  int screenWidth = 1024;
  int screenHeight = 768;
  int dpiX = 96;
  int dpiY = 96;
};

// The operating system's name for the report: Windows 11 still calls itself "Windows 10 ..."
// in its product name, so from build 22000 on that prefix is corrected.
std::string ReportedProductName(const std::string& productName, unsigned long buildNumber);

// Asks the system; every fact that cannot be had keeps its fallback. Windows only.
SystemFacts GatherSystemFacts();

}  // namespace quenlow
