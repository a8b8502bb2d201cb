// The folder browser of LnCopy, as a user acts on it.
#include "DialogScripts.h"
#include "HostText.h"
#include "Input.h"
#include "Options.h"
#include "Refusal.h"
#include "ScriptLines.h"
#include "Screenshot.h"
#include "ShellWindows.h"
#include "PathText.h"
#include <shlobj.h>
#include <stdio.h>
#include <string.h>
#include <wctype.h>

namespace {

enum {
    HistoryBoxId = 0x8110,
    TreeId = 14145,
    ComboEditId = 1001,
    SettleRounds = 3,         // posted work may post more work; this many rounds see it done
    ExplorerWaitMs = 15000,   // Explorer may take a while to open its window
    TreeAttempts = 3,         // selections of a --tree folder before it counts as not taken
    TreeShowMs = 3000,        // for the history box to show the tree's selection
};

bool RecogniseBrowser(HWND, LPARAM tag) { return tag == -57; }

HWND HistoryBox(HWND dialog) { return GetDlgItem(dialog, HistoryBoxId); }
HWND HistoryEdit(HWND dialog) { return GetDlgItem(HistoryBox(dialog), ComboEditId); }

// Waits until the work the browser posted itself (its refreshes) is done: a
// mark posted behind it (the edit field's modified flag) is seen handled,
// a few rounds over, since a refresh can post a further message. The opening
// notice is posted before the browser builds its history box: until the box
// is there, its first refresh has not even been posted yet.
void Settle(HWND dialog) {
    HWND edit = nullptr;
    WaitFor([dialog, &edit] { return (edit = HistoryEdit(dialog)) != nullptr || !IsWindow(dialog); });
    if (edit) WatchEditFields(dialog);
    if (edit) SettlePosted(edit, SettleRounds);
}

// Types the path into the history box's edit field, one character at a time,
// so that the box reports each change and the browser validates it. Once the
// browser has handled the typing the field must read the path: a refused
// character that the browser selected is replaced by the next one typed.
void TypeDestination(ScriptRun& run, HWND dialog, const ScriptAction& action) {
    HWND edit = HistoryEdit(dialog);
    if (!edit) {
        NotDone(run, action, "the browser has no history box");
        return;
    }
    std::string path = WideToCodePage932(action.value);
    FocusControl(dialog, edit);
    TypeText(edit, path, SettleRounds);
    Settle(dialog);
    std::string shown = WindowTextUtf8(edit);
    if (shown != CodePage932ToUtf8(path)) NotDone(run, action, "the field reads " + shown);
}

HTREEITEM TreeItem(HWND tree, UINT which, HTREEITEM from) {
    return reinterpret_cast<HTREEITEM>(SendToWindow(tree, TVM_GETNEXTITEM, which, reinterpret_cast<LPARAM>(from)));
}

std::wstring TreeLabel(HWND tree, HTREEITEM item) {
    wchar_t text[MAX_PATH] = L"";
    TVITEMW data = {};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = text;
    data.cchTextMax = MAX_PATH;
    SendToWindow(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
    return text;
}

bool TreeExpanded(HWND tree, HTREEITEM item) {
    return (SendToWindow(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

void ExpandTreeItem(HWND tree, HTREEITEM item) {
    SendToWindow(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
}

// The drive's item, labelled "... (X:)", one level below a branch of the
// tree's root ("My Computer"): the branches already open are looked at first.
HTREEITEM FindDriveItem(HWND tree, const std::wstring& drive) {
    std::wstring mark = L"(" + drive + L")";
    HTREEITEM root = TreeItem(tree, TVGN_ROOT, nullptr);
    if (!root) return nullptr;
    ExpandTreeItem(tree, root);
    for (int pass = 0; pass < 2; ++pass) {
        for (HTREEITEM branch = TreeItem(tree, TVGN_CHILD, root); branch; branch = TreeItem(tree, TVGN_NEXT, branch)) {
            if (TreeExpanded(tree, branch) != (pass == 0)) continue;
            ExpandTreeItem(tree, branch);
            for (HTREEITEM item = TreeItem(tree, TVGN_CHILD, branch); item; item = TreeItem(tree, TVGN_NEXT, item)) {
                std::wstring label = TreeLabel(tree, item);
                if (label.size() >= mark.size() && lstrcmpiW(label.c_str() + label.size() - mark.size(), mark.c_str()) == 0)
                    return item;
            }
        }
    }
    return nullptr;
}

// Units equal but for case (ordinal, after mapping each unit to upper case).
bool SameButCase(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (towupper(a[i]) != towupper(b[i])) return false;
    return true;
}

// The child of item named name: the one of exactly that name, or, when there
// is none, one whose name differs only in case (*caseBlind is then set).
HTREEITEM ChildNamed(HWND tree, HTREEITEM item, const std::wstring& name, bool* caseBlind) {
    HTREEITEM blind = nullptr;
    for (HTREEITEM child = TreeItem(tree, TVGN_CHILD, item); child; child = TreeItem(tree, TVGN_NEXT, child)) {
        std::wstring label = TreeLabel(tree, child);
        if (SameUnits(label.c_str(), name.c_str())) return child;
        if (!blind && SameButCase(label, name)) blind = child;
    }
    if (blind) *caseBlind = true;
    return blind;
}

// Selects a folder in the tree as a person does: opens the drive's item and
// each folder of the path in turn by its name, then selects the last one, so
// the tree reports the selection to the browser, which shows it in the history
// box. (The shell's own selection by path is not used: Wine's compares the
// file times each item had when it was listed, so it finds nothing once a
// folder on the way, such as /tmp, has changed since.) Each folder is taken
// by its exact name, or by a name differing only in case when there is none.
// Returns the item, or null when the tree has none for the path; *taken is
// the path of the folders taken, *caseBlind tells whether one was by case.
HTREEITEM ClickThroughTree(HWND dialog, const std::wstring& path, std::wstring* taken, bool* caseBlind) {
    HWND tree = GetDlgItem(dialog, TreeId);
    HTREEITEM item = path.size() >= 2 && path[1] == L':' ? FindDriveItem(tree, path.substr(0, 2)) : nullptr;
    *taken = path.substr(0, 2);
    *caseBlind = false;
    for (size_t at = path.find(L'\\'); item && at != std::wstring::npos && at + 1 < path.size();) {
        size_t end = path.find(L'\\', at + 1);
        std::wstring name = path.substr(at + 1, end == std::wstring::npos ? std::wstring::npos : end - at - 1);
        ExpandTreeItem(tree, item);
        item = ChildNamed(tree, item, name, caseBlind);
        if (item) *taken += L"\\" + TreeLabel(tree, item);
        at = end;
    }
    if (!item) return nullptr;
    if (taken->size() == 2) *taken += L"\\";  // a drive's root
    SendToWindow(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
    SendToWindow(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    Settle(dialog);
    return item;
}

// A path as the browser shows a tree selection: in code page 932, with "?"
// for each character that code page does not hold (no best fit).
std::string ShownInBrowser(const std::wstring& path) {
    if (path.empty()) return std::string();
    int units = static_cast<int>(path.size());
    int bytes = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, path.data(), units, nullptr, 0, "?", nullptr);
    std::string out(bytes > 0 ? bytes : 0, '\0');
    if (bytes > 0) WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, path.data(), units, &out[0], bytes, "?", nullptr);
    return out;
}

// True when the history box shows path as the browser shows it (ShownInBrowser):
// the drive letter in either case, the rest unit for unit.
bool BoxShows(HWND edit, const std::wstring& folder) {
    std::string bytes = ShownInBrowser(folder);
    std::wstring path(bytes.size(), L'\0');
    int units = bytes.empty() ? 0 : MultiByteToWideChar(932, 0, bytes.data(), static_cast<int>(bytes.size()), &path[0],
                                                        static_cast<int>(path.size()));
    path.resize(units > 0 ? units : 0);
    wchar_t text[HostBufferSize + 8] = L"";
    DWORD_PTR length = 0;
    SendMessageTimeoutW(edit, WM_GETTEXT, HostBufferSize + 8, reinterpret_cast<LPARAM>(text), SMTO_NORMAL,
                        ScriptWaitMs, &length);
    std::wstring shown(text);
    return shown.size() == path.size() && !shown.empty() && towupper(shown[0]) == towupper(path[0]) &&
           SameUnits(shown.c_str() + 1, path.c_str() + 1);
}

// --tree: the folder selected in the tree ("tree:" says which, and whether
// by its exact name or only by case). A selection that the history box
// does not show after a while is made again, as a person would click once
// more; a folder the tree has not, or one the box never shows, was not taken.
void SelectInTree(ScriptRun& run, HWND dialog, const ScriptAction& action) {
    HWND edit = HistoryEdit(dialog);
    std::wstring taken;
    bool caseBlind = false;
    for (int attempt = 0; attempt < TreeAttempts; ++attempt) {
        if (!ClickThroughTree(dialog, action.value, &taken, &caseBlind)) {
            NotDone(run, action, "the tree has no such folder");
            return;
        }
        if (attempt == 0)
            ReportLine(run, "tree", WideToUtf8(taken) + (caseBlind ? " (no exact name; taken by case)" : " (exact)"));
        if (WaitFor([edit, &taken] { return BoxShows(edit, taken); }, TreeShowMs)) return;
    }
    NotDone(run, action, "the history box reads " + WindowTextUtf8(edit));
}

// A double-click on the tree's selected item.
void DoubleClickTree(ScriptRun& run, HWND dialog, const ScriptAction& action) {
    HWND tree = GetDlgItem(dialog, TreeId);
    // The shell may still be moving the tree to its selection; wait for an
    // item that is selected and shown, scrolled into view as the user would.
    RECT rect = {};
    bool shown = WaitFor([tree, &rect] {
        HTREEITEM item = reinterpret_cast<HTREEITEM>(SendToWindow(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
        if (!item) return false;
        SendToWindow(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
        memcpy(&rect, &item, sizeof item);  // TVM_GETITEMRECT takes the item in the rectangle
        return SendToWindow(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect)) != 0;
    }, 10000);
    if (!shown) {
        NotDone(run, action, "the tree shows no selected item");
        return;
    }
    LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    // The double-click message alone: the tree's button-down handler would
    // wait for real mouse input to tell a click from a drag.
    SendToWindow(tree, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    Settle(dialog);
    // Explorer opens in a process of its own; it is reported and closed.
    WaitFor([&run] { return WatchShellWindows(run) > 0; }, ExplorerWaitMs);
}

// Chooses list entry index as a click in the drop-down list does: the
// selection, then the notification of a choice made. With shift, Shift is
// really held meanwhile.
void PickEntry(ScriptRun& run, HWND dialog, const ScriptAction& action, bool shift) {
    HWND combo = HistoryBox(dialog);
    int index = _wtoi(action.value.c_str());
    if (SendToWindow(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0) == CB_ERR) {
        NotDone(run, action, "the history has no entry " + std::to_string(index));
        return;
    }
    if (shift) {
        run.heldKeys.push_back(VK_SHIFT);
        PressHeldKeys(run);
    }
    SendToWindow(dialog, WM_COMMAND, MAKEWPARAM(HistoryBoxId, CBN_SELENDOK), reinterpret_cast<LPARAM>(combo));
    if (shift) ReleaseHeldKeys(run);
    Settle(dialog);
}

// A double-click on the browser's own background (left of OK, below the boxes).
void DoubleClickBackground(ScriptRun& run, HWND dialog, bool shift) {
    RECT client;
    GetClientRect(dialog, &client);
    LPARAM at = MAKELPARAM(3, client.bottom - 3);
    if (shift) {
        run.heldKeys.push_back(VK_SHIFT);
        PressHeldKeys(run);
    }
    WPARAM keys = MK_LBUTTON | (shift ? MK_SHIFT : 0);
    SendToWindow(dialog, WM_LBUTTONDOWN, keys, at);
    SendToWindow(dialog, WM_LBUTTONUP, keys & ~static_cast<WPARAM>(MK_LBUTTON), at);
    SendToWindow(dialog, WM_LBUTTONDBLCLK, keys, at);
    SendToWindow(dialog, WM_LBUTTONUP, keys & ~static_cast<WPARAM>(MK_LBUTTON), at);
    if (shift) ReleaseHeldKeys(run);
    Settle(dialog);
}

// Clicks each check box of a list of hex ids ("8112,8114"); stops at a box
// the browser does not show (or shows disabled).
void ToggleBoxes(ScriptRun& run, HWND dialog, const ScriptAction& action) {
    for (const wchar_t* at = action.value.c_str(); *at;) {
        wchar_t* end = nullptr;
        unsigned long id = wcstoul(at, &end, 16);
        HWND box = GetDlgItem(dialog, static_cast<int>(id));
        if (!box || !IsWindowVisible(box) || !IsWindowEnabled(box)) {
            char text[48];
            snprintf(text, sizeof text, "the browser shows no %scheck box %lx", box ? "enabled " : "", id);
            NotDone(run, action, text);
            return;
        }
        ClickControl(box);
        at = end;
        if (*at == L',') ++at;
    }
    Settle(dialog);
}

void DropOnBrowser(HWND dialog, const std::wstring& list) {
    DropPaths(dialog, SplitPathList(list));
    Settle(dialog);
}

// True when the check box is wide enough for its glyph and its label in its own font.
bool LabelFits(HWND box) {
    char text[64] = "";
    GetWindowTextA(box, text, sizeof text);
    HDC dc = GetDC(box);
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendToWindow(box, WM_GETFONT, 0, 0));
    HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    SIZE size = {};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    if (previous) SelectObject(dc, previous);
    ReleaseDC(box, dc);
    RECT client;
    GetClientRect(box, &client);
    return GetSystemMetrics(SM_CXMENUCHECK) + size.cx <= client.right;
}

// "overlap: 8112/1 ..." (pairs of controls whose rectangles overlap) and
// "cut: 8111 ..." (check boxes too narrow for their label), or "none".
void ReportBrowserLayout(ScriptRun& run, HWND dialog) {
    static const int ids[] = {TreeId, HistoryBoxId, 0x8111, 0x8112, 0x8114, 0x8118, IDOK, IDCANCEL};
    const size_t count = sizeof ids / sizeof ids[0];
    RECT rects[count];
    bool shown[count];
    std::string overlaps, cut;
    for (size_t i = 0; i < count; ++i) {
        HWND control = GetDlgItem(dialog, ids[i]);
        shown[i] = control && IsWindowVisible(control) && GetWindowRect(control, &rects[i]);
        if (shown[i] && (ids[i] & 0xFFF0) == HistoryBoxId && ids[i] != HistoryBoxId && !LabelFits(control)) {
            char id[16];
            snprintf(id, sizeof id, "%s%x", cut.empty() ? "" : " ", ids[i]);
            cut += id;
        }
        for (size_t j = 0; shown[i] && j < i; ++j) {
            RECT both;
            if (shown[j] && IntersectRect(&both, &rects[i], &rects[j])) {
                char pair[32];
                snprintf(pair, sizeof pair, "%s%x/%x", overlaps.empty() ? "" : " ", ids[j], ids[i]);
                overlaps += pair;
            }
        }
    }
    ReportLine(run, "overlap", overlaps.empty() ? "none" : overlaps);
    ReportLine(run, "cut", cut.empty() ? "none" : cut);
}

// "checks: 8111=0 8112=1 ..." and "labels: 8111[  移 動] ..." for the boxes
// present, the list's entries, and the layout.
void ReportBrowserState(ScriptRun& run, HWND dialog) {
    static const int ids[] = {0x8111, 0x8112, 0x8114, 0x8118};
    std::string line, labels;
    for (int id : ids) {
        HWND box = GetDlgItem(dialog, id);
        if (!box) continue;
        char item[32];
        snprintf(item, sizeof item, "%s%x=%d", line.empty() ? "" : " ", id,
                 static_cast<int>(SendToWindow(box, BM_GETCHECK, 0, 0)));
        line += item;
        snprintf(item, sizeof item, "%s%x[", labels.empty() ? "" : " ", id);
        labels += item + WindowTextUtf8(box) + "]";
    }
    ReportLine(run, "checks", line);
    ReportLine(run, "labels", labels);
    HWND combo = HistoryBox(dialog);
    LRESULT count = SendToWindow(combo, CB_GETCOUNT, 0, 0);
    std::string list;
    for (LRESULT i = 0; i < count; ++i) {
        // Every entry whole, also one longer than a path may be.
        LRESULT length = SendToWindow(combo, CB_GETLBTEXTLEN, i, 0);
        if (length < 0) continue;
        std::string entry(static_cast<size_t>(length) + 1, '\0');
        SendToWindow(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&entry[0]));
        list += (i ? " | " : "") + CodePage932ToUtf8(entry.c_str());
    }
    ReportLine(run, "history", list);
    ReportLine(run, "destination", WindowTextUtf8(HistoryEdit(dialog)));
    ReportBrowserLayout(run, dialog);
}

// With --limit, an OK that would start the shell's copy (new and update both
// off) is not given: the shell's copy has no window the limit could cancel.
// The browser is cancelled instead, before anything is copied (not done).
bool RefuseUnlimitedCopy(ScriptRun& run, HWND dialog) {
    if (run.limitSeconds <= 0) return false;
    HWND boxNew = GetDlgItem(dialog, 0x8112), boxUpdate = GetDlgItem(dialog, 0x8114);
    bool engine = (boxNew && SendToWindow(boxNew, BM_GETCHECK, 0, 0) == BST_CHECKED) ||
                  (boxUpdate && SendToWindow(boxUpdate, BM_GETCHECK, 0, 0) == BST_CHECKED);
    if (engine) return false;
    NotDone(run, ScriptAction{L"--limit", std::to_wstring(run.limitSeconds)},
            "the shell's copy (new and update off) has no window to cancel; the browser was cancelled");
    ClickControl(GetDlgItem(dialog, IDCANCEL));
    return true;
}

// OK by a right-click, as the user would do on an enabled OK button; a
// disabled one is refused like a click.
bool RightClickOk(ScriptRun& run, HWND dialog) {
    HWND ok = GetDlgItem(dialog, IDOK);
    ReportBrowserState(run, dialog);
    if (RefuseUnlimitedCopy(run, dialog)) return true;
    if (!ok || !IsWindowEnabled(ok)) {
        PressOkOrReportRefusal(run, dialog);
        return true;
    }
    RightClickControl(ok);
    WaitFor([dialog] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 5000);
    return true;
}

bool PerformBrowser(ScriptRun& run, HWND dialog, const ScriptAction& action) {
    Settle(dialog);  // the browser's own first refresh comes before the user's first act
    const std::wstring& name = action.name;
    if (name == L"--cancel") {
        ClickControl(GetDlgItem(dialog, IDCANCEL));
        return true;
    }
    if (name == L"--rclick-ok") return RightClickOk(run, dialog);
    if (name == L"--dest") TypeDestination(run, dialog, action);
    else if (name == L"--tree") SelectInTree(run, dialog, action);
    else if (name == L"--tree-dblclick") DoubleClickTree(run, dialog, action);
    else if (name == L"--pick") PickEntry(run, dialog, action, false);
    else if (name == L"--shift-pick") PickEntry(run, dialog, action, true);
    else if (name == L"--sort") DoubleClickBackground(run, dialog, false);
    else if (name == L"--sort-desc") DoubleClickBackground(run, dialog, true);
    else if (name == L"--toggle") ToggleBoxes(run, dialog, action);
    else if (name == L"--drop") DropOnBrowser(dialog, action.value);
    return false;
}

void FinishBrowser(ScriptRun& run, HWND dialog) {
    Settle(dialog);
    ReportBrowserState(run, dialog);
    if (!RefuseUnlimitedCopy(run, dialog)) PressOkOrReportRefusal(run, dialog);
}

void CancelBrowser(ScriptRun&, HWND dialog) { ClickControl(GetDlgItem(dialog, IDCANCEL)); }

}  // namespace

const DialogScript browserScript = {"browser", RecogniseBrowser, InBrowser, PerformBrowser, FinishBrowser,
                                    CancelBrowser};
