#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "toolbar_labels.h"

// The string the program loads, read from the resource script itself: a
// label added to it or to ToolbarLabel alone shows here.
TEST(ToolbarLabels, TheStringTableHoldsOneLabelPerToolbarLabel) {
    std::ifstream script(ORVANEL_RESOURCE_SCRIPT);
    ASSERT_TRUE(script) << ORVANEL_RESOURCE_SCRIPT;
    std::string line;
    std::string text;
    while (text.empty() && std::getline(script, line)) {
        const size_t at = line.find("IDS_TOOLBAR_LABELS \"");
        if (at != std::string::npos) {
            const size_t start = line.find('"', at) + 1;
            text = line.substr(start, line.rfind('"') - start);
        }
    }
    ASSERT_FALSE(text.empty()) << "no IDS_TOOLBAR_LABELS in the string table";
    char labels[260];
    EXPECT_EQ(SplitToolbarLabels(text.c_str(), labels, sizeof labels), kToolbarLabelCount) << text;
}
