#include "text_processor.h"

#include "inline_command.h"
#include "text_encoding.h"

namespace engine {
namespace {

bool endsClause(char c) {
    return c == '.' || c == ',' || c == ';' || c == ':' || c == '!' || c == '?';
}

// The best place at or before `limit` to cut a long piece: after a clause end,
// else after white space, else at a UTF-8 character boundary.
size_t pieceEnd(std::string_view text, size_t limit) {
    if (text.size() <= limit)
        return text.size();
    size_t clause = lastClauseEnd(text.substr(0, limit));
    if (clause > limit / 2)
        return clause;
    for (size_t i = limit; i > limit / 2; --i) {
        if (isSpace(text[i - 1]))
            return i;
    }
    size_t i = limit;
    while (i > 1 && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
        --i;
    return i;
}

} // namespace

size_t lastClauseEnd(std::string_view text) {
    for (size_t i = text.size(); i > 0; --i) {
        char c = text[i - 1];
        if (c == '\n')
            return i;
        if (isSpace(c) && i >= 2 && endsClause(text[i - 2]))
            return i;
    }
    return 0;
}

TextProcessor::TextProcessor(RateRange rates)
    : rates_(rates), rate_(clampRate(kDefaultRate, rates)) {}

bool TextProcessor::setSpeaker(uint32_t speaker) {
    if (!speakerVoice(speaker))
        return false;
    speaker_ = speaker;
    return true;
}

void TextProcessor::speak(std::string_view text, bool force, bool literal,
                          std::vector<QueueItem> &out) {
    if (auto cmd = literal ? std::nullopt : parseInlineCommand(text)) {
        // A command ends whatever clause was waiting, so the order of speech
        // and command in the stream is the order of the calls.
        flush(out);
        if (cmd->kind == InlineCommand::Kind::Volume) {
            volume_ = cmd->volume;
        } else {
            QueueItem item;
            item.kind = QueueItem::Kind::Play;
            item.text = cmd->path;
            item.speaker = speaker_;
            item.rate = rate_;
            item.volume = volume_;
            out.push_back(std::move(item));
        }
        return;
    }
    held_.append(text.data(), text.size());
    if (force || held_.size() >= kMaxHeldBytes) {
        flush(out);
        return;
    }
    size_t cut = lastClauseEnd(held_);
    if (cut > 0) {
        emitSpeech(std::string_view(held_).substr(0, cut), out);
        held_.erase(0, cut);
    }
}

void TextProcessor::flush(std::vector<QueueItem> &out) {
    if (held_.empty())
        return;
    emitSpeech(held_, out);
    held_.clear();
}

void TextProcessor::reset(bool complete) {
    held_.clear();
    if (complete)
        volume_ = 100;
}

void TextProcessor::emitSpeech(std::string_view ansi, std::vector<QueueItem> &out) const {
    std::string utf8 = ansiToUtf8(ansi);
    blankControlCharacters(utf8);
    if (!dictionary_.empty())
        utf8 = dictionary_.apply(utf8);
    std::string_view rest(utf8);
    while (!trim(rest).empty()) {
        size_t end = pieceEnd(rest, kMaxPieceBytes);
        std::string_view piece = rest.substr(0, end);
        rest.remove_prefix(end);
        if (trim(piece).empty())
            continue;
        QueueItem item;
        item.kind = QueueItem::Kind::Speech;
        item.text = std::string(piece);
        item.speaker = speaker_;
        item.rate = rate_;
        item.volume = volume_;
        out.push_back(std::move(item));
    }
}

} // namespace engine
