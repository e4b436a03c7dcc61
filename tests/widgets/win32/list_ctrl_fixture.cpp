#include "tests/widgets/win32/list_ctrl_fixture.h"

#include <cstdio>

namespace qm {
namespace {

constexpr char kParentClass[] = "QmListTestParent";

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace

MessageLog ListCtrlTest::log_;

namespace {

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        const auto* record = reinterpret_cast<const ListNotifyRecord*>(lParam);
        LoggedMessage entry{message, wParam, lParam};
        entry.code = static_cast<int>(record->header.code);
        entry.item = record->row;
        entry.subItem = record->column;
        // Every record the list sends carries no key, text or date.
        EXPECT_EQ(record->key, 0);
        EXPECT_EQ(record->text, nullptr);
        EXPECT_EQ(record->date, nullptr);
        EXPECT_EQ(record->header.idFrom, static_cast<UINT_PTR>(kListId));
        EXPECT_EQ(wParam, static_cast<WPARAM>(kListId));
        ListCtrlTest::log_.Add(entry);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

void ListCtrlTest::SetUp() {
    oleInitialized_ = SUCCEEDED(OleInitialize(nullptr));
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    if (!GetClassInfoExA(GetModuleHandleA(nullptr), kParentClass, &windowClass)) {
        windowClass.lpfnWndProc = ParentProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
        windowClass.lpszClassName = kParentClass;
        ASSERT_NE(RegisterClassExA(&windowClass), 0);
    }
    parent_ = CreateWindowExA(0, kParentClass, "List test", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 20, 20,
                              640, 480, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(parent_, nullptr);
    SetForegroundWindow(parent_);
    // The real pointer stays off the window: the moves a test sends are
    // the only ones the list sees.
    SetCursorPos(1200, 1000);
    log_.Clear();
    BYTE keys[256] = {};
    SetKeyboardState(keys);
}

void ListCtrlTest::TearDown() {
    list_.reset();
    if (parent_) DestroyWindow(parent_);
    Pump();
    log_.Clear();
    if (oleInitialized_) OleUninitialize();
}

void ListCtrlTest::MakeList(ListOptions options, int width, int height) {
    list_ = std::make_unique<ListCtrl>(options);
    ASSERT_TRUE(list_->Create(parent_, RECT{0, 0, width, height}, WS_VISIBLE | WS_TABSTOP, kListId));
    Pump();
}

void ListCtrlTest::FillRows(int rows) {
    list_->AddColumn("Title", 150);
    list_->AddColumn("URL", 200);
    list_->AddColumn("Last Visited", 100, -1, false, 0, kListAlignCenter);
    for (int row = 0; row < rows; ++row) {
        char title[32];
        char url[48];
        std::snprintf(title, sizeof title, "Row %03d", row);
        std::snprintf(url, sizeof url, "http://site/%03d", row);
        const int added = list_->AddRow(title);
        list_->SetCellText(added, 1, url);
        list_->SetCellFormat(added, 1, kListCellHyperlink, 0);
        list_->SetCellText(added, 2, "7/1/2024");
        list_->SetCellDate(added, 2, FileTime{static_cast<uint64_t>(1000 + row)});
    }
    list_->Redraw();
    Pump();
}

POINT ListCtrlTest::CellPoint(int row, int column) const {
    const std::vector<ColumnSpan> spans = ColumnSpans(model());
    POINT point{0, 0};
    for (const ColumnSpan& span : spans) {
        if (span.id == column) point.x = span.left + 20 - list_->viewport().scrollX;
    }
    const PixelRect rect = RowRect(list_->metrics(), list_->viewport(), row, 0);
    point.y = (rect.top + rect.bottom) / 2;
    return point;
}

POINT ListCtrlTest::HeaderPoint(int column) const {
    const std::vector<ColumnSpan> spans = ColumnSpans(model());
    for (const ColumnSpan& span : spans) {
        if (span.id == column)
            return POINT{(span.left + span.right) / 2 - list_->viewport().scrollX,
                         list_->metrics().headerHeight / 2};
    }
    return POINT{-1, -1};
}

int ListCtrlTest::DividerX(int column) const {
    for (const ColumnSpan& span : ColumnSpans(model())) {
        if (span.id == column) return span.right - list_->viewport().scrollX;
    }
    return -1;
}

void ListCtrlTest::Press(UINT down, UINT up, POINT point, WPARAM keys) {
    const WPARAM button = down == WM_LBUTTONDOWN ? MK_LBUTTON : MK_RBUTTON;
    SendMessageA(list(), down, keys | button, MAKELPARAM(point.x, point.y));
    SendMessageA(list(), up, keys, MAKELPARAM(point.x, point.y));
    Pump();
}

void ListCtrlTest::Move(POINT point, WPARAM keys) {
    SendMessageA(list(), WM_MOUSEMOVE, keys, MAKELPARAM(point.x, point.y));
}

void ListCtrlTest::Key(int key, bool shift, bool control) {
    BYTE keys[256] = {};
    if (shift) keys[VK_SHIFT] = 0x80;
    if (control) keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageA(list(), WM_KEYDOWN, static_cast<WPARAM>(key), 1);
    BYTE none[256] = {};
    SetKeyboardState(none);
    Pump();
}

void ListCtrlTest::Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

std::vector<std::string> ListCtrlTest::ColumnTexts(int column) const {
    std::vector<std::string> texts;
    for (int row = 0; row < model().RowCount(); ++row) texts.emplace_back(model().GetCellText(row, column));
    return texts;
}

}  // namespace qm
