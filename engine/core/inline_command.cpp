#include "inline_command.h"

#include "text_encoding.h"

namespace engine {
namespace {

class Cursor {
  public:
    explicit Cursor(std::string_view s) : s_(s) {}

    void skipBlanks() {
        while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t'))
            ++pos_;
    }

    // Keywords are case-insensitive and must end at a non-letter.
    bool keyword(std::string_view word) {
        if (s_.size() - pos_ < word.size())
            return false;
        for (size_t i = 0; i < word.size(); ++i) {
            char c = s_[pos_ + i];
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c + 32);
            if (c != word[i])
                return false;
        }
        size_t end = pos_ + word.size();
        if (end < s_.size()) {
            char c = s_[end];
            if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
                return false;
        }
        pos_ = end;
        return true;
    }

    bool literal(char c) {
        if (pos_ < s_.size() && s_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }

    // A decimal integer with an optional sign; saturates instead of overflowing.
    std::optional<long long> integer() {
        bool negative = false;
        if (pos_ < s_.size() && (s_[pos_] == '+' || s_[pos_] == '-'))
            negative = s_[pos_++] == '-';
        size_t start = pos_;
        long long value = 0;
        while (pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9') {
            if (value < 1000000000LL)
                value = value * 10 + (s_[pos_] - '0');
            ++pos_;
        }
        if (pos_ == start)
            return std::nullopt;
        return negative ? -value : value;
    }

    std::optional<std::string_view> quoted() {
        if (!literal('"'))
            return std::nullopt;
        size_t end = s_.find('"', pos_);
        if (end == std::string_view::npos)
            return std::nullopt;
        std::string_view inside = s_.substr(pos_, end - pos_);
        pos_ = end + 1;
        return inside;
    }

    // Only blanks and line breaks may follow the closing bracket.
    bool atEndAfterBlanks() const { return trim(s_.substr(pos_)).empty(); }

  private:
    std::string_view s_;
    size_t pos_ = 0;
};

} // namespace

std::optional<InlineCommand> parseInlineCommand(std::string_view text) {
    if (text.size() < 2 || text[0] != '[' || text[1] != ':')
        return std::nullopt;
    Cursor in(text.substr(2));
    in.skipBlanks();
    InlineCommand cmd;
    if (in.keyword("volume")) {
        in.skipBlanks();
        if (!in.keyword("set"))
            return std::nullopt;
        in.skipBlanks();
        auto value = in.integer();
        if (!value)
            return std::nullopt;
        cmd.kind = InlineCommand::Kind::Volume;
        cmd.volume = static_cast<int>(*value < 0 ? 0 : (*value > kMaxVolume ? kMaxVolume : *value));
    } else if (in.keyword("play")) {
        in.skipBlanks();
        auto path = in.quoted();
        if (!path || trim(*path).empty())
            return std::nullopt;
        for (char c : *path) {
            if (static_cast<unsigned char>(c) < 0x20)
                return std::nullopt;
        }
        cmd.kind = InlineCommand::Kind::Play;
        cmd.path = std::string(*path);
    } else {
        return std::nullopt;
    }
    in.skipBlanks();
    if (!in.literal(']') || !in.atEndAfterBlanks())
        return std::nullopt;
    return cmd;
}

} // namespace engine
