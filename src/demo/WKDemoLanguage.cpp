#include "demo/WKDemoLanguage.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "demo/WKDemoTexts.h"

namespace {

using TWords = std::vector<std::string_view>;

TWords SplitWords(std::string_view line) {
  TWords words;
  size_t pos = 0;
  while (true) {
    pos = line.find_first_not_of(" \t", pos);
    if (pos == std::string_view::npos) break;
    const size_t end = std::min(line.find_first_of(" \t", pos), line.size());
    words.push_back(line.substr(pos, end - pos));
    pos = end;
  }
  return words;
}

char UpperChar(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = UpperChar(c);
  return upper;
}

std::string FirstWordUpper(std::string_view line) {
  const TWords words = SplitWords(line);
  return words.empty() ? std::string() : Upper(words[0]);
}

// Every occurrence of key (upper case) in line, in any case, replaced by value.
std::string ReplaceAll(std::string_view line, std::string_view key, std::string_view value) {
  std::string result;
  size_t pos = 0;
  while (pos < line.size()) {
    bool match = pos + key.size() <= line.size();
    for (size_t k = 0; match && k < key.size(); ++k) match = UpperChar(line[pos + k]) == key[k];
    if (match) {
      result += value;
      pos += key.size();
    } else {
      result += line[pos++];
    }
  }
  return result;
}

// The produced lines, refused beyond the caps.
class TExpansion {
 public:
  bool Add(std::string line) {
    if (Lines.size() >= TWKDemoLanguage::kMaxExpandedLines ||
        Bytes_ + line.size() > TWKDemoLanguage::kMaxExpandedBytes) {
      Overflow = true;
      return false;
    }
    Bytes_ += line.size();
    Lines.push_back(std::move(line));
    return true;
  }
  // "Pause 0.5", "MouseCurvedMove " + target, "Pause 0.5".
  void AddMoveTo(std::string_view target) {
    Add("Pause 0.5");
    Add("MouseCurvedMove " + std::string(target));
    Add("Pause 0.5");
  }
  void AddMessage(std::string_view text) {
    Add("Message " + std::string(text));
    Add("Pause 0.5");
  }
  void AddMessages(const TWords& words, size_t from) {
    for (size_t i = from; i < words.size(); ++i) AddMessage(words[i]);
  }

  std::vector<std::string> Lines;
  bool Overflow = false;

 private:
  size_t Bytes_ = 0;
};

// The values of "#FOR" and "#DOFOR": from, to and an optional step, in 64 bits.
struct TCount {
  int64_t From = 0;
  int64_t To = 0;
  int64_t Step = 1;
};

bool ParseInt64(std::string_view text, int64_t& value) {
  if (text.size() > 1 && text[0] == '+' && text[1] != '-') text.remove_prefix(1);
  const char* end = text.data() + text.size();
  const auto r = std::from_chars(text.data(), end, value);
  return r.ec == std::errc() && r.ptr == end;
}

// False with the reason in error when a bound or the step is missing or not a whole number.
bool ParseCount(const TWords& words, size_t first, TCount& count, std::string& error) {
  if (words.size() < first + 2) {
    error = DemoText(TWKDemoText::InvalidArguments);
    return false;
  }
  int64_t* fields[] = {&count.From, &count.To, &count.Step};
  for (size_t i = 0; i < 3 && first + i < words.size(); ++i) {
    if (!ParseInt64(words[first + i], *fields[i])) {
      error = DemoText(TWKDemoText::BadNumber, std::string(words[first + i]));
      return false;
    }
  }
  // The step follows the direction; 0 counts by one.
  const bool down = count.From > count.To;
  if (count.Step == 0) count.Step = 1;
  if (count.Step == INT64_MIN) count.Step = INT64_MAX;
  if (count.Step < 0) count.Step = -count.Step;
  if (down) count.Step = -count.Step;
  return true;
}

// Calls f(v) for every value from From while it does not pass To; stops when f answers false.
template <class F>
void ForEachValue(const TCount& count, F&& f) {
  int64_t v = count.From;
  while (count.Step > 0 ? v <= count.To : v >= count.To) {
    if (!f(v)) return;
    if (__builtin_add_overflow(v, count.Step, &v)) return;
  }
}

}  // namespace

TWKDemoLanguage& DemoLanguage() {
  static TWKDemoLanguage language;
  return language;
}

std::string TWKDemoLanguage::TakeLine() {
  if (PendingLines_.empty()) return {};
  std::string line = std::move(PendingLines_.front());
  PendingLines_.pop_front();
  return line;
}

void TWKDemoLanguage::Clear() {
  PendingLines_.clear();
  Error_.clear();
}

namespace {

struct TDirectiveInput {
  const std::vector<std::string>& ScriptLines;
  int32_t Index;
  TWords Words;
};

// The line of the block's "#OD", or -1; never past the last script line.
int32_t FindOd(const TDirectiveInput& in) {
  for (size_t j = static_cast<size_t>(in.Index) + 1; j < in.ScriptLines.size(); ++j)
    if (FirstWordUpper(in.ScriptLines[j]) == "#OD") return static_cast<int32_t>(j);
  return -1;
}

void ExpandEach(const TWords& w, TExpansion& out) {
  if (w.size() < 3) return;
  std::string command(w[2]);
  const std::string upper = Upper(command);
  if (upper == "MOUSEMOVE" || upper == "MOUSECURVEDMOVE") command += " Image,";
  for (size_t i = 3; i < w.size() && !out.Overflow; ++i) {
    out.Add("Pause " + std::string(w[1]));
    out.Add(command + " " + std::string(w[i]));
  }
}

bool ExpandFor(const TWords& w, TExpansion& out, std::string& error) {
  TCount count;
  if (!ParseCount(w, 3, count, error)) return false;
  ForEachValue(count, [&](int64_t v) {
    return out.Add("Pause " + std::string(w[1])) && out.Add(std::string(w[2]) + " " + std::to_string(v));
  });
  return true;
}

void AddBlock(const TDirectiveInput& in, int32_t od, std::string_view key, std::string_view value,
              TExpansion& out) {
  for (int32_t j = in.Index + 1; j < od && !out.Overflow; ++j)
    out.Add(ReplaceAll(in.ScriptLines[static_cast<size_t>(j)], key, value));
}

void ExpandFinish(TExpansion& out) {
  for (const char* line : {"MouseSpeed 5", "MouseCurvedMove OriginalImageButton", "MouseDown",
                           "Message &392", "MouseUp", "Message &393"})
    out.Add(line);
  for (int i = 0; i < 3; ++i)
    for (const char* line : {"MouseDown", "Pause 0.5", "MouseUp", "Pause 0.5"}) out.Add(line);
}

// The simple directives; false when key is none of them.
bool ExpandSimple(const std::string& key, const TWords& w, TExpansion& out) {
  const auto word = [&](size_t i) { return i < w.size() ? w[i] : std::string_view(); };
  if (key == "#TO") {
    out.AddMoveTo(word(1));
    out.AddMessages(w, 2);
  } else if (key == "#TOIMAGE" || key == "#START") {
    if (key == "#START") {
      out.Add("MouseSpeed 5");
      out.Add("MouseTo Image, 0, 0");
    }
    out.Add("Pause 0.5");
    out.Add("MouseCurvedMove Image, " + std::string(word(1)));
    out.Add("Pause 0.5");
    out.AddMessages(w, 2);
  } else if (key == "#USE" || key == "#SET") {
    const size_t firstMessage = key == "#USE" ? 2 : 3;
    out.AddMoveTo(word(1));
    if (w.size() > firstMessage) out.AddMessage(w[firstMessage]);
    out.Add(key == "#USE" ? std::string(word(1)) : std::string(word(1)) + " " + std::string(word(2)));
    out.Add("Pause 0.5");
    out.AddMessages(w, firstMessage + 1);
  } else if (key == "#EACH") {
    ExpandEach(w, out);
  } else if (key == "#FINISH") {
    ExpandFinish(out);
  } else {
    return false;
  }
  return true;
}

}  // namespace

bool TWKDemoLanguage::ExpandLine(const std::vector<std::string>& scriptLines, int32_t index) {
  Error_.clear();
  if (index < 0 || static_cast<size_t>(index) >= scriptLines.size()) return false;
  const TDirectiveInput in{scriptLines, index, SplitWords(scriptLines[static_cast<size_t>(index)])};
  if (in.Words.empty()) return false;
  const std::string key = Upper(in.Words[0]);
  TExpansion out;
  LineIndex_ = index;
  if (key == "#FOR") {
    ExpandFor(in.Words, out, Error_);
  } else if (key == "#DOEACH" || key == "#DOFOR") {
    const int32_t od = FindOd(in);
    TCount count;
    if (od < 0) {
      Error_ = DemoText(TWKDemoText::MissingOd, key);
    } else if (key == "#DOEACH") {
      LineIndex_ = od;
      for (size_t i = 1; i < in.Words.size() && !out.Overflow; ++i) AddBlock(in, od, "#EACH", in.Words[i], out);
    } else if (ParseCount(in.Words, 1, count, Error_)) {
      LineIndex_ = od;
      if (od > index + 1)  // an empty block produces nothing, however often it is counted
        ForEachValue(count, [&](int64_t v) {
        AddBlock(in, od, "#FOR", std::to_string(v), out);
        return !out.Overflow;
      });
    }
  } else if (!ExpandSimple(key, in.Words, out)) {
    return false;
  }
  if (Error_.empty() && out.Overflow) Error_ = DemoText(TWKDemoText::TooManyLines, key);
  if (!Error_.empty()) return true;
  for (std::string& line : out.Lines) PendingLines_.push_back(std::move(line));
  return true;
}
