#include "platform/SystemFacts.h"

#include <string_view>

namespace quenlow {

std::string ReportedProductName(const std::string& productName, unsigned long buildNumber) {
  constexpr std::string_view kWindows10 = "Windows 10";
  constexpr unsigned long kFirstWindows11Build = 22000;
  if (buildNumber < kFirstWindows11Build || productName.compare(0, kWindows10.size(), kWindows10) != 0)
    return productName;
  return "Windows 11" + productName.substr(kWindows10.size());
}

}  // namespace quenlow
