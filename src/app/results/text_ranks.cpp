#include "app/results/text_ranks.h"

#include <QString>
#include <algorithm>

namespace krelix {
namespace {

// Eight UTF-16 units from the given place as two numbers, zeros past the end: most compares of
// distinct texts end there.
struct Prefix {
    std::uint64_t high = 0;
    std::uint64_t low = 0;
    auto operator<=>(const Prefix&) const = default;
};

Prefix PrefixAt(std::u16string_view text, std::size_t from) {
    Prefix prefix;
    for (std::size_t i = from; i < from + 8; ++i) {
        std::uint64_t& half = i < from + 4 ? prefix.high : prefix.low;
        half = (half << 16) | (i < text.size() ? text[i] : 0u);
    }
    return prefix;
}

struct PrefixEntry {
    Prefix prefix;
    std::uint32_t id;
};

// The ids in the order of their folded texts. Texts often all start alike ("/home/", "img_"):
// the prefixes are taken after that start. By prefix alone first, which stays within the
// entries; then the few runs of one prefix by their whole texts, which lie all over the buffer.
std::vector<PrefixEntry> SortFolded(const FoldedTexts& texts) {
    const std::size_t count = texts.spans.size();
    std::size_t common = count == 0 ? 0 : texts.spans[0].second;
    for (std::uint32_t id = 0; id < count; ++id) {
        const std::u16string_view text = texts.Folded(id);
        common = std::min(common, text.size());
        while (common > 0 && text.substr(0, common) != texts.Folded(0).substr(0, common)) {
            --common;
        }
    }
    std::vector<PrefixEntry> entries(count);
    for (std::uint32_t id = 0; id < count; ++id) {
        entries[id] = {PrefixAt(texts.Folded(id), common), id};
    }
    std::sort(entries.begin(), entries.end(),
              [](const PrefixEntry& a, const PrefixEntry& b) { return a.prefix < b.prefix; });
    for (std::size_t begin = 0; begin < entries.size();) {
        std::size_t end = begin + 1;
        while (end < entries.size() && entries[end].prefix == entries[begin].prefix) {
            ++end;
        }
        if (end - begin > 1) {
            std::sort(entries.begin() + static_cast<std::ptrdiff_t>(begin),
                      entries.begin() + static_cast<std::ptrdiff_t>(end),
                      [&](const PrefixEntry& a, const PrefixEntry& b) {
                          return texts.Folded(a.id) < texts.Folded(b.id);
                      });
        }
        begin = end;
    }
    return entries;
}

}  // namespace

SeenTexts::SeenTexts(std::size_t rows) {
    std::size_t capacity = 16;
    while (capacity < rows * 2) {
        capacity *= 2;
    }
    slots_.assign(capacity, 0);
}

std::uint32_t* SeenTexts::Find(std::string_view bytes, std::optional<std::uint32_t>& id) {
    std::size_t at = hash_(bytes) & (slots_.size() - 1);
    while (slots_[at] != 0 && bytesOf_[slots_[at] - 1] != bytes) {
        at = (at + 1) & (slots_.size() - 1);
    }
    if (slots_[at] != 0) {
        id = slots_[at] - 1;
        return nullptr;
    }
    bytesOf_.push_back(bytes);
    return &slots_[at];
}

// ASCII, the common case, is folded here without a QString.
void AppendFolded(std::string_view bytes, std::u16string& buffer) {
    const std::string_view shown = bytes.substr(0, bytes.find('\0'));
    if (std::all_of(shown.begin(), shown.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        for (const char c : shown) {
            buffer.push_back(static_cast<char16_t>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c));
        }
        return;
    }
    const QString folded =
        QString::fromLocal8Bit(QByteArrayView(shown.data(), static_cast<qsizetype>(shown.size())))
            .toCaseFolded();
    buffer.append(reinterpret_cast<const char16_t*>(folded.utf16()),
                  static_cast<std::size_t>(folded.size()));
}

TextRanks RankFolded(FoldedTexts texts) {
    const std::vector<PrefixEntry> entries = SortFolded(texts);
    TextRanks ranks;
    std::vector<std::uint32_t> rankOfId(texts.spans.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::uint32_t id = entries[i].id;
        if (i == 0 || entries[i - 1].prefix != entries[i].prefix ||
            texts.Folded(entries[i - 1].id) != texts.Folded(id)) {
            ranks.spans.push_back(texts.spans[id]);
        }
        rankOfId[id] = static_cast<std::uint32_t>(ranks.spans.size() - 1);
    }
    ranks.ofRow.resize(texts.idOfRow.size());
    for (std::size_t i = 0; i < texts.idOfRow.size(); ++i) {
        ranks.ofRow[i] = rankOfId[texts.idOfRow[i]];
    }
    ranks.buffer = std::move(texts.buffer);
    return ranks;
}

}  // namespace krelix
