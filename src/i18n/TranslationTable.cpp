#include "i18n/TranslationTable.h"

#include <limits>
#include <stdexcept>

#include "platform/LittleEndian.h"
#include "profiles/TextCase.h"

namespace monitor {
namespace {

constexpr std::u16string_view kSeparator = u"=";
constexpr std::u16string_view kLineEnd = u"\r\n";

// A line without "=" has neither an original nor a translation.
struct SplitLine {
  std::u16string_view original;
  std::u16string_view translation;
};

std::optional<SplitLine> Split(std::u16string_view line) {
  const std::size_t separator = line.find(kSeparator);
  if (separator == std::u16string_view::npos) {
    return std::nullopt;
  }
  return SplitLine{line.substr(0, separator), line.substr(separator + kSeparator.size())};
}

// Lines end with CR LF; a lone CR or LF ends one too, as in any text list.
std::vector<std::u16string> SplitIntoLines(std::u16string_view text) {
  std::vector<std::u16string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find_first_of(kLineEnd, start);
    if (end == std::u16string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = text.substr(end).starts_with(kLineEnd) ? end + kLineEnd.size() : end + 1;
  }
  return lines;
}

std::u16string JoinLines(const std::vector<std::u16string>& lines) {
  std::u16string text;
  for (const std::u16string& line : lines) {
    text.append(line).append(kLineEnd);
  }
  return text;
}

// Every read is checked against the bytes left, so no length, however
// damaged, can make it read past the end.
class LayoutReader {
 public:
  explicit LayoutReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::optional<std::int32_t> Integer() {
    if (Left() < 4) {
      return std::nullopt;
    }
    const std::uint32_t value = LittleEndian32(bytes_.subspan(position_).first<4>());
    position_ += 4;
    return static_cast<std::int32_t>(value);
  }

  // A length in UTF-16 units, then that many units.
  std::optional<std::u16string> Text() {
    const std::optional<std::int32_t> length = Integer();
    if (!length || *length < 0 || static_cast<std::size_t>(*length) > Left() / 2) {
      return std::nullopt;
    }
    std::u16string text(static_cast<std::size_t>(*length), u'\0');
    for (char16_t& unit : text) {
      unit = LittleEndian16(bytes_.subspan(position_).first<2>());
      position_ += 2;
    }
    return text;
  }

  [[nodiscard]] bool AtEnd() const { return Left() == 0; }

 private:
  [[nodiscard]] std::size_t Left() const { return bytes_.size() - position_; }

  std::span<const std::uint8_t> bytes_;
  std::size_t position_ = 0;
};

class LayoutWriter {
 public:
  void Integer(std::int32_t value) {
    const auto bytes = LittleEndianBytes(static_cast<std::uint32_t>(value));
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
  }

  void Text(std::u16string_view text) {
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
      throw std::length_error("a translation table text is too long for its layout");
    }
    Integer(static_cast<std::int32_t>(text.size()));
    for (const char16_t unit : text) {
      const auto bytes = LittleEndianBytes(static_cast<std::uint16_t>(unit));
      bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    }
  }

  std::vector<std::uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace

std::optional<std::u16string_view> TranslationLanguage::TranslationOf(std::u16string_view original) const {
  for (const std::u16string& line : lines) {
    const std::optional<SplitLine> split = Split(line);
    if (split && split->original == original) {
      return split->translation;
    }
  }
  return std::nullopt;
}

std::optional<std::u16string_view> TranslationLanguage::OriginalOf(std::u16string_view translation) const {
  for (const std::u16string& line : lines) {
    const std::optional<SplitLine> split = Split(line);
    if (split && split->translation == translation) {
      return split->original;
    }
  }
  return std::nullopt;
}

int TranslationTable::IndexOf(std::u16string_view code) const {
  for (std::size_t i = 0; i < Resources.size(); ++i) {
    if (EqualIgnoringCase(Resources[i].code, code)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

bool TranslationTable::ReadLayout(std::span<const std::uint8_t> bytes) {
  // Everything is read aside first and taken only once the whole layout
  // proved sound, so a damaged file leaves the table as it was.
  LayoutReader reader(bytes);
  const std::optional<std::u16string> originals = reader.Text();
  const std::optional<std::int32_t> languageCount = reader.Integer();
  if (!originals || !languageCount || *languageCount < 0) {
    return false;
  }
  std::vector<TranslationLanguage> languages;
  for (std::int32_t i = 0; i < *languageCount; ++i) {
    std::optional<std::u16string> code = reader.Text();
    const std::optional<std::u16string> lines = code ? reader.Text() : std::nullopt;
    if (!lines) {
      return false;
    }
    languages.push_back({std::move(*code), SplitIntoLines(*lines)});
  }
  if (!reader.AtEnd()) {
    return false;
  }
  Original = SplitIntoLines(*originals);
  Resources.insert(Resources.end(), std::make_move_iterator(languages.begin()),
                   std::make_move_iterator(languages.end()));
  return true;
}

std::vector<std::uint8_t> TranslationTable::WriteLayout() const {
  LayoutWriter writer;
  writer.Text(JoinLines(Original));
  writer.Integer(static_cast<std::int32_t>(Resources.size()));
  for (const TranslationLanguage& language : Resources) {
    writer.Text(language.code);
    writer.Text(JoinLines(language.lines));
  }
  return writer.Take();
}

}  // namespace monitor
