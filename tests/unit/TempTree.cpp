#include "TempTree.h"

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "platform/TextConvert.h"

namespace quenlow::test {
namespace fs = std::filesystem;

namespace {

fs::path NativeFsPath(const std::wstring& path) {
#ifdef _WIN32
  return fs::path(path);
#else
  std::string native = WideToUtf8(path);
  for (char& c : native)
    if (c == '\\') c = '/';
  return fs::path(native);
#endif
}

std::wstring FromFsPath(const fs::path& path) {
#ifdef _WIN32
  return path.wstring();
#else
  return Utf8ToWide(path.string());
#endif
}

}  // namespace

TempTree::TempTree() {
  std::random_device random;
  fs::path base = fs::temp_directory_path() / ("qfx-test-" + std::to_string(random()));
  fs::create_directories(base);
  m_root = FromFsPath(base);
  while (!m_root.empty() && (m_root.back() == L'\\' || m_root.back() == L'/')) m_root.pop_back();
}

TempTree::~TempTree() {
  std::error_code ignored;
  fs::permissions(NativeFsPath(m_root), fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(NativeFsPath(m_root), ignored);
}

fs::path TempTree::ToFsPath(const std::wstring& path) { return NativeFsPath(path); }

std::string TempTree::Utf8Path(const std::wstring& relative) const { return WideToUtf8(Path(relative)); }

fs::path TempTree::FsPath(const std::wstring& relative) const { return NativeFsPath(Path(relative)); }

void TempTree::MakeFolder(const std::wstring& relative) const { fs::create_directories(FsPath(relative)); }

void TempTree::Write(const std::wstring& relative, const std::string& bytes) const {
  fs::path path = FsPath(relative);
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write test file");
}

std::string TempTree::Read(const std::wstring& relative) const {
  std::ifstream in(FsPath(relative), std::ios::binary);
  if (!in) return "<missing>";
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool TempTree::Exists(const std::wstring& relative) const { return fs::exists(FsPath(relative)); }

}  // namespace quenlow::test
