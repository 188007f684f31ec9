#include "framework/WKLanguageFile.h"

#include <iconv.h>
#include <unistd.h>

#include <cerrno>

#include "framework/WKRegularFile.h"
#include "framework/WKUnicode.h"

namespace {
constexpr size_t kMaxTextFileBytes = 16u << 20;
}

bool TWKLanguageFile::LoadFromFile(const std::string& fileName, TWKFileFailure* failure) {
  std::string bytes;
  TWKFileFailure why;
  const bool read = ReadRegularFile(fileName, bytes, why, MaxBytes);
  if (failure != nullptr) *failure = why;
  LoadFromBytes(bytes);
  return read;
}

bool TWKLanguageFile::ReadTextFile(const std::string& fileName, std::string& bytes) {
  bytes.clear();
  TWKFileFailure failure;
  const int fd = OpenRegularFile(fileName, failure);
  if (fd < 0) return false;
  char chunk[65536];
  while (bytes.size() < kMaxTextFileBytes) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    bytes.append(chunk, static_cast<size_t>(n));
  }
  ::close(fd);
  return true;
}

void TWKLanguageFile::LoadFromBytes(std::string_view bytes) { SetText(DecodeText(bytes)); }

namespace {

// UTF-16 text after its byte order mark, in that byte order; an odd last byte is dropped.
std::string Utf16Text(std::string_view bytes, bool little) {
  std::u16string text(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < text.size(); ++i) {
    const auto a = static_cast<unsigned char>(bytes[2 * i]), b = static_cast<unsigned char>(bytes[2 * i + 1]);
    text[i] = static_cast<char16_t>(little ? (a | b << 8) : (a << 8 | b));
  }
  return Utf16ToUtf8(text);
}

}  // namespace

std::string TWKLanguageFile::DecodeText(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return std::string(bytes.substr(3));
  if (bytes.substr(0, 2) == "\xFF\xFE") return Utf16Text(bytes.substr(2), true);
  if (bytes.substr(0, 2) == "\xFE\xFF") return Utf16Text(bytes.substr(2), false);
  const int codePage = FindCodePage(bytes);
  std::string utf8;
  if (codePage != 0 && ConvertFromCodePage(bytes, codePage, utf8)) return utf8;
  return std::string(bytes);
}

int TWKLanguageFile::FindCodePage(std::string_view bytes) {
  size_t start = 0;
  while (start < bytes.size()) {
    size_t stop = bytes.find_first_of("\r\n", start);
    if (stop == std::string_view::npos) stop = bytes.size();
    const std::string_view line = Trim(bytes.substr(start, stop - start));
    start = stop + 1;
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos || !SameText(Trim(line.substr(0, eq)), "CodePage")) continue;
    int value = 0;
    return ParseInteger(Trim(line.substr(eq + 1)), value) ? value : 0;
  }
  return 0;
}

bool TWKLanguageFile::ConvertFromCodePage(std::string_view bytes, int codePage, std::string& utf8) {
  if (codePage <= 0) return false;
  const std::string name = "CP" + std::to_string(codePage);
  iconv_t cd = ::iconv_open("UTF-8", name.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  utf8.clear();
  utf8.reserve(bytes.size() * 2);
  char* in = const_cast<char*>(bytes.data());
  size_t inLeft = bytes.size();
  char buffer[4096];
  while (inLeft > 0) {
    char* out = buffer;
    size_t outLeft = sizeof buffer;
    const size_t r = ::iconv(cd, &in, &inLeft, &out, &outLeft);
    utf8.append(buffer, static_cast<size_t>(out - buffer));
    if (r != static_cast<size_t>(-1) || errno == E2BIG) continue;
    // An undefined or cut byte: replace it and go on.
    utf8 += "\xEF\xBF\xBD";
    ++in;
    --inLeft;
  }
  ::iconv_close(cd);
  return true;
}
