#include "platform/comdlg/commdlg.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/base/lasterror.h"
#include "platform/base/wtext.h"
#include "platform/kernel/codepages.h"
#include "platform/kernel/drives.h"
#include "platform/kernel/files.h"
#include "platform/kernel/paths.h"
#include "platform/user/controls.h"
#include "platform/user/dialog.h"
#include "platform/user/message.h"
#include "platform/user/messagebox.h"
#include "platform/user/session.h"

namespace yolt::comdlg {
namespace {

DWORD& LastDialogError()
{
    static DWORD error = 0;
    return error;
}

std::vector<HWND>& OpenDialogs()
{
    static std::vector<HWND> dialogs;
    return dialogs;
}

std::u16string Widen(LPCSTR text)
{
    if (!text || !*text)
        return std::u16string();
    int size = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::u16string wide(size_t(std::max(size, 1)), u'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), size);
    wide.resize(wide.size() - 1);
    return wide;
}

std::string Narrow(const std::u16string& text)
{
    if (text.empty())
        return std::string();
    int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(size_t(std::max(size, 0)), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), int(text.size()), narrow.data(), size, nullptr, nullptr);
    return narrow;
}

// Wildcard match of a file name against one pattern ('*' any run, '?' one character), without
// regard to case.
bool Matches(std::u16string_view name, std::u16string_view pattern)
{
    size_t n = 0, p = 0, star = std::u16string_view::npos, mark = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == u'?' || yolt::FoldUpper(pattern[p]) == yolt::FoldUpper(name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            star = p++;
            mark = n;
        } else if (star != std::u16string_view::npos) {
            p = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    // "*.*" also takes names without a dot, as the system's listings do.
    if (p + 2 == pattern.size() && pattern.substr(p) == u".*")
        return true;
    return p == pattern.size();
}

std::vector<std::u16string> SplitPatterns(const std::u16string& patterns)
{
    std::vector<std::u16string> list;
    size_t start = 0;
    while (start <= patterns.size()) {
        size_t end = patterns.find(u';', start);
        if (end == std::u16string::npos)
            end = patterns.size();
        std::u16string one = patterns.substr(start, end - start);
        while (!one.empty() && one.front() == u' ')
            one.erase(one.begin());
        while (!one.empty() && one.back() == u' ')
            one.pop_back();
        if (!one.empty())
            list.push_back(one);
        start = end + 1;
    }
    return list;
}

bool HasWildcards(const std::u16string& text)
{
    return text.find_first_of(u"*?") != std::u16string::npos;
}

std::u16string Join(const std::u16string& folder, const std::u16string& name)
{
    if (!folder.empty() && folder.back() == u'\\')
        return folder + name;
    return folder + u"\\" + name;
}

// The full, normalised form of a Windows path ("E:\a\..\b" is "E:\b"), or "" when it is not one.
std::u16string FullPath(const std::u16string& path)
{
    DWORD error = 0;
    auto parsed = yolt::ParseWindowsPath(path, error);
    return parsed ? parsed->Text() : std::u16string();
}

bool IsFolder(const std::u16string& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFile(const std::u16string& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::u16string ParentOf(const std::u16string& folder)
{
    size_t slash = folder.find_last_of(u'\\');
    if (slash == std::u16string::npos || folder.size() <= 3)
        return folder;
    return slash <= 2 ? folder.substr(0, 3) : folder.substr(0, slash);
}

struct Filter {
    std::u16string description;
    std::u16string patterns;
};

// One run of the dialog: the caller's structure and what the dialog shows.
struct DialogState {
    OPENFILENAMEA* ofn = nullptr;
    std::vector<Filter> filters;
    std::u16string patterns;  // the patterns listed now
    std::u16string folder;    // the folder shown, in full form
    std::vector<std::u16string> lookIn;  // the path of each "Look in" entry
    struct Item {
        std::u16string name;
        bool folder;
    };
    std::vector<Item> items;
};

std::vector<Filter> ParseFilters(LPCSTR filter)
{
    std::vector<Filter> filters;
    if (!filter)
        return filters;
    while (*filter) {
        Filter f;
        f.description = Widen(filter);
        filter += std::strlen(filter) + 1;
        if (!*filter) {
            f.patterns = u"*.*";
            filters.push_back(f);
            break;
        }
        f.patterns = Widen(filter);
        filter += std::strlen(filter) + 1;
        filters.push_back(f);
    }
    return filters;
}

DialogState* StateOf(HWND dialog)
{
    return reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

void FillLookIn(HWND dialog, DialogState& state)
{
    HWND combo = GetDlgItem(dialog, IdLookIn);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    state.lookIn.clear();
    WCHAR drives[512] = {};
    DWORD length = GetLogicalDriveStringsW(511, drives);
    int selected = -1;
    for (const WCHAR* root = drives; root < drives + length && *root; root += std::char_traits<char16_t>::length(root) + 1) {
        std::u16string drive(root);
        state.lookIn.push_back(drive);
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(drive.c_str()));
        if (yolt::FoldUpper(drive[0]) != yolt::FoldUpper(state.folder[0]))
            continue;
        // The folders from the drive down to the one shown, indented by depth.
        std::vector<std::u16string> chain;
        for (std::u16string f = state.folder; f.size() > 3; f = ParentOf(f))
            chain.insert(chain.begin(), f);
        selected = int(state.lookIn.size()) - 1;
        int depth = 1;
        for (const auto& f : chain) {
            state.lookIn.push_back(f);
            std::u16string label = std::u16string(size_t(depth++) * 2, u' ') + f.substr(f.find_last_of(u'\\') + 1);
            SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label.c_str()));
            selected = int(state.lookIn.size()) - 1;
        }
    }
    SendMessageW(combo, CB_SETCURSEL, WPARAM(selected), 0);
}

void FillItems(HWND dialog, DialogState& state)
{
    HWND combo = GetDlgItem(dialog, IdItems);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    state.items.clear();
    std::vector<DialogState::Item> folders, files;
    const auto patterns = SplitPatterns(state.patterns);
    WIN32_FIND_DATAW found{};
    HANDLE find = FindFirstFileW(Join(state.folder, u"*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::u16string name(found.cFileName);
            if (name == u"." || name == u"..")
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                folders.push_back({name, true});
                continue;
            }
            if (std::any_of(patterns.begin(), patterns.end(), [&](const auto& p) { return Matches(name, p); }))
                files.push_back({name, false});
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    auto byName = [](const DialogState::Item& a, const DialogState::Item& b) {
        return _wcsicmp(a.name.c_str(), b.name.c_str()) < 0;
    };
    std::sort(folders.begin(), folders.end(), byName);
    std::sort(files.begin(), files.end(), byName);
    if (state.folder.size() > 3)
        state.items.push_back({u"..", true});
    state.items.insert(state.items.end(), folders.begin(), folders.end());
    state.items.insert(state.items.end(), files.begin(), files.end());
    for (const auto& item : state.items) {
        std::u16string label = item.folder ? u"[" + item.name + u"]" : item.name;
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label.c_str()));
    }
}

void ShowFolder(HWND dialog, DialogState& state, const std::u16string& folder)
{
    state.folder = folder;
    FillLookIn(dialog, state);
    FillItems(dialog, state);
}

std::u16string ControlText(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    int length = GetWindowTextLengthW(control);
    std::u16string text(size_t(length) + 1, u'\0');
    GetWindowTextW(control, text.data(), length + 1);
    text.resize(size_t(length));
    return text;
}

std::u16string Caption(const DialogState& state)
{
    return state.ofn->lpstrTitle ? Widen(state.ofn->lpstrTitle) : u"Open";
}

void Warn(HWND dialog, const DialogState& state, const std::u16string& text)
{
    MessageBoxW(dialog, text.c_str(), Caption(state).c_str(), MB_ICONWARNING);
}

// Hands the chosen file back to the caller; false (with the error set) when it does not fit.
bool Deliver(DialogState& state, const std::u16string& path, bool readOnly)
{
    OPENFILENAMEA& ofn = *state.ofn;
    std::string narrow = Narrow(path);
    if (!ofn.lpstrFile || narrow.size() + 1 > ofn.nMaxFile) {
        if (ofn.lpstrFile && ofn.nMaxFile >= 2) {
            // The size needed, as the caller may use it to retry.
            WORD needed = WORD(std::min<size_t>(narrow.size() + 1, 0xFFFF));
            std::memcpy(ofn.lpstrFile, &needed, sizeof needed);
        }
        LastDialogError() = FNERR_BUFFERTOOSMALL;
        return false;
    }
    std::memcpy(ofn.lpstrFile, narrow.c_str(), narrow.size() + 1);
    size_t nameAt = narrow.find_last_of('\\') + 1;
    ofn.nFileOffset = WORD(nameAt);
    size_t dot = narrow.find_last_of('.');
    ofn.nFileExtension = WORD(dot != std::string::npos && dot > nameAt ? dot + 1 : 0);
    if (ofn.lpstrFileTitle && ofn.nMaxFileTitle) {
        std::string title = narrow.substr(nameAt);
        size_t n = std::min<size_t>(title.size(), ofn.nMaxFileTitle - 1);
        std::memcpy(ofn.lpstrFileTitle, title.c_str(), n);
        ofn.lpstrFileTitle[n] = '\0';
    }
    if (!(ofn.Flags & OFN_HIDEREADONLY)) {
        if (readOnly)
            ofn.Flags |= OFN_READONLY;
        else
            ofn.Flags &= ~DWORD(OFN_READONLY);
    }
    return true;
}

// The Open button: a folder is entered, a pattern becomes the listing's filter, a file ends the
// dialog when it passes the flags' tests.
void OnOpen(HWND dialog, DialogState& state)
{
    std::u16string typed = ControlText(dialog, IdFileName);
    while (!typed.empty() && typed.back() == u' ')
        typed.pop_back();
    while (!typed.empty() && typed.front() == u' ')
        typed.erase(typed.begin());
    if (typed.size() >= 2 && typed.front() == u'"' && typed.back() == u'"')
        typed = typed.substr(1, typed.size() - 2);
    if (typed.empty())
        return;
    bool absolute = (typed.size() >= 2 && typed[1] == u':') || typed[0] == u'\\';
    std::u16string full = FullPath(absolute ? typed : Join(state.folder, typed));
    if (full.empty()) {
        Warn(dialog, state, typed + u"\nThe file name is not valid.");
        return;
    }
    if (HasWildcards(typed)) {
        size_t slash = full.find_last_of(u'\\');
        std::u16string folder = slash <= 2 ? full.substr(0, 3) : full.substr(0, slash);
        state.patterns = full.substr(slash + 1);
        SetDlgItemTextW(dialog, IdFileName, state.patterns.c_str());
        ShowFolder(dialog, state, IsFolder(folder) ? folder : state.folder);
        return;
    }
    if (IsFolder(full)) {
        SetDlgItemTextW(dialog, IdFileName, u"");
        ShowFolder(dialog, state, full);
        return;
    }
    const DWORD flags = state.ofn->Flags;
    size_t nameAt = full.find_last_of(u'\\') + 1;
    bool hasExtension = full.find(u'.', nameAt) != std::u16string::npos;
    std::u16string defaultExtension = Widen(state.ofn->lpstrDefExt);
    if (!hasExtension && !defaultExtension.empty() && !IsFile(full))
        full += u"." + defaultExtension;
    std::u16string folder = nameAt <= 3 ? full.substr(0, 3) : full.substr(0, nameAt - 1);
    if ((flags & (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST)) && !IsFolder(folder)) {
        Warn(dialog, state, full + u"\nPath does not exist.\nCheck the path and try again.");
        return;
    }
    if ((flags & OFN_FILEMUSTEXIST) && !IsFile(full)) {
        Warn(dialog, state, full.substr(nameAt) + u"\nFile not found.\nCheck the file name and try again.");
        return;
    }
    bool readOnly = IsDlgButtonChecked(dialog, IdReadOnly) == BST_CHECKED;
    EndDialog(dialog, Deliver(state, full, readOnly) ? IDOK : IDABORT);
}

void OnSelectionChange(HWND dialog, DialogState& state, int id)
{
    int selected = int(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0));
    if (selected < 0)
        return;
    if (id == IdLookIn && size_t(selected) < state.lookIn.size()) {
        ShowFolder(dialog, state, state.lookIn[size_t(selected)]);
        return;
    }
    if (id == IdFileType && size_t(selected) < state.filters.size()) {
        state.patterns = state.filters[size_t(selected)].patterns;
        state.ofn->nFilterIndex = DWORD(selected + 1);
        FillItems(dialog, state);
        return;
    }
    if (id == IdItems && size_t(selected) < state.items.size())
        SetDlgItemTextW(dialog, IdFileName, state.items[size_t(selected)].name.c_str());
}

std::u16string InitialFolder(const OPENFILENAMEA& ofn, std::u16string& fileName)
{
    std::u16string initial = ofn.lpstrInitialDir ? FullPath(Widen(ofn.lpstrInitialDir)) : std::u16string();
    if (!initial.empty() && IsFolder(initial))
        return initial;
    size_t slash = fileName.find_last_of(u'\\');
    if (slash != std::u16string::npos) {
        std::u16string folder = FullPath(fileName.substr(0, slash + 1));
        if (!folder.empty() && IsFolder(folder)) {
            fileName = fileName.substr(slash + 1);
            return folder;
        }
    }
    std::u16string current = FullPath(yolt::CurrentWindowsFolder());
    return current.empty() ? u"C:\\" : current;
}

INT_PTR FileDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* state = reinterpret_cast<DialogState*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        OpenDialogs().push_back(dialog);
        const OPENFILENAMEA& ofn = *state->ofn;
        std::u16string fileName = ofn.lpstrFile ? Widen(ofn.lpstrFile) : std::u16string();
        state->folder = InitialFolder(ofn, fileName);
        state->filters = ParseFilters(ofn.lpstrFilter);
        size_t index = ofn.nFilterIndex ? ofn.nFilterIndex - 1 : 0;
        if (index >= state->filters.size())
            index = 0;
        for (const auto& f : state->filters)
            SendDlgItemMessageA(dialog, IdFileType, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Narrow(f.description).c_str()));
        SendDlgItemMessageA(dialog, IdFileType, CB_SETCURSEL, index, 0);
        state->patterns = state->filters.empty() ? u"*.*" : state->filters[index].patterns;
        if (HasWildcards(fileName))
            state->patterns = fileName;
        SetDlgItemTextW(dialog, IdFileName, fileName.c_str());
        if (ofn.Flags & OFN_HIDEREADONLY)
            ShowWindow(GetDlgItem(dialog, IdReadOnly), SW_HIDE);
        else
            CheckDlgButton(dialog, IdReadOnly, (ofn.Flags & OFN_READONLY) ? BST_CHECKED : BST_UNCHECKED);
        ShowFolder(dialog, *state, state->folder);
        SetWindowTextW(dialog, Caption(*state).c_str());
        SetFocus(GetDlgItem(dialog, IdFileName));
        return FALSE;
    }
    DialogState* state = StateOf(dialog);
    if (!state)
        return FALSE;
    if (message == WM_DESTROY) {
        auto& open = OpenDialogs();
        open.erase(std::remove(open.begin(), open.end(), dialog), open.end());
        return FALSE;
    }
    if (message != WM_COMMAND)
        return FALSE;
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (id == IDOK) {
        OnOpen(dialog, *state);
        return TRUE;
    }
    if (id == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    if (code == CBN_SELCHANGE)
        OnSelectionChange(dialog, *state, id);
    return FALSE;
}

yolt::user::DialogTemplate FileDialogTemplate()
{
    using yolt::user::DialogItemTemplate;
    yolt::user::DialogTemplate t;
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    t.cx = 280;
    t.cy = 132;
    t.caption = u"Open";
    t.fontName = u"MS Sans Serif";
    t.pointSize = 8;
    auto item = [&](const char16_t* cls, const char16_t* text, int id, DWORD style, short x, short y, short cx, short cy) {
        DialogItemTemplate i;
        i.className = cls;
        i.text = text;
        i.id = id;
        i.style = WS_CHILD | WS_VISIBLE | style;
        i.x = x;
        i.y = y;
        i.cx = cx;
        i.cy = cy;
        t.items.push_back(i);
    };
    item(u"Static", u"Look &in:", -1, SS_LEFT, 7, 8, 50, 8);
    item(u"ComboBox", u"", IdLookIn, CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL, 60, 6, 213, 120);
    item(u"Static", u"F&olders and files:", -1, SS_LEFT, 7, 28, 60, 8);
    item(u"ComboBox", u"", IdItems, CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL, 70, 26, 203, 120);
    item(u"Static", u"File &name:", -1, SS_LEFT, 7, 58, 60, 8);
    item(u"Edit", u"", IdFileName, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 70, 56, 140, 12);
    item(u"Static", u"Files of &type:", -1, SS_LEFT, 7, 78, 60, 8);
    item(u"ComboBox", u"", IdFileType, CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL, 70, 76, 140, 60);
    item(u"Button", u"Open as &read-only", IdReadOnly, BS_AUTOCHECKBOX | WS_TABSTOP, 70, 96, 100, 10);
    item(u"Button", u"&Open", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 218, 55, 55, 14);
    item(u"Button", u"Cancel", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 218, 75, 55, 14);
    return t;
}

}  // namespace

HWND OpenFileDialog()
{
    return OpenDialogs().empty() ? nullptr : OpenDialogs().back();
}

bool ChooseFile(const std::u16string& path)
{
    HWND dialog = OpenFileDialog();
    if (!dialog)
        return false;
    SetDlgItemTextW(dialog, IdFileName, path.c_str());
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    return true;
}

bool CancelFileDialog()
{
    HWND dialog = OpenFileDialog();
    if (!dialog)
        return false;
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
        reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
    return true;
}

}  // namespace yolt::comdlg

using namespace yolt::comdlg;

BOOL GetOpenFileNameA(LPOPENFILENAMEA ofn)
{
    LastDialogError() = 0;
    if (!ofn || ofn->lStructSize < sizeof(OPENFILENAMEA)) {
        LastDialogError() = CDERR_STRUCTSIZE;
        return FALSE;
    }
    DialogState state;
    state.ofn = ofn;
    HWND owner = ofn->hwndOwner && IsWindow(ofn->hwndOwner) ? ofn->hwndOwner : nullptr;
    INT_PTR result = yolt::user::DialogBoxFromTemplate(nullptr, FileDialogTemplate(), owner, FileDialogProc,
        reinterpret_cast<LPARAM>(&state));
    if (result == -1) {
        LastDialogError() = CDERR_INITIALIZATION;
        return FALSE;
    }
    return result == IDOK;
}

DWORD CommDlgExtendedError()
{
    return LastDialogError();
}
