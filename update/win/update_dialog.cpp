#include "update/win/update_dialog.h"

#include <commctrl.h>

#include "platform/win/wide_text.h"
#include "update/update_texts.h"
#include "update/win/resource.h"

namespace update {

namespace {

// Mail from the workers waits in the mailbox.
constexpr UINT kMailArrived = WM_APP + 1;
constexpr UINT kTimerPeriodMs = 1000;
constexpr int kVersionColumnWidth = 151;
constexpr int kStatusColumnWidth = 152;
// The program's own name, the caption of the boxes that do not carry "消息管理器".
constexpr wchar_t kApplicationName[] = L"UpDate";

std::wstring Wide(const std::string& gbk) { return platform::GbkToWide(gbk); }

UINT IconStyle(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Exclamation:
        return MB_ICONEXCLAMATION;
    case MessageIcon::Information:
        return MB_ICONINFORMATION;
    case MessageIcon::None:
        break;
    }
    return 0;
}

}  // namespace

CUpDateDlg::CUpDateDlg(std::string commandLine)
    : CDialogWindow(GetModuleHandleW(nullptr), IDR_MAINFRAME),
      commandLine_(std::move(commandLine)),
      mailbox_(*this, [this] { PostMessageW(window_, kMailArrived, 0, 0); }),
      reporter_(mailbox_),
      engine_(DefaultUpdateServices(), reporter_),
      work_(engine_),
      stages_(engine_.Flags(), work_, launcher_, mailbox_) {}

CUpDateDlg::~CUpDateDlg() {
    stages_.Finish();
    if (tipBitmap_ != nullptr) DeleteObject(tipBitmap_);
}

INT_PTR CUpDateDlg::DoModal() {
    const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_UPDATE_DIALOG), nullptr,
                                           &CDialogWindow::DialogProc, reinterpret_cast<LPARAM>(this));
    stages_.Finish();
    return result;
}

INT_PTR CUpDateDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) OnDownload();
        if (LOWORD(wParam) == IDCANCEL) OnCancel();
        return TRUE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom != IDC_LIST) return FALSE;
        if (header->code == NM_CLICK) OnListClick(*reinterpret_cast<const NMITEMACTIVATE*>(lParam));
        if (header->code == LVN_ITEMCHANGED) OnListItemChanged();
        return TRUE;
    }
    case WM_SHOWWINDOW:
        SetWindowLongPtrW(window_, GWL_STYLE, GetWindowLongPtrW(window_, GWL_STYLE) | WS_MINIMIZEBOX);
        return FALSE;
    case WM_TIMER:
        OnTimer(wParam);
        return TRUE;
    case kMailArrived:
        mailbox_.Deliver();
        return TRUE;
    case WM_DESTROY:
        // Workers waiting for the window are let go; the threads are waited for once it is gone.
        mailbox_.Close();
        KillTimer(window_, UINT_PTR(DialogTimer::Download));
        KillTimer(window_, UINT_PTR(DialogTimer::Install));
        return FALSE;
    default:
        return FALSE;
    }
}

BOOL CUpDateDlg::OnInitDialog() {
    list_ = GetDlgItem(window_, IDC_LIST);
    progress_ = GetDlgItem(window_, IDC_PROGRESS);
    banner_ = GetDlgItem(window_, IDC_BANNER);
    bannerDefault_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(banner_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CUpDateDlg::BannerProc)));
    SetUpList();
    if (!LoadTipBitmap(kInitTip)) ShowMessage(kPictureFailed, MessageCaption::MessageManager, MessageIcon::Exclamation);
    ShowControl(IDC_PROGRESS, false);
    ShowControl(IDC_PROGRESS_LABEL, false);
    switch (engine_.Initialise(commandLine_)) {
    case InitOutcome::NoVersionGiven:
        // Nothing to download: the dialog stays open, empty, without "下载".
        EnableWindow(GetDlgItem(window_, IDOK), FALSE);
        return TRUE;
    case InitOutcome::BadVersion:
    case InitOutcome::RequestFailed:
    case InitOutcome::NothingNewer:
        EndDialog(0);
        return TRUE;
    case InitOutcome::Ready:
        break;
    }
    ListEntries();
    const HWND details = GetDlgItem(window_, IDC_DETAILS);
    SetWindowTextW(details, Wide(engine_.DetailsText()).c_str());
    SendMessageW(details, EM_SETSEL, WPARAM(-1), 0);
    SendMessageW(details, EM_SCROLLCARET, 0, 0);
    SendMessageW(progress_, PBM_SETRANGE32, 0, kProgressRange);
    SendMessageW(progress_, PBM_SETPOS, 0, 0);
    return TRUE;
}

void CUpDateDlg::SetUpList() {
    LONG_PTR style = GetWindowLongPtrW(list_, GWL_STYLE);
    style &= ~LONG_PTR(LVS_TYPEMASK | LVS_EDITLABELS);
    style |= LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOLABELWRAP;
    SetWindowLongPtrW(list_, GWL_STYLE, style);
    const DWORD extended = LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT;
    SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
    const std::pair<const char*, int> columns[] = {{kListColumnVersion, kVersionColumnWidth},
                                                   {kListColumnStatus, kStatusColumnWidth}};
    for (int i = 0; i < 2; ++i) {
        std::wstring title = Wide(columns[i].first);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = title.data();
        column.cx = columns[i].second;
        column.iSubItem = i;
        SendMessageW(list_, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
}

void CUpDateDlg::ListEntries() {
    const std::vector<UpdateEntry>& entries = engine_.Entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        std::wstring version = Wide(entries[i].version);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = int(i);
        item.pszText = version.data();
        const int row = int(SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        SendMessageW(list_, LVM_REDRAWITEMS, row, row);
        ListView_SetCheckState(list_, row, TRUE);
    }
}

// The user cannot leave a package out: every row is checked again at once.
void CUpDateDlg::OnListItemChanged() {
    if (checkingRows_) return;
    checkingRows_ = true;
    const int rows = int(engine_.Entries().size());
    for (int i = 0; i < rows; ++i)
        if (!ListView_GetCheckState(list_, i)) ListView_SetCheckState(list_, i, TRUE);
    checkingRows_ = false;
}

void CUpDateDlg::OnListClick(const NMITEMACTIVATE& click) {
    const int row = click.iItem;
    if (row < 0 || std::size_t(row) >= engine_.Entries().size()) return;
    SetDlgItemTextW(window_, IDC_DETAILS, Wide(engine_.EntryDetails(row, true)).c_str());
    MessageBoxW(window_, Wide(engine_.EntryDetails(row, false)).c_str(), kApplicationName, MB_OK);
}

void CUpDateDlg::OnDownload() {
    if (!stages_.CanDownload()) return;
    stages_.OnDownload(*this);
}

void CUpDateDlg::OnCancel() {
    if (stages_.OnCancel()) EndDialog(IDCANCEL);
}

void CUpDateDlg::OnTimer(UINT_PTR id) {
    if (id == UINT_PTR(DialogTimer::Download)) stages_.OnTimer(DialogTimer::Download, *this);
    if (id == UINT_PTR(DialogTimer::Install)) stages_.OnTimer(DialogTimer::Install, *this);
}

// The banner shows the tip bitmap once, whole: the control has its size.
// The dialog is found from the banner's parent, the window it is bound to.
LRESULT CALLBACK CUpDateDlg::BannerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<CUpDateDlg*>(FromHandlePermanent(GetParent(window)));
    if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_PAINT && self->tipBitmap_ != nullptr) {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(window, &paint);
        self->PaintBanner(dc);
        EndPaint(window, &paint);
        return 0;
    }
    return CallWindowProcW(self->bannerDefault_, window, message, wParam, lParam);
}

// Drawn off screen with the bitmap as a pattern brush from the top-left
// corner, then copied in one piece, so the banner never flickers.
void CUpDateDlg::PaintBanner(HDC dc) {
    RECT area;
    GetClientRect(banner_, &area);
    const HDC offscreen = CreateCompatibleDC(dc);
    const HBITMAP canvas = CreateCompatibleBitmap(dc, area.right, area.bottom);
    const HGDIOBJ previous = SelectObject(offscreen, canvas);
    const HBRUSH pattern = CreatePatternBrush(tipBitmap_);
    SetBrushOrgEx(offscreen, 0, 0, nullptr);
    FillRect(offscreen, &area, pattern);
    BitBlt(dc, 0, 0, area.right, area.bottom, offscreen, 0, 0, SRCCOPY);
    DeleteObject(pattern);
    SelectObject(offscreen, previous);
    DeleteObject(canvas);
    DeleteDC(offscreen);
}

void CUpDateDlg::ShowControl(int id, bool shown) { ShowWindow(GetDlgItem(window_, id), shown ? SW_SHOW : SW_HIDE); }

void CUpDateDlg::ShowMessage(const std::string& text, MessageCaption caption, MessageIcon icon) {
    const std::wstring title = caption == MessageCaption::MessageManager ? Wide(kMessageCaption) : kApplicationName;
    MessageBoxW(window_, Wide(text).c_str(), title.c_str(), MB_OK | IconStyle(icon));
}

void CUpDateDlg::SetRowStatus(int row, const std::string& text) {
    if (row < 0 || row >= int(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0))) return;
    std::wstring status = Wide(text);
    LVITEMW item{};
    item.iSubItem = 1;
    item.pszText = status.data();
    SendMessageW(list_, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

bool CUpDateDlg::LoadTipBitmap(const char* name) {
    const std::optional<std::string>& folder = engine_.ClientFolder();
    if (!folder) return false;
    const std::string path = *folder + "\\" + kResFolder + "\\" + name;
    const auto bitmap = static_cast<HBITMAP>(
        LoadImageW(nullptr, Wide(path).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (bitmap == nullptr) return false;
    if (tipBitmap_ != nullptr) DeleteObject(tipBitmap_);
    tipBitmap_ = bitmap;
    BITMAP info{};
    GetObjectW(tipBitmap_, sizeof info, &info);
    tipSize_ = {info.bmWidth, info.bmHeight};
    RECT place;
    GetWindowRect(banner_, &place);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&place), 2);
    MoveWindow(banner_, place.left, place.top, tipSize_.cx, tipSize_.cy, TRUE);
    InvalidateRect(banner_, nullptr, FALSE);
    ::UpdateWindow(banner_);
    return true;
}

void CUpDateDlg::ShowProgressControls() {
    ShowControl(IDC_DETAILS, false);
    ShowControl(IDC_DETAILS_LABEL, false);
    ShowControl(IDC_PROGRESS, true);
    ShowControl(IDC_PROGRESS_LABEL, true);
    ShowControl(IDOK, false);
}

void CUpDateDlg::DisableCancel() {
    EnableWindow(GetDlgItem(window_, IDCANCEL), FALSE);
    EnableMenuItem(GetSystemMenu(window_, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    // The caption's close button follows the menu item once the frame is drawn again.
    SetWindowPos(window_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void CUpDateDlg::SetProgressLabel(const std::string& text) {
    SetDlgItemTextW(window_, IDC_PROGRESS_LABEL, Wide(text).c_str());
}

void CUpDateDlg::SetProgress(int position) {
    SendMessageW(progress_, PBM_SETRANGE32, 0, kProgressRange);
    SendMessageW(progress_, PBM_SETPOS, position, 0);
}

void CUpDateDlg::StartTimer(DialogTimer timer) { SetTimer(window_, UINT_PTR(timer), kTimerPeriodMs, nullptr); }

void CUpDateDlg::StopTimer(DialogTimer timer) { KillTimer(window_, UINT_PTR(timer)); }

void CUpDateDlg::EndDialog(int result) { ::EndDialog(window_, result); }

}  // namespace update
