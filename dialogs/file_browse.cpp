#include "file_browse.h"

#include <commdlg.h>
#include <dlgs.h>
#include <mmsystem.h>

#include "resources.h"
#include "settings_catalogue.h"

namespace {

// Handles nothing: the hook is there so that the older save dialog and the
// Explorer open dialog behave the same with and without one.
UINT_PTR CALLBACK PlainHook(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

// Turns the chooser's Help button into Test, which plays the selected file.
UINT_PTR CALLBACK SoundTestHook(HWND hook, UINT message, WPARAM, LPARAM lParam) {
    HWND chooser = GetParent(hook);
    if (message == WM_INITDIALOG) {
        char label[kTextBufferSize];
        LoadText(IDS_TEST_BUTTON, label);
        SetDlgItemTextA(chooser, pshHelp, label);
        return 1;
    }
    if (message == WM_NOTIFY && reinterpret_cast<NMHDR *>(lParam)->code == CDN_HELP) {
        char path[kTextBufferSize]{};
        if (SendMessageA(chooser, CDM_GETFILEPATH, sizeof path, reinterpret_cast<LPARAM>(path)) >
            0) {
            // Asynchronous, so the chooser stays usable; a new press replaces it.
            PlaySoundA(path, nullptr, SND_ASYNC | SND_FILENAME | SND_NODEFAULT);
        }
        return 1;
    }
    return 0;
}

struct ChooserKind {
    UINT filterId;
    UINT titleId;
    const char *extension;
    DWORD flags;
    LPOFNHOOKPROC hook;
    bool save;
};

ChooserKind KindOf(Browse kind) {
    const DWORD openFlags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                            OFN_FILEMUSTEXIST | OFN_ENABLEHOOK;
    switch (kind) {
    case Browse::Dictionary:
        return {IDS_FILTER_DICTIONARY, IDS_TITLE_DICTIONARY, "DIC", openFlags, PlainHook, false};
    case Browse::AlarmSound:
        return {IDS_FILTER_WAV,           IDS_TITLE_WAV, "WAV",
                openFlags | OFN_SHOWHELP, SoundTestHook, false};
    case Browse::IniFile:
        break;
    }
    // Nothing is created here: the chooser only names the file.
    return {IDS_FILTER_INI,
            IDS_TITLE_INI,
            "INI",
            OFN_LONGNAMES | OFN_ENABLEHOOK | OFN_NOCHANGEDIR | OFN_HIDEREADONLY |
                OFN_OVERWRITEPROMPT,
            PlainHook,
            true};
}

} // namespace

void BrowseIntoField(HWND dialog, int field, Browse kind) {
    const ChooserKind chooser = KindOf(kind);
    // The filter's pieces are separated by zeros in the string; the cleared
    // buffer supplies the two zeros that end the list.
    char filter[kTextBufferSize + 2]{};
    char title[kTextBufferSize];
    char file[kTextBufferSize]{};
    LoadText(chooser.filterId, filter, kTextBufferSize);
    LoadText(chooser.titleId, title);
    if (!chooser.save) {
        GetDlgItemTextA(dialog, field, file, sizeof file);
    }

    OPENFILENAMEA request{};
    request.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    request.hwndOwner = dialog;
    request.lpstrFilter = filter;
    request.nFilterIndex = 1;
    request.lpstrFile = file;
    request.nMaxFile = sizeof file;
    request.lpstrTitle = title;
    request.lpstrDefExt = chooser.extension;
    request.Flags = chooser.flags;
    request.lpfnHook = chooser.hook;

    BOOL chosen = chooser.save ? GetSaveFileNameA(&request) : GetOpenFileNameA(&request);
    if (chosen) {
        SetDlgItemTextA(dialog, field, file);
    }
    if (kind == Browse::AlarmSound) {
        PlaySoundA(nullptr, nullptr, 0); // closing the chooser ends a test sound
    }
}
