// The Set INI Path dialog: where the settings live from the next start on.  It
// edits only the stored location; the running program keeps the one it has.
#include "dialogs.h"

#include "config_location.h"
#include "dialog_position_win.h"
#include "file_browse.h"
#include "resources.h"
#include "settings_store.h"

namespace {

const UINT kProblemText[] = {0, IDS_PATH_NOT_ABSOLUTE, IDS_PATH_NO_FOLDER, IDS_PATH_NOT_WRITABLE};

// A path that cannot hold the settings is refused: the box names it and why,
// and the text stays selected for the user to correct.
bool AcceptPath(HWND dialog, const char *typed) {
    char used[kTextBufferSize];
    const PathProblem problem = CheckConfigFilePath(typed, used);
    if (problem == PathProblem::None) {
        return true;
    }
    ShowMessageBox(dialog, IDS_CAPTION_ERROR, kProblemText[static_cast<int>(problem)],
                   MB_OK | MB_ICONERROR, used);
    HWND field = GetDlgItem(dialog, IDC_INI_PATH);
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE);
    SendMessageA(field, EM_SETSEL, 0, -1);
    return false;
}

// Shows what is stored for the next start; where nothing usable is stored,
// the path in use.
INT_PTR OnInitDialog(HWND dialog) {
    PlaceDialog(dialog);
    SendDlgItemMessageA(dialog, IDC_INI_PATH, EM_LIMITTEXT, kTextBufferSize - 1, 0);
    const ConfigLocation location = ReadConfigLocation();
    const bool stored = location.key == LocationKey::Opened && location.storedText[0] != '\0';
    SetDlgItemTextA(dialog, IDC_INI_PATH, stored ? location.storedText : ConfigFilePath);
    CheckDlgButton(dialog, IDC_USE_REGISTRY,
                   location.useRegistry != 0 ? BST_CHECKED : BST_UNCHECKED);
    if (location.key == LocationKey::Failed) {
        ShowMessageBox(dialog, IDS_CAPTION_ERROR, IDS_REGISTRY_FAILED, MB_OK | MB_ICONERROR);
    }
    return TRUE;
}

void OnOk(HWND dialog) {
    char path[kTextBufferSize]{};
    GetDlgItemTextA(dialog, IDC_INI_PATH, path, sizeof path);
    const bool useRegistry = IsDlgButtonChecked(dialog, IDC_USE_REGISTRY) == BST_CHECKED;
    // Empty means the default file; with the registry chosen no file is used.
    if (path[0] != '\0' && !useRegistry && !AcceptPath(dialog, path)) {
        return;
    }
    if (!StoreConfigLocation(path, NamesEnvironmentVariables(path), useRegistry)) {
        ShowMessageBox(dialog, IDS_CAPTION_ERROR, IDS_REGISTRY_FAILED, MB_OK | MB_ICONERROR);
        EndDialog(dialog, 1);
        return;
    }
    // Opened by "/i" the choice counts in this very run: no restart to ask for.
    if (GetParent(dialog) != nullptr) {
        ShowMessageBox(dialog, IDS_CAPTION_INFORMATION, IDS_RESTART_NEEDED,
                       MB_OK | MB_ICONINFORMATION);
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
