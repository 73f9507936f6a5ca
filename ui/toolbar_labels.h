// The toolbar's labels: one string-table text whose first character
// separates them, in the order of ToolbarLabel.  Portable: no <windows.h>.
#pragma once

#include <cstddef>

// The labels of IDS_TOOLBAR_LABELS, in this order: a button's label index is
// its position here.
enum class ToolbarLabel {
    SpeakTime,
    StopSpeaking,
    Configure,
    ResetConfiguration,
    SetIniPath,
    RestartSpeech,
    ReadClipboard,
    EmptyClipboard,
    About,
};
constexpr size_t kToolbarLabelCount = static_cast<size_t>(ToolbarLabel::About) + 1;

// The label list as the toolbar takes it: text without its first character,
// each separator turned into a terminator, so the list ends in two.  labels
// is cleared first.  Returns how many labels the list holds.
size_t SplitToolbarLabels(const char *text, char *labels, size_t size);
