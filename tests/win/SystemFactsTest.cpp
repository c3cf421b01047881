// The facts the report gathers, read from the running system. Their values differ between
// Windows and Wine, so only the rules are checked, not the texts.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/SystemFacts.h"

namespace quenlow {
namespace {

constexpr const wchar_t* kVersionKey = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

class ProductNameOverride {
 public:
  ProductNameOverride() {
    wchar_t value[256] = {};
    DWORD size = sizeof value;
    m_had = ::RegGetValueW(HKEY_LOCAL_MACHINE, kVersionKey, L"ProductName", RRF_RT_REG_SZ, nullptr, value, &size) ==
            ERROR_SUCCESS;
    m_original = value;
  }
  ~ProductNameOverride() {
    if (m_had) Set(m_original);
  }
  static bool Set(const std::wstring& name) {
    return ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kVersionKey, L"ProductName", REG_SZ, name.c_str(),
                             static_cast<DWORD>((name.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  }

 private:
  bool m_had = false;
  std::wstring m_original;
};

TEST(SystemFacts, ProductNameMustFitItsFortyUnitBuffer) {
  ProductNameOverride restore;
  ASSERT_TRUE(ProductNameOverride::Set(std::wstring(39, L'n')));
  EXPECT_EQ(GatherSystemFacts().osName, std::string(39, 'n'));
  ASSERT_TRUE(ProductNameOverride::Set(L"Caf\u00E9 OS"));
  EXPECT_EQ(GatherSystemFacts().osName, "Caf\xC3\xA9 OS") << "converted to UTF-8";
  ASSERT_TRUE(ProductNameOverride::Set(std::wstring(40, L'n')));
  EXPECT_EQ(GatherSystemFacts().osName, "XP or later") << "40 characters leave no room for the terminator";
}

TEST(SystemFacts, ScreenAndAdapterComeFromTheSystem) {
  const SystemFacts facts = GatherSystemFacts();
  EXPECT_GT(facts.screenWidth, 0);
  EXPECT_GT(facts.screenHeight, 0);
  EXPECT_GT(facts.dpiX, 0);
  EXPECT_LT(facts.adapterName.size(), 80u);
}

}  // namespace
}  // namespace quenlow
