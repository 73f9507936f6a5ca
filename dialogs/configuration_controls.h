// Which control of the Configuration dialog edits which setting: one row per
// control, loaded by one loop when the dialog opens and saved by one loop on
// OK and Apply, in the order of the rows.  Portable: no <windows.h>.
#pragma once

#include <cstddef>
#include <cstdint>

#include "settings_catalogue.h"

enum class ControlKind : uint8_t {
    Check,       // checked when the stored number is not 0; saved as "1"/"0"
    Text,        // a text box of at most 259 characters
    Number,      // a digits-only box driven by the up-down that follows it
    Rate,        // a Number whose range is the engine's lowest to highest rate
    SpeakerList, // the speakers, 0 to 8: the selected index is the value
    OutputList,  // the speech outputs: the selected index is the value
    ChimeList,   // none, before or instead of the spoken time: the index is the value
    DeviceList,  // the system default device (-1), then device n at index n + 1
    Trackbar,    // a horizontal trackbar whose position is the value
};

// The alarm and quiet-hour values are written only while their box is checked;
// the boxes themselves are always written.
enum class ControlGroup : uint8_t { Always, Alarm, Quiet };

// What a control shows when nothing is stored is the catalogue's default.
struct ControlBinding {
    int controlId;
    int upDownId; // Number and Rate: the up-down that drives the box; 0 otherwise
    Setting setting;
    ControlKind kind;
    ControlGroup group;
    int32_t minimum; // Number and Trackbar
    int32_t maximum;
};

// kConfigurationControlCount rows, in the order the settings are written.
extern const ControlBinding kConfigurationControls[];
extern const size_t kConfigurationControlCount;

// The row of a control (by its own id or its up-down's), or null.
const ControlBinding *FindControlBinding(int controlId);

// The rate range the engine reported, as the dialog uses it.  An engine that
// reports no usable range (nothing filled, or the bounds reversed) leaves the
// stored rate as it is: the range then holds only that value, so saving never
// replaces a good rate with 0.
struct RateRange {
    int32_t lowest;
    int32_t highest;
};
RateRange UsableRateRange(int32_t reportedLowest, int32_t reportedHighest, int32_t storedRate);

// A stored number outside its control's range is shown, and saved back, as
// the nearest bound.
int32_t ClampToRange(int32_t value, int32_t minimum, int32_t maximum);

// What a list shows for a stored index: the index when it names an entry,
// else -1 (no selection, saved back as "-1").
int32_t ListSelection(int32_t storedIndex, int32_t entryCount);

// The Audio Device list's entry for a stored device number (-1, the system
// default, is the first entry), or -1 for a number with no device now; the
// device number an entry stands for is its index - 1.
int32_t DeviceListSelection(int32_t storedDevice, int32_t deviceCount);
