#pragma once

#include <optional>
#include <string>

namespace krelix {

// Alternating shading of the list's groups, row after row: a row whose group key differs from
// the row above's (letter case aside) starts a new stripe.
class GroupStripes {
  public:
    // The next row is the first; its group is not shaded.
    void Restart();
    // Whether the next row, of this group key, is shaded. The key must live until the next call
    // or Settle (a record's key does).
    bool Next(const std::string& key);
    // Keeps the last key as its own, for rows appended later.
    void Settle();

  private:
    const std::string* last_ = nullptr;
    std::optional<std::string> kept_;
    bool on_ = true;  // flipped at the first row: the first group is plain
};

}  // namespace krelix
