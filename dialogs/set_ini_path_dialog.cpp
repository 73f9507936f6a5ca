// The Set INI Path dialog: where the settings live from the next start on.  It
// edits only the stored location; the running program keeps the one it has.
#include "dialogs.h"

#include <cstring>

#include "config_location.h"
#include "file_browse.h"
#include "place_dialog.h"
#include "resources.h"
#include "settings_store.h"

namespace {

void ShowBox(HWND dialog, UINT textId, UINT captionId, UINT icon) {
    char text[kTextBufferSize];
    char caption[kTextBufferSize];
    LoadText(textId, text);
    LoadText(captionId, caption);
    MessageBoxA(dialog, text, caption, MB_OK | icon);
}

// Whether the path was stored as an expandable string; kept so that OK does
// not freeze "%APPDATA%\..." into the folder it names today.
void RememberExpandable(HWND dialog, bool expandable) {
    SetWindowLongPtrA(dialog, DWLP_USER, expandable ? 1 : 0);
}

bool WasExpandable(HWND dialog) {
    return GetWindowLongPtrA(dialog, DWLP_USER) != 0;
}

// Shows what is stored for the next start; where nothing usable is stored,
// the path in use.
INT_PTR OnInitDialog(HWND dialog) {
    PlaceDialog(dialog);
    SendDlgItemMessageA(dialog, IDC_INI_PATH, EM_LIMITTEXT, kTextBufferSize - 1, 0);
    const ConfigLocation location = ReadConfigLocation();
    const bool stored = location.key == LocationKey::Opened && location.storedText[0] != '\0';
    SetDlgItemTextA(dialog, IDC_INI_PATH, stored ? location.storedText : ConfigFilePath);
    RememberExpandable(dialog, stored && location.expandable);
    CheckDlgButton(dialog, IDC_USE_REGISTRY,
                   location.useRegistry != 0 ? BST_CHECKED : BST_UNCHECKED);
    if (location.key == LocationKey::Failed) {
        ShowBox(dialog, IDS_REGISTRY_FAILED, IDS_CAPTION_ERROR, MB_ICONERROR);
    }
    return TRUE;
}

void OnOk(HWND dialog) {
    char path[kTextBufferSize];
    std::memset(path, 0, sizeof path);
    GetDlgItemTextA(dialog, IDC_INI_PATH, path, sizeof path);
    if (!StoreConfigLocation(path, WasExpandable(dialog),
                             IsDlgButtonChecked(dialog, IDC_USE_REGISTRY) == BST_CHECKED)) {
        ShowBox(dialog, IDS_REGISTRY_FAILED, IDS_CAPTION_ERROR, MB_ICONERROR);
        EndDialog(dialog, 1);
        return;
    }
    // Opened by "/i" the choice counts in this very run: no restart to ask for.
    if (GetParent(dialog) != nullptr) {
        ShowBox(dialog, IDS_RESTART_NEEDED, IDS_CAPTION_INFORMATION, MB_ICONINFORMATION);
    }
    EndDialog(dialog, 1);
}

INT_PTR OnCommand(HWND dialog, int id) {
    switch (id) {
    case IDOK:
        OnOk(dialog);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, 0);
        return TRUE;
    case IDC_BROWSE_INI:
        BrowseIntoField(dialog, IDC_INI_PATH, Browse::IniFile);
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK SetIniPathDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_COMMAND:
        return OnCommand(dialog, LOWORD(wParam));
    default:
        return FALSE;
    }
}

} // namespace

INT_PTR ShowSetIniPathDialog(HWND owner) {
    return DialogBoxParamA(InstanceHandle, MAKEINTRESOURCEA(IDD_SETINIPATH), owner,
                           SetIniPathDialogProc, 0);
}
