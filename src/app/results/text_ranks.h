#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace krelix {

// Ranks for the texts of many rows, for sorting the results list: each distinct text is decoded
// and case-folded once, and the ranks follow the order of comparing the folded texts.

// Each row's rank among the texts, and each rank's folded text. Rows whose texts fold to the
// same text share a rank.
struct TextRanks {
    std::vector<std::uint32_t> ofRow;
    std::vector<std::pair<std::size_t, std::size_t>> spans;  // offset and size in the buffer
    std::u16string buffer;

    std::size_t Count() const { return spans.size(); }
    std::u16string_view Folded(std::size_t rank) const {
        return std::u16string_view(buffer).substr(spans[rank].first, spans[rank].second);
    }
};

enum class Repeats { FromRowAbove, Anywhere };

// Each row's text, folded once into the buffer: the row's id and each id's span in it.
struct FoldedTexts {
    std::vector<std::uint32_t> idOfRow;
    std::vector<std::pair<std::size_t, std::size_t>> spans;  // offset and size in the buffer
    std::u16string buffer;

    std::u16string_view Folded(std::uint32_t id) const {
        return std::u16string_view(buffer).substr(spans[id].first, spans[id].second);
    }
};

// Finds a text already folded anywhere (open addressing over ids + 1, 0 empty).
class SeenTexts {
  public:
    explicit SeenTexts(std::size_t rows);
    // The id of the text, or the slot to fill with id + 1 once it has one.
    std::uint32_t* Find(std::string_view bytes, std::optional<std::uint32_t>& id);

  private:
    std::vector<std::uint32_t> slots_;
    std::vector<std::string_view> bytesOf_;
    std::hash<std::string_view> hash_;
};

// The text as the list shows it (up to a NUL, decoded as QFile::decodeName does on Linux), case
// folded, appended to the buffer.
void AppendFolded(std::string_view bytes, std::u16string& buffer);

// Folds each distinct text once: texts equal to the row above's always count as one, and with
// Repeats::Anywhere (few distinct texts, such as folders) every repeat does.
template <typename Text, typename Ahead>
FoldedTexts FoldTexts(std::size_t rows, Text text, Repeats repeats, const Ahead& ahead) {
    FoldedTexts folded;
    folded.idOfRow.resize(rows);
    folded.spans.reserve(repeats == Repeats::FromRowAbove ? rows : 0);
    std::optional<SeenTexts> seen;
    if (repeats == Repeats::Anywhere) {
        seen.emplace(rows);
    }
    std::string_view previous;
    for (std::size_t i = 0; i < rows; ++i) {
        ahead(i);
        const std::string_view bytes = text(i);
        if (i > 0 && bytes == previous) {
            folded.idOfRow[i] = folded.idOfRow[i - 1];
            continue;
        }
        previous = bytes;
        std::optional<std::uint32_t> known;
        std::uint32_t* slot = seen ? seen->Find(bytes, known) : nullptr;
        if (known) {
            folded.idOfRow[i] = *known;
            continue;
        }
        const std::size_t offset = folded.buffer.size();
        AppendFolded(bytes, folded.buffer);
        folded.spans.emplace_back(offset, folded.buffer.size() - offset);
        folded.idOfRow[i] = static_cast<std::uint32_t>(folded.spans.size() - 1);
        if (slot != nullptr) {
            *slot = static_cast<std::uint32_t>(folded.spans.size());
        }
    }
    return folded;
}

// Rows whose texts fold to the same text share a rank.
TextRanks RankFolded(FoldedTexts texts);

template <typename Text, typename Ahead>
TextRanks RankTexts(std::size_t rows, Text text, Repeats repeats, const Ahead& ahead) {
    return RankFolded(FoldTexts(rows, text, repeats, ahead));
}

}  // namespace krelix
