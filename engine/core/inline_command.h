// In-line commands.  A speak call is a command only when its whole text is one
// well-formed command that starts at the very first byte; anything else,
// including a malformed command, is ordinary text and is spoken as it stands.
// The program can therefore speak any text literally by not starting it with
// "[:" (a leading space is enough).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace engine {

struct InlineCommand {
    enum class Kind { Volume, Play };
    Kind kind;
    int volume = 0;   // Volume: 0-100 after clamping
    std::string path; // Play: the file as written between the quotes
};

constexpr int kMaxVolume = 100;

std::optional<InlineCommand> parseInlineCommand(std::string_view text);

} // namespace engine
