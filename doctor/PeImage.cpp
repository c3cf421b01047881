#include "doctor/PeImage.h"

#include <cctype>
#include <cstring>

#include "platform/Files.h"

namespace quenlow {
namespace {

constexpr std::size_t kHeaderBytes = 4096;
constexpr std::size_t kMaxResourceSection = 16u << 20;
constexpr std::uint16_t kResourceTypeVersion = 16;
constexpr std::uint32_t kFixedFileInfoSignature = 0xFEEF04BD;

std::uint16_t U16(const std::string& bytes, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1])
                                                                                << 8);
}
std::uint32_t U32(const std::string& bytes, std::size_t at) {
  return static_cast<std::uint32_t>(U16(bytes, at)) | static_cast<std::uint32_t>(U16(bytes, at + 2)) << 16;
}

struct Section {
  std::uint32_t virtualAddress, virtualSize, rawSize, rawOffset;
};

// The data entry below a resource directory: the entry with `id` at the first level, the
// first entry below it.
std::optional<std::uint32_t> FindEntry(const std::string& rsrc, std::uint32_t directory,
                                       std::optional<std::uint16_t> id) {
  if (directory + 16 > rsrc.size()) return std::nullopt;
  const std::uint32_t count = U16(rsrc, directory + 12) + static_cast<std::uint32_t>(U16(rsrc, directory + 14));
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint32_t entry = directory + 16 + 8 * i;
    if (entry + 8 > rsrc.size()) return std::nullopt;
    const std::uint32_t name = U32(rsrc, entry);
    if (!id || (!(name & 0x80000000u) && name == *id)) return U32(rsrc, entry + 4);
  }
  return std::nullopt;
}

void ReadVersion(const std::wstring& path, const std::string& headers, std::size_t optional, std::uint16_t magic,
                 std::uint16_t sections, std::uint16_t optionalSize, PeImage& image) {
  // The resource table's entry among the data directories: the third.
  const std::size_t directories = optional + (magic == 0x20b ? 112 : 96);
  if (directories + 3 * 8 > headers.size()) return;
  const std::uint32_t resourceRva = U32(headers, directories + 16);
  if (resourceRva == 0) return;  // no resources, so no version
  const std::size_t table = optional + optionalSize;
  for (std::uint16_t i = 0; i < sections; ++i) {
    const std::size_t at = table + 40u * i;
    if (at + 40 > headers.size()) break;
    const Section section{U32(headers, at + 12), U32(headers, at + 8), U32(headers, at + 16), U32(headers, at + 20)};
    if (resourceRva < section.virtualAddress || resourceRva >= section.virtualAddress + section.rawSize) continue;
    if (section.rawSize > kMaxResourceSection) {
      image.malformed = "the resource section is larger than any plugin's";
      return;
    }
    const FileBytes read = ReadFileRange(path, section.rawOffset, section.rawSize);
    if (read.status != ReadStatus::Ok || read.bytes.size() < section.rawSize) {
      image.malformed = "the resource section lies beyond the end of the file";
      return;
    }
    const std::string& rsrc = read.bytes;
    const std::uint32_t root = resourceRva - section.virtualAddress;
    std::optional<std::uint32_t> next = FindEntry(rsrc, root, kResourceTypeVersion);
    if (!next) return;  // no version resource
    for (int level = 0; level < 2 && next; ++level) {
      if (!(*next & 0x80000000u)) {
        image.malformed = "the version resource's directory is damaged";
        return;
      }
      next = FindEntry(rsrc, root + (*next & 0x7FFFFFFFu), std::nullopt);
    }
    if (!next || (*next & 0x80000000u) || root + *next + 8 > rsrc.size()) {
      image.malformed = "the version resource's directory is damaged";
      return;
    }
    const std::uint32_t dataRva = U32(rsrc, root + *next);
    const std::uint32_t dataSize = U32(rsrc, root + *next + 4);
    if (dataRva < section.virtualAddress || dataRva - section.virtualAddress + std::uint64_t{dataSize} > rsrc.size()) {
      image.malformed = "the version resource lies outside its section";
      return;
    }
    const std::string data = rsrc.substr(dataRva - section.virtualAddress, dataSize);
    // VS_VERSIONINFO: a header and its UTF-16 key, then VS_FIXEDFILEINFO on a 4-byte boundary.
    for (std::size_t offset = 0; offset + 16 <= data.size() && offset < 128; offset += 4) {
      if (U32(data, offset) != kFixedFileInfoSignature) continue;
      const std::uint32_t high = U32(data, offset + 8), low = U32(data, offset + 12);
      image.version = std::to_string(high >> 16) + "." + std::to_string(high & 0xFFFF) + "." +
                      std::to_string(low >> 16) + "." + std::to_string(low & 0xFFFF);
      return;
    }
    image.malformed = "the version resource holds no fixed file information";
    return;
  }
  image.malformed = "the resource table lies in no section";
}

}  // namespace

PeImage ReadPeImage(const std::wstring& path) {
  PeImage image;
  const FileBytes head = ReadFileRange(path, 0, kHeaderBytes);
  if (head.status != ReadStatus::Ok) {
    image.error = head.error;
    return image;
  }
  image.readable = true;
  const std::string& bytes = head.bytes;
  if (bytes.size() < 0x40 || bytes[0] != 'M' || bytes[1] != 'Z') return image;
  const std::uint32_t pe = U32(bytes, 0x3C);
  if (pe + 24 > bytes.size() || std::memcmp(bytes.data() + pe, "PE\0\0", 4) != 0) return image;
  image.isPe = true;
  image.machine = U16(bytes, pe + 4);
  const std::uint16_t sections = U16(bytes, pe + 6);
  const std::uint16_t optionalSize = U16(bytes, pe + 20);
  const std::size_t optional = pe + 24;
  if (optional + 2 > bytes.size()) return image;
  ReadVersion(path, bytes, optional, U16(bytes, optional), sections, optionalSize, image);
  return image;
}

std::optional<std::string> ReadXmlVersion(const std::wstring& path) {
  const FileBytes read = ReadFileRange(path, 0, 64 * 1024);
  if (read.status != ReadStatus::Ok) return std::nullopt;
  const std::string& text = read.bytes;
  // The root element: the first tag that is no declaration, comment or processing instruction.
  std::size_t open = text.find('<');
  while (open != std::string::npos && open + 1 < text.size() && (text[open + 1] == '?' || text[open + 1] == '!'))
    open = text.find('<', text.find('>', open));
  if (open == std::string::npos) return std::nullopt;
  const std::size_t close = text.find('>', open);
  const std::string tag = text.substr(open, close == std::string::npos ? std::string::npos : close - open);
  for (std::size_t at = tag.find('='); at != std::string::npos; at = tag.find('=', at + 1)) {
    std::size_t nameEnd = at;
    while (nameEnd > 0 && std::isspace(static_cast<unsigned char>(tag[nameEnd - 1]))) --nameEnd;
    std::size_t nameStart = nameEnd;
    while (nameStart > 0 && !std::isspace(static_cast<unsigned char>(tag[nameStart - 1]))) --nameStart;
    std::string name = tag.substr(nameStart, nameEnd - nameStart);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::size_t quote = tag.find_first_not_of(" \t\r\n", at + 1);
    if (name != "version" || quote == std::string::npos || (tag[quote] != '"' && tag[quote] != '\'')) continue;
    const std::size_t end = tag.find(tag[quote], quote + 1);
    if (end == std::string::npos) return std::nullopt;
    return tag.substr(quote + 1, end - quote - 1);
  }
  return std::nullopt;
}

}  // namespace quenlow
