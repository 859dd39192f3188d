// SPDX-License-Identifier: GPL-3.0-or-later
#include "history_dialog.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "app/history_command.h"
#include "resource_ids.h"
#include "text/translation.h"
#include "wide_text.h"

namespace quillet::win {
namespace {

struct HistoryContext {
    AppState& state;
    UserInterface& ui;
    const std::function<void(const DeleteResult&)>& restored;
    std::vector<FolderVersion> versions;
};

void fillVersions(HWND dialog, HistoryContext& context) {
    const HWND list = GetDlgItem(dialog, IDC_HISTORY_LIST);
    ListView_DeleteAllItems(list);
    context.versions = folderHistory(context.state);
    for (std::size_t row = 0; row < context.versions.size(); ++row) {
        const auto cells = historyCells(context.versions[row]);
        for (std::size_t column = 0; column < cells.size(); ++column) {
            std::wstring text = toWide(cells[column]);
            if (column == 0) {
                LVITEMW item{};
                item.mask = LVIF_TEXT;
                item.iItem = static_cast<int>(row);
                item.pszText = text.data();
                ListView_InsertItem(list, &item);
            } else {
                ListView_SetItemText(list, static_cast<int>(row), static_cast<int>(column),
                                     text.data());
            }
        }
    }
    for (std::size_t column = 0; column < kHistoryHeadings.size(); ++column) {
        ListView_SetColumnWidth(list, static_cast<int>(column), LVSCW_AUTOSIZE_USEHEADER);
    }
    EnableWindow(GetDlgItem(dialog, IDC_RESTORE), FALSE);
}

void restoreChosen(HWND dialog, HistoryContext& context) {
    const int chosen =
        ListView_GetNextItem(GetDlgItem(dialog, IDC_HISTORY_LIST), -1, LVNI_SELECTED);
    if (chosen < 0 || static_cast<std::size_t>(chosen) >= context.versions.size()) {
        return;
    }
    const std::string id = context.versions[static_cast<std::size_t>(chosen)].version.id;
    const DeleteResult result = onRestore(context.state, context.ui, id);
    if (context.restored) {
        context.restored(result);
    }
    fillVersions(dialog, context);
}

INT_PTR CALLBACK historyProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* context = reinterpret_cast<HistoryContext*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
        case WM_INITDIALOG: {
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            context = reinterpret_cast<HistoryContext*>(lParam);
            const HWND list = GetDlgItem(dialog, IDC_HISTORY_LIST);
            ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
            for (std::size_t column = 0; column < kHistoryHeadings.size(); ++column) {
                std::wstring heading = toWide(translate(kHistoryHeadings[column]));
                LVCOLUMNW format{};
                format.mask = LVCF_TEXT | LVCF_WIDTH;
                format.pszText = heading.data();
                format.cx = 80;
                ListView_InsertColumn(list, static_cast<int>(column), &format);
            }
            fillVersions(dialog, *context);
            return TRUE;
        }
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->idFrom == IDC_HISTORY_LIST && header->code == LVN_ITEMCHANGED) {
                const int chosen = ListView_GetNextItem(header->hwndFrom, -1, LVNI_SELECTED);
                EnableWindow(GetDlgItem(dialog, IDC_RESTORE), chosen >= 0);
            }
            return FALSE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDC_RESTORE && context != nullptr) {
                restoreChosen(dialog, *context);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) {
                EndDialog(dialog, LOWORD(wParam));
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

struct Question {
    std::wstring text;
    std::wstring caption;
    bool keep;
};

INT_PTR CALLBACK questionProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            const auto* question = reinterpret_cast<const Question*>(lParam);
            SetWindowTextW(dialog, question->caption.c_str());
            SetDlgItemTextW(dialog, IDC_QUESTION_TEXT, question->text.c_str());
            SetDlgItemTextW(dialog, IDC_KEEP_HISTORY,
                            toWide(translate(kKeepInHistoryText)).c_str());
            CheckDlgButton(dialog, IDC_KEEP_HISTORY, question->keep ? BST_CHECKED : BST_UNCHECKED);
            SendDlgItemMessageW(dialog, IDC_QUESTION_ICON, STM_SETICON,
                                reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_EXCLAMATION)), 0);
            MessageBeep(MB_ICONEXCLAMATION);
            return TRUE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                auto* question = reinterpret_cast<Question*>(GetWindowLongPtrW(dialog, DWLP_USER));
                question->keep = IsDlgButtonChecked(dialog, IDC_KEEP_HISTORY) == BST_CHECKED;
                EndDialog(dialog, LOWORD(wParam));
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

void showHistoryDialog(HINSTANCE instance, HWND owner, AppState& state, UserInterface& ui,
                       const std::function<void(const DeleteResult&)>& restored) {
    HistoryContext context{state, ui, restored, {}};
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_HISTORY), owner, historyProc,
                    reinterpret_cast<LPARAM>(&context));
}

Answer askWithHistoryBox(HWND owner, std::string_view text, std::string_view caption, bool& keep) {
    Question question{toWide(text), toWide(caption), keep};
    const INT_PTR pressed =
        DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_QUESTION), owner,
                        questionProc, reinterpret_cast<LPARAM>(&question));
    if (pressed != IDOK && pressed != IDCANCEL) {
        // No dialog (the template is missing): the question alone.
        return MessageBoxW(owner, question.text.c_str(), question.caption.c_str(),
                           MB_OKCANCEL | MB_ICONEXCLAMATION) == IDCANCEL
                   ? Answer::Cancel
                   : Answer::Ok;
    }
    keep = question.keep;
    return pressed == IDOK ? Answer::Ok : Answer::Cancel;
}

}  // namespace quillet::win
