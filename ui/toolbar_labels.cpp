#include "toolbar_labels.h"

#include <cstring>

size_t SplitToolbarLabels(const char *text, char *labels, size_t size) {
    std::memset(labels, 0, size);
    const char separator = text[0];
    if (separator == '\0') {
        return 0;
    }
    size_t count = 0;
    size_t length = 0; // of the label being copied
    // The last two bytes of labels stay terminators, whatever the text's length.
    for (size_t i = 1; text[i] != '\0' && i + 1 < size; ++i) {
        if (text[i] != separator) {
            labels[i - 1] = text[i];
            ++length;
        } else if (length == 0) {
            break; // an empty label ends the list
        } else {
            ++count;
            length = 0;
        }
    }
    return length > 0 ? count + 1 : count;
}
