#include "user_dictionary.h"

#include "text_encoding.h"

#include <algorithm>

namespace engine {
namespace {

// An apostrophe between letters belongs to the word ("don't"); elsewhere it is
// punctuation, so "'clock'" still holds the whole word "clock".
bool continuesWord(std::string_view text, size_t i, bool forward) {
    auto c = static_cast<unsigned char>(text[i]);
    if (isWordByte(c))
        return true;
    if (c != '\'')
        return false;
    if (forward)
        return i + 1 < text.size() && isWordByte(static_cast<unsigned char>(text[i + 1]));
    return i > 0 && isWordByte(static_cast<unsigned char>(text[i - 1]));
}

} // namespace

UserDictionary UserDictionary::parse(std::string_view bytes, ParseReport *report) {
    ParseReport local;
    UserDictionary dict;
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    std::string text = isValidUtf8(bytes) ? std::string(bytes) : ansiToUtf8(bytes);

    std::vector<Entry> entries;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string_view line(text.data() + pos, end - pos);
        pos = end + 1;

        if (line.size() > kMaxLineBytes) {
            ++local.skippedLines;
            continue;
        }
        size_t hash = line.find('#');
        if (hash != std::string_view::npos)
            line = line.substr(0, hash);
        if (trim(line).empty())
            continue;
        size_t tab = line.find('\t');
        if (tab == std::string_view::npos) {
            ++local.skippedLines;
            continue;
        }
        std::string_view word = trim(line.substr(0, tab));
        std::string replacement(trim(line.substr(tab + 1)));
        if (word.empty() || replacement.empty()) {
            ++local.skippedLines;
            continue;
        }
        blankControlCharacters(replacement);
        entries.push_back(Entry{foldCase(word), std::move(replacement)});
    }

    // A later line for the same word wins: keep the last of each run of equals.
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry &a, const Entry &b) { return a.folded < b.folded; });
    for (size_t i = 0; i < entries.size(); ++i) {
        if (i + 1 < entries.size() && entries[i + 1].folded == entries[i].folded)
            continue;
        dict.entries_.push_back(std::move(entries[i]));
    }
    local.entries = dict.entries_.size();
    if (report)
        *report = local;
    return dict;
}

std::string UserDictionary::apply(std::string_view text) const {
    if (entries_.empty())
        return std::string(text);
    const std::string folded = foldCase(text);
    std::string out;
    out.reserve(text.size());

    size_t i = 0;
    while (i < text.size()) {
        // A word that starts with a letter may not have a word running into it
        // from the left; one that starts with punctuation may stand anywhere.
        const bool joinedLeft = i > 0 && continuesWord(text, i - 1, false);
        size_t bestLen = 0;
        const Entry *best = nullptr;
        auto lo = entries_.begin();
        auto hi = entries_.end();
        for (size_t depth = 0; i + depth < folded.size() && lo != hi; ++depth) {
            auto c = static_cast<unsigned char>(folded[i + depth]);
            auto byteAt = [depth](const Entry &e) {
                return static_cast<unsigned char>(e.folded[depth]);
            };
            lo = std::partition_point(
                lo, hi, [&](const Entry &e) { return e.folded.size() <= depth || byteAt(e) < c; });
            hi = std::partition_point(
                lo, hi, [&](const Entry &e) { return e.folded.size() > depth && byteAt(e) == c; });
            if (lo == hi)
                break;
            // After narrowing, an entry that ends here sorts first in the range.
            if (lo->folded.size() == depth + 1) {
                const size_t after = i + depth + 1;
                const bool wordStart = isWordByte(static_cast<unsigned char>(text[i]));
                const bool wordEnd = isWordByte(static_cast<unsigned char>(text[after - 1]));
                const bool joinedRight = after < text.size() && continuesWord(text, after, true);
                if (!(wordStart && joinedLeft) && !(wordEnd && joinedRight)) {
                    best = &*lo;
                    bestLen = depth + 1;
                }
            }
        }
        if (best) {
            out += best->replacement;
            i += bestLen;
        } else {
            out += text[i];
            ++i;
        }
    }
    return out;
}

} // namespace engine
