// The doctor (both builds): a healthy installation has no finding at all, and each fault,
// set up alone on top of it, gives exactly its own finding.
#include "doctor/Doctor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "../unit/EngineFileBytes.h"
#include "TempTree.h"
#include "maintenance/Resets.h"
#include "platform/TextConvert.h"
#include "settings/Settings.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace quenlow {
namespace {

namespace fs = std::filesystem;

// A fixture DLL the build made, as bytes.
std::string FixtureDll(const char* version) {
  std::string path = std::string(QUENLOW_DOCTOR_FIXTURES) + "/plugin-" + version + ".dll";
#ifdef _WIN32
  // The tests run under Wine, where the build machine's root is drive Z.
  std::replace(path.begin(), path.end(), '/', '\\');
  path = "Z:" + path;
#endif
  std::ifstream in(test::TempTree::ToFsPath(Utf8ToWide(path)), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const std::string kVersion1 = FixtureDll("1.0.0.0");
const std::string kVersion2 = FixtureDll("2.0.0.0");
const std::string kManifest = "<?xml version=\"1.0\"?>\n<PlugIn Name=\"x\" Version=\"1.0.0.0\"/>\n";

std::wstring Bundle(const PluginInfo& plugin) {
  const std::wstring win64 = plugin.hostFiles[HOST_OFX];
  return win64.substr(0, win64.find(L".ofx.bundle\\") + 11);
}
std::wstring Stem(const PluginInfo& plugin) {
  const std::wstring bundle = Bundle(plugin);
  const std::wstring name = bundle.substr(bundle.find_last_of(L'\\') + 1);
  return name.substr(0, name.size() - 11);
}

// Every plugin in every host, one version, a readable engine file and every preset.
struct Installation {
  Installation() {
    for (const PluginInfo& plugin : kPlugins) {
      programFiles.Write(plugin.hostFiles[HOST_OFX], kVersion1);
      appData.Write(plugin.hostFiles[HOST_MAGIX], kVersion1);
      programFiles.Write(plugin.hostFiles[HOST_CYBERLINK], kManifest);
    }
    docs.Write(kEngineMirrorFile, test::EngineFileBytes(2, 1));
    for (const FamilyInfo& family : kFamilies)
      for (const wchar_t* preset : family.presetFiles) docs.Write(preset, "preset");
    x86.MakeFolder(L"\\Common Files\\OFX\\Plugins");
  }

  DoctorReport Examine() const {
    DoctorInputs inputs;
    inputs.folders = {programFiles.root(), docs.root(), appData.root()};
    inputs.programFilesX86 = x86.root();
    inputs.ofxPluginPath = ofxPluginPath;
    return RunDoctor(inputs);
  }

  test::TempTree programFiles, docs, appData, x86, elsewhere;
  std::vector<std::wstring> ofxPluginPath;
};

std::vector<std::string> Codes(const DoctorReport& report) {
  std::vector<std::string> codes;
  for (const Finding& finding : report.findings) codes.push_back(finding.code);
  return codes;
}

TEST(Doctor, AHealthyInstallationHasNoFinding) {
  Installation installation;
  installation.ofxPluginPath = {installation.programFiles.Path(L"\\Common Files\\OFX\\Plugins")};
  const DoctorReport report = installation.Examine();
  EXPECT_TRUE(report.findings.empty()) << FormatDoctorText(report);
  EXPECT_EQ(report.versions.size(), 3 * kPlugins.size());
  EXPECT_EQ(report.versions[0].version, "1.0.0.0");
  EXPECT_NE(FormatDoctorText(report).find("No problems found."), std::string::npos);
}

TEST(Doctor, EachFaultGivesExactlyItsFinding) {
  const PluginInfo& orbitale = kPlugins[0];
  const struct Case {
    const char* code;
    std::function<void(Installation&)> breakIt;
  } cases[] = {
      {"ofx-32bit-only",
       [&](Installation& i) {
         fs::remove(i.programFiles.FsPath(orbitale.hostFiles[HOST_OFX]));
         i.programFiles.Write(Bundle(orbitale) + L"\\Contents\\Win32\\" + Stem(orbitale) + L".ofx", kVersion1);
       }},
      {"ofx-not-x64",
       [&](Installation& i) {
         std::string x86 = kVersion1;  // the machine field of the PE header: 0x14c, 32-bit x86
         const std::size_t pe = static_cast<unsigned char>(x86[0x3C]) | static_cast<unsigned char>(x86[0x3D]) << 8;
         x86[pe + 4] = '\x4c';
         x86[pe + 5] = '\x01';
         i.programFiles.Write(orbitale.hostFiles[HOST_OFX], x86);
       }},
      {"ofx-not-x64", [&](Installation& i) { i.programFiles.Write(orbitale.hostFiles[HOST_OFX], "not a DLL\n"); }},
      {"ofx-copy-32bit-folder",
       [&](Installation& i) {
         i.x86.Write(L"\\Common Files\\OFX\\Plugins\\Quenlow\\" + Stem(orbitale) + L".ofx.bundle\\Contents\\Win32\\" +
                         Stem(orbitale) + L".ofx",
                     kVersion1);
       }},
      {"ofx-shadowed",
       [&](Installation& i) {
         i.elsewhere.Write(L"\\ofx\\" + Stem(orbitale) + L".OFX.bundle\\Contents\\Win64\\" + Stem(orbitale) + L".ofx",
                           kVersion1);
         i.ofxPluginPath = {i.elsewhere.Path(L"\\ofx")};
       }},
      {"version-differs-between-hosts",
       [&](Installation& i) { i.appData.Write(orbitale.hostFiles[HOST_MAGIX], kVersion2); }},
      {"version-differs-in-family",
       [&](Installation& i) {
         // Celluna Pro is one version everywhere, but not Celluna's.
         const PluginInfo& pro = *FindPlugin(PLUGIN_CELLUNA_PRO);
         i.programFiles.Write(pro.hostFiles[HOST_OFX], kVersion2);
         i.appData.Write(pro.hostFiles[HOST_MAGIX], kVersion2);
         i.programFiles.Write(pro.hostFiles[HOST_CYBERLINK], "<PlugIn Version=\"2.0.0.0\"/>");
       }},
      {"host-file-empty", [&](Installation& i) { i.programFiles.Write(orbitale.hostFiles[HOST_CYBERLINK], ""); }},
      {"host-file-folder",
       [&](Installation& i) {
         fs::remove(i.appData.FsPath(orbitale.hostFiles[HOST_MAGIX]));
         i.appData.MakeFolder(orbitale.hostFiles[HOST_MAGIX]);
       }},
      {"engine-file-not-read-whole",
       [&](Installation& i) {
         std::string lines;
         for (int n = 0; n < 1500; ++n) lines += "KEY:k" + std::to_string(n) + "\r\nVAL:1\r\n";
         i.docs.Write(kEngineMirrorFile, lines);
       }},
      {"engine-hosts-disagree",
       [&](Installation& i) {
         std::string bytes = test::EngineFileBytes(2, 1);
         bytes.replace(bytes.rfind("VAL:1"), 5, "VAL:0");  // Magix's DirectRenderer: Cg
         i.docs.Write(kEngineMirrorFile, bytes);
       }},
      {"engine-value-unknown",
       [&](Installation& i) {
         std::string bytes;
         for (const char* key : kEngineKeys) bytes += std::string("KEY:") + key + "\\DirectRenderer\r\nVAL:7\r\n";
         i.docs.Write(kEngineMirrorFile, bytes);
       }},
      {"engine-file-read-only",
       [&](Installation& i) {
         fs::permissions(i.docs.FsPath(kEngineMirrorFile),
                         fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                         fs::perm_options::remove);
       }},
      {"engine-file-in-program-files",
       [&](Installation& i) { i.programFiles.Write(kEngineMirrorFile, test::EngineFileBytes(16, 0)); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    Installation installation;
    c.breakIt(installation);
    const DoctorReport report = installation.Examine();
    EXPECT_EQ(Codes(report), std::vector<std::string>{c.code}) << FormatDoctorText(report);
    for (const Finding& finding : report.findings) {
      EXPECT_FALSE(finding.message.empty());
      EXPECT_EQ(finding.message.back(), '.') << "one sentence";
    }
    fs::permissions(installation.docs.FsPath(kEngineMirrorFile), fs::perms::owner_write, fs::perm_options::add);
  }
}

TEST(Doctor, TheStandardFolderOnTheSearchPathIsNoCopy) {
  Installation installation;
  const std::wstring standard = installation.programFiles.Path(L"\\Common Files\\OFX\\Plugins");
#ifdef _WIN32
  // Windows compares names ignoring letter case.
  std::wstring upper = standard;
  std::transform(upper.begin(), upper.end(), upper.begin(), ::towupper);
  installation.ofxPluginPath = {upper};
#else
  // A link to the same folder is the same folder.
  fs::create_directory_symlink(test::TempTree::ToFsPath(standard), installation.elsewhere.FsPath(L"\\link"));
  installation.ofxPluginPath = {installation.elsewhere.Path(L"\\link")};
#endif
  EXPECT_TRUE(installation.Examine().findings.empty());
}

TEST(Doctor, TextGroupsByFamilyProblemsFirst) {
  Installation installation;
  installation.programFiles.Write(kPlugins[0].hostFiles[HOST_CYBERLINK], "");
  installation.appData.Write(kPlugins[0].hostFiles[HOST_MAGIX], kVersion2);
  const std::string text = FormatDoctorText(installation.Examine());
  const std::size_t problem = text.find("problem [host-file-empty]");
  const std::size_t note = text.find("note [version-differs-between-hosts]");
  EXPECT_EQ(text.find("Orbitale:\n"), 0u) << text;
  EXPECT_LT(problem, note);
  EXPECT_NE(text.find("1 problem, 1 note.\n"), std::string::npos) << text;
}

#ifdef _WIN32
TEST(Doctor, AFileHeldByAHostIsInUse) {
  Installation installation;
  const std::wstring preset = installation.docs.Path(kFamilies[0].presetFiles[0]);
  HANDLE held = ::CreateFileW(preset.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const DoctorReport report = installation.Examine();
  ::CloseHandle(held);
  EXPECT_EQ(Codes(report), std::vector<std::string>{"file-in-use"});
  EXPECT_EQ(report.findings.at(0).path, preset);
}
#endif

#ifndef _WIN32
// The README's table of checks is the doctor's own list.
TEST(Doctor, TheReadmeListsEveryCheck) {
  std::ifstream in(std::string(QUENLOW_SOURCE_DIR) + "/README.md");
  const std::string readme((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  for (const CheckInfo& check : kChecks)
    EXPECT_NE(
        readme.find(std::string("| `") + check.code + "` | " +
                    (check.severity == Severity::Problem ? "problem" : "note") + " | " + check.description + " |"),
        std::string::npos)
        << check.code;
}
#endif

}  // namespace
}  // namespace quenlow
