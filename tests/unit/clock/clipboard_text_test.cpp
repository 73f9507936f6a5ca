// Clipboard text reaches the engine as text: no "[:" survives to open an
// in-line command, nothing else changes, and memory without a terminating
// zero is never read past its end.
#include "clipboard_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

// While lowered, allocations of this size or more fail, as a large one may in
// a 32-bit process.
static size_t FailAllocationsFrom = SIZE_MAX;

void *operator new(size_t size) {
    if (size >= FailAllocationsFrom) {
        throw std::bad_alloc();
    }
    if (void *memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}
void operator delete(void *memory) noexcept {
    std::free(memory);
}
void operator delete(void *memory, size_t) noexcept {
    std::free(memory);
}

namespace {

std::string Spoken(const std::string &memory) {
    ClipboardSpeech speech;
    PrepareClipboardSpeech(memory.data(), memory.size(), speech);
    return speech.text;
}

std::string WithoutBlanks(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
    return text;
}

TEST(ClipboardSpeech, CommandsAreBrokenUpEverythingElseKept) {
    struct Case {
        const char *clipboard;
        const char *spoken;
    };
    const Case cases[] = {
        {"Hello, world.", "Hello, world."},
        {"[:volume set 0]", "[ :volume set 0]"},
        {"  [:volume set 0]  ", "  [ :volume set 0]  "},
        {"[:play \"\\\\host\\share\\x.wav\"]", "[ :play \"\\\\host\\share\\x.wav\"]"},
        {"before [:rate 500] after", "before [ :rate 500] after"},
        {"[[::]]", "[[ ::]]"},
        {"[:[:", "[ :[ :"},
        {"a [ :b", "a [ :b"},
        {"ends with [", "ends with ["},
        {":[", ":["},
        {"", ""},
    };
    for (const Case &c : cases) {
        // The clipboard's memory: the text and its terminating zero.
        EXPECT_EQ(Spoken(std::string(c.clipboard) + '\0'), c.spoken) << c.clipboard;
    }
}

TEST(ClipboardSpeech, PlainTextIsSpokenFromTheClipboardItself) {
    const char memory[] = "The meeting starts at ten.";
    ClipboardSpeech speech;
    PrepareClipboardSpeech(memory, sizeof memory, speech);
    EXPECT_EQ(speech.text, memory); // no copy of a text that may be megabytes long
}

TEST(ClipboardSpeech, MemoryWithoutTerminatorIsCopiedUpToItsEnd) {
    // Another program may put text on the clipboard without its zero; a
    // guarded buffer shows that nothing past the given size is read.
    std::string memory = "no terminator here[:volume set 0]";
    memory += "GUARD";
    ClipboardSpeech speech;
    PrepareClipboardSpeech(memory.data(), memory.size() - 5, speech);
    EXPECT_STREQ(speech.text, "no terminator here[ :volume set 0]");
    PrepareClipboardSpeech(memory.data(), 5, speech);
    EXPECT_STREQ(speech.text, "no te");
    PrepareClipboardSpeech(memory.data(), 0, speech);
    EXPECT_STREQ(speech.text, "");
}

TEST(ClipboardSpeech, TextStopsAtTheFirstZero) {
    const char memory[] = "first\0[:volume set 0]";
    EXPECT_EQ(Spoken(std::string(memory, sizeof memory)), "first");
}

TEST(ClipboardSpeech, NoCommandSurvivesInAnyText) {
    // Texts made of the characters that matter, many lengths: afterwards no
    // "[:" is left, and only one blank was added for each "[:" there was.
    const char alphabet[] = {'[', ':', ' ', 'a', ']', '"'};
    uint32_t seed = 12345;
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        const int length = round % 40;
        for (int i = 0; i < length; ++i) {
            seed = seed * 1664525u + 1013904223u;
            text += alphabet[(seed >> 24) % sizeof alphabet];
        }
        size_t openings = 0;
        for (size_t at = text.find("[:"); at != std::string::npos; at = text.find("[:", at + 1)) {
            ++openings;
        }
        const std::string spoken = Spoken(text + '\0');
        ASSERT_EQ(spoken.find("[:"), std::string::npos) << text;
        ASSERT_EQ(spoken.size(), text.size() + openings) << text;
        ASSERT_EQ(WithoutBlanks(spoken), WithoutBlanks(text)) << text;
    }
}

TEST(ClipboardSpeech, TenMegabytesWithCommandsThroughout) {
    std::string text;
    while (text.size() < 10u * 1024 * 1024) {
        text += "Line of copied text with [:volume set 0] inside it.\r\n";
    }
    const size_t commands = text.size() / 53;
    const std::string spoken = Spoken(text + '\0');
    EXPECT_EQ(spoken.find("[:"), std::string::npos);
    EXPECT_EQ(spoken.size(), text.size() + commands);
}

TEST(ClipboardSpeech, TextPastTheLimitIsCutAndAFailedCopyIsNoText) {
    std::string memory(kClipboardSpeechLimit + 100, 'w');
    memory.back() = '\0';
    ClipboardSpeech speech;
    ASSERT_TRUE(PrepareClipboardSpeech(memory.data(), memory.size(), speech));
    EXPECT_EQ(std::strlen(speech.text), kClipboardSpeechLimit);
    memory.back() = 'w'; // no terminator either
    ASSERT_TRUE(PrepareClipboardSpeech(memory.data(), memory.size(), speech));
    EXPECT_EQ(std::strlen(speech.text), kClipboardSpeechLimit);
    memory[kClipboardSpeechLimit] = '\0'; // exactly the limit: spoken whole, in place
    ASSERT_TRUE(PrepareClipboardSpeech(memory.data(), memory.size(), speech));
    EXPECT_EQ(speech.text, memory.data());

    // A copy that cannot be made is no text, not an exception on the ClockThread.
    memory.replace(0, 2, "[:");
    FailAllocationsFrom = size_t{1} << 20;
    const bool prepared = PrepareClipboardSpeech(memory.data(), memory.size(), speech);
    FailAllocationsFrom = SIZE_MAX;
    EXPECT_FALSE(prepared);
    EXPECT_EQ(speech.text, nullptr);
}

} // namespace
