#include "speech_markup.h"

#include <cmath>
#include <cwctype>

namespace sapidouble {
namespace {

constexpr double kPi = 3.14159265358979323846;

bool isNameChar(wchar_t c) {
    return std::iswalnum(c) || c == L'_' || c == L'-' || c == L':' || c == L'.';
}

// One entity after '&' at `at`; advances past its ';'.
bool readEntity(const std::wstring &s, size_t &at, std::wstring &out) {
    size_t end = s.find(L';', at);
    if (end == std::wstring::npos)
        return false;
    std::wstring name = s.substr(at + 1, end - at - 1);
    at = end + 1;
    static const struct {
        const wchar_t *name;
        wchar_t c;
    } named[] = {{L"amp", L'&'}, {L"lt", L'<'}, {L"gt", L'>'}, {L"quot", L'"'}, {L"apos", L'\''}};
    for (const auto &n : named) {
        if (name == n.name) {
            out += n.c;
            return true;
        }
    }
    if (name.size() < 2 || name[0] != L'#')
        return false;
    bool hex = name[1] == L'x';
    std::wstring digits = name.substr(hex ? 2 : 1);
    if (digits.empty() || digits.find_first_not_of(hex ? L"0123456789abcdefABCDEF"
                                                       : L"0123456789") != std::wstring::npos)
        return false;
    unsigned long code = std::wcstoul(digits.c_str(), nullptr, hex ? 16 : 10);
    if (code == 0 || code > 0xFFFF)
        return false;
    out += static_cast<wchar_t>(code);
    return true;
}

struct Tag {
    std::wstring name;
    std::wstring absMiddle; // empty when not given
    bool closing = false, empty = false;
};

// One tag from the '<' at `at`; advances past its '>'.
bool readTag(const std::wstring &s, size_t &at, Tag &tag) {
    size_t i = at + 1;
    if (i < s.size() && s[i] == L'/') {
        tag.closing = true;
        ++i;
    }
    size_t nameStart = i;
    while (i < s.size() && isNameChar(s[i]))
        ++i;
    if (i == nameStart)
        return false;
    tag.name = s.substr(nameStart, i - nameStart);
    for (;;) {
        while (i < s.size() && std::iswspace(s[i]))
            ++i;
        if (i >= s.size())
            return false;
        if (s[i] == L'>') {
            at = i + 1;
            return true;
        }
        if (s[i] == L'/' && !tag.closing && i + 1 < s.size() && s[i + 1] == L'>') {
            tag.empty = true;
            at = i + 2;
            return true;
        }
        if (tag.closing)
            return false;
        size_t attrStart = i;
        while (i < s.size() && isNameChar(s[i]))
            ++i;
        if (i == attrStart || i >= s.size() || s[i] != L'=')
            return false;
        std::wstring attr = s.substr(attrStart, i - attrStart);
        ++i;
        if (i >= s.size() || (s[i] != L'"' && s[i] != L'\''))
            return false;
        size_t close = s.find(s[i], i + 1);
        if (close == std::wstring::npos)
            return false;
        std::wstring value = s.substr(i + 1, close - i - 1);
        if (value.find(L'<') != std::wstring::npos)
            return false;
        if (attr == L"absmiddle")
            tag.absMiddle = value;
        i = close + 1;
    }
}

} // namespace

bool parseMarkup(const std::wstring &s, std::vector<TextRun> &runs) {
    runs.clear();
    std::vector<std::wstring> open;
    std::vector<int> pitches{0};
    runs.push_back(TextRun());
    for (size_t at = 0; at < s.size();) {
        if (s[at] == L'&') {
            if (!readEntity(s, at, runs.back().text))
                return false;
        } else if (s[at] == L'<') {
            Tag tag;
            if (!readTag(s, at, tag))
                return false;
            if (tag.closing) {
                if (open.empty() || open.back() != tag.name)
                    return false;
                open.pop_back();
                pitches.pop_back();
            } else if (!tag.empty) {
                open.push_back(tag.name);
                int pitch = pitches.back();
                if (tag.name == L"pitch" && !tag.absMiddle.empty())
                    pitch = static_cast<int>(std::wcstol(tag.absMiddle.c_str(), nullptr, 10));
                pitches.push_back(pitch);
            }
            if (runs.back().pitch != pitches.back()) {
                if (!runs.back().text.empty())
                    runs.push_back(TextRun());
                runs.back().pitch = pitches.back();
            }
        } else {
            runs.back().text += s[at++];
        }
    }
    return open.empty();
}

Signal::Signal(const std::vector<TextRun> &runs, double voiceHz, int rate, unsigned volume,
               uint32_t sampleRate)
    : runs_(runs), voiceHz_(voiceHz), level_(volume / 100.0),
      samplesPerChar_(
          static_cast<size_t>(std::lround(sampleRate * 0.07 * std::pow(3.0, -rate / 10.0)))),
      sampleRate_(sampleRate) {}

size_t Signal::next(int16_t *out, size_t max) {
    size_t n = 0;
    while (n < max && run_ < runs_.size()) {
        const TextRun &run = runs_[run_];
        if (char_ >= run.text.size()) {
            ++run_;
            char_ = 0;
            continue;
        }
        const wchar_t c = run.text[char_];
        const double hz = voiceHz_ * std::pow(2.0, run.pitch / 10.0);
        // Louder at the start of each character, so the signal is not
        // periodic at twice its pitch and the character's level tells it apart.
        const double peak = level_ * (3000 + 1500 * (c % 7));
        for (; n < max && sample_ < samplesPerChar_; ++n, ++sample_) {
            if (std::iswspace(c)) {
                out[n] = 0;
                continue;
            }
            const double envelope = 1.0 - 0.5 * double(sample_) / samplesPerChar_;
            out[n] = static_cast<int16_t>(std::lround(peak * envelope * std::sin(phase_)));
            phase_ = std::fmod(phase_ + 2 * kPi * hz / sampleRate_, 2 * kPi);
        }
        if (sample_ >= samplesPerChar_) {
            sample_ = 0;
            ++char_;
        }
    }
    return n;
}

} // namespace sapidouble
