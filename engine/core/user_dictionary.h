// The user dictionary: one entry a line, "word<TAB>replacement".  The word is
// replaced wherever it stands as a whole word, in any letter case; '#' starts
// a comment that runs to the end of the line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

class UserDictionary {
  public:
    // Longer lines are skipped whole rather than cut, so a half entry is never used.
    static constexpr size_t kMaxLineBytes = 1024;
    static constexpr size_t kMaxFileBytes = 1 << 20;

    struct ParseReport {
        size_t entries = 0;
        size_t skippedLines = 0; // lines that are neither entries, comments nor blank
    };

    // The file may be UTF-8 (with or without a byte-order mark) or Windows-1252.
    static UserDictionary parse(std::string_view fileBytes, ParseReport *report = nullptr);

    // Replaces whole words of UTF-8 text.  Replacements are not searched again.
    std::string apply(std::string_view utf8Text) const;

    bool empty() const { return entries_.empty(); }
    size_t size() const { return entries_.size(); }

  private:
    struct Entry {
        std::string folded; // the word, case-folded
        std::string replacement;
    };
    // Sorted by folded word so the candidates at a position form one narrowing range.
    std::vector<Entry> entries_;
};

} // namespace engine
