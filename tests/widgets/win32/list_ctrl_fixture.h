// A ListCtrl in a visible test parent that logs every WM_NOTIFY of the
// list (code, row and column read while the record is alive), with helpers
// that send real mouse and key messages at a cell or a header column.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/win32/message_log.h"
#include "widgets/win32/list_ctrl.h"

namespace qm {

inline constexpr int kListId = 77;

class ListCtrlTest : public ::testing::Test {
public:
    // What the parent heard, filled by its window procedure.
    static MessageLog log_;

protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the list (options as given) filling the parent's client area.
    void MakeList(ListOptions options = {}, int width = 600, int height = 400);
    // Columns "Title" (0), "URL" (1, hyperlink cells) and "Last Visited"
    // (2), and `rows` rows "Row 000"..., "http://site/NNN", date NNN.
    void FillRows(int rows);

    HWND list() const { return list_->window(); }
    const ListModel& model() const { return list_->model(); }
    // Client point in the middle of a cell's text, and of a header column.
    POINT CellPoint(int row, int column) const;
    POINT HeaderPoint(int column) const;
    // The right divider of a column, in client x.
    int DividerX(int column) const;

    void Press(UINT down, UINT up, POINT point, WPARAM keys = 0);
    void Click(POINT point, WPARAM keys = 0) { Press(WM_LBUTTONDOWN, WM_LBUTTONUP, point, keys); }
    void RightClick(POINT point, WPARAM keys = 0) { Press(WM_RBUTTONDOWN, WM_RBUTTONUP, point, keys); }
    void Move(POINT point, WPARAM keys = 0);
    // A key press with the Shift and Control states the list reads.
    void Key(int key, bool shift = false, bool control = false);
    // Dispatches what is waiting in the queue.
    static void Pump();
    std::vector<std::string> ColumnTexts(int column) const;

    HWND parent_ = nullptr;
    std::unique_ptr<ListCtrl> list_;
    bool oleInitialized_ = false;
};

}  // namespace qm
