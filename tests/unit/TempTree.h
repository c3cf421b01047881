// A temporary folder (its name free of the maker's word) that stands in for a folder of the folder set, with helpers
// that take the program's relative paths ("\Quenlow\FX\System\lm.regr") as they are.
#pragma once

#include <filesystem>
#include <string>

namespace quenlow::test {

class TempTree {
 public:
  TempTree();
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;
  ~TempTree();

  // The folder as the program sees it: no trailing separator.
  const std::wstring& root() const { return m_root; }
  // root() + relative, for the code under test.
  std::wstring Path(const std::wstring& relative) const { return m_root + relative; }
  // The same path as UTF-8, the way mirror paths travel.
  std::string Utf8Path(const std::wstring& relative) const;
  std::filesystem::path FsPath(const std::wstring& relative) const;

  // Any path as the program writes it, for the standard library.
  static std::filesystem::path ToFsPath(const std::wstring& path);

  void MakeFolder(const std::wstring& relative) const;
  // Writes the file, creating its folders.
  void Write(const std::wstring& relative, const std::string& bytes) const;
  std::string Read(const std::wstring& relative) const;
  bool Exists(const std::wstring& relative) const;

 private:
  std::wstring m_root;
};

}  // namespace quenlow::test
