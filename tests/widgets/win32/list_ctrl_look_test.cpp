// What the list looks like (a screenshot of a long sorted list, written to
// the build folder), how it follows the system colours, and column moves
// by OLE drag and drop.
#include <cstdio>
#include <fstream>

#include "tests/widgets/win32/list_ctrl_fixture.h"

namespace qm {
namespace {

struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;  // 24-bit rows, bottom-up, padded to 4 bytes

    int stride() const { return (width * 3 + 3) & ~3; }
    ColorRef At(int x, int y) const {
        const std::size_t at =
            static_cast<std::size_t>(height - 1 - y) * stride() + static_cast<std::size_t>(x) * 3;
        return Rgb(pixels[at + 2], pixels[at + 1], pixels[at]);
    }
    bool Contains(int left, int top, int right, int bottom, ColorRef color) const {
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) {
                if (At(x, y) == color) return true;
            }
        }
        return false;
    }
};

Screenshot Capture(HWND window) {
    Screenshot shot;
    RECT rect = {};
    GetWindowRect(window, &rect);
    shot.width = rect.right - rect.left;
    shot.height = rect.bottom - rect.top;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = shot.width;
    info.bmiHeader.biHeight = shot.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dc && bitmap) {
        const HGDIOBJ previous = SelectObject(dc, bitmap);
        PrintWindow(window, dc, 0);
        GdiFlush();
        shot.pixels.assign(
            static_cast<unsigned char*>(bits),
            static_cast<unsigned char*>(bits) + static_cast<std::size_t>(shot.stride()) * shot.height);
        SelectObject(dc, previous);
    }
    if (bitmap) DeleteObject(bitmap);
    if (dc) DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return shot;
}

bool WriteBmp(const Screenshot& shot, const char* path) {
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = shot.width;
    header.biHeight = shot.height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(shot.pixels.size());
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + header.biSizeImage;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&header), sizeof(header));
    out.write(reinterpret_cast<const char*>(shot.pixels.data()),
              static_cast<std::streamsize>(shot.pixels.size()));
    return out.good();
}

TEST_F(ListCtrlTest, ScreenshotOfASortedListWithASelectionAndAMarkedCell) {
    MakeList(ListOptions{}, 640, 480);
    list_->AddColumn("Title", 170);
    list_->AddColumn("URL", 230);
    list_->AddColumn("Last Visited", 100, -1, false, 0, kListAlignCenter);
    list_->AddColumn("Hits", 60, -1, false, 0, kListAlignCenter);
    const HIMAGELIST rowImages = ImageList_LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(212), 16, 0,
                                                      RGB(255, 0, 255), IMAGE_BITMAP, LR_CREATEDIBSECTION);
    if (rowImages) list_->SetRowImageList(rowImages);
    const char* sites[] = {"quillmere.example",  "news.example.org", "Mail.example.net", "docs.example.com",
                           "shop.example.co.uk", "Weather.example",  "maps.example.org"};
    for (int row = 0; row < 400; ++row) {
        char title[64];
        char url[96];
        char hits[16];
        const char* site = sites[row % 7];
        std::snprintf(title, sizeof title, "Page %d of %s", row, site);
        std::snprintf(url, sizeof url, "http://%s/articles/%04d/index.html", site, (row * 37) % 1000);
        std::snprintf(hits, sizeof hits, "%d", (row * 13) % 97);
        const int added = list_->AddRow(title, 0);
        list_->SetCellText(added, 1, url);
        list_->SetCellFormat(added, 1, kListCellHyperlink, 0);
        list_->SetCellText(added, 2, row % 2 ? "7/14/2024" : "8/2/2024");
        list_->SetCellDate(added, 2, FileTime{static_cast<uint64_t>(row) * 1000});
        list_->SetCellText(added, 3, hits);
    }
    Pump();
    Click(HeaderPoint(1));
    Click(CellPoint(3, 0));
    Click(CellPoint(5, 0), MK_SHIFT);
    // A find mark on one cell outside the selection.
    constexpr ColorRef kMark = Rgb(255, 236, 150);
    list_->SetCellColors(8, 1, kMark, kDefaultColor);
    // A hot link under the pointer.
    Move(CellPoint(10, 1));
    list_->Redraw();
    SetFocus(list());
    Pump();
    const Screenshot shot = Capture(list());
    ASSERT_FALSE(shot.pixels.empty());
    EXPECT_TRUE(WriteBmp(shot, "list_ctrl_screenshot.bmp"));

    // The PrintWindow picture includes the static edge: one pixel around.
    const int edge = 1;
    const PixelRect selected = RowRect(list_->metrics(), list_->viewport(), 4, 400);
    const PixelRect marked = RowRect(list_->metrics(), list_->viewport(), 8, 400);
    const PixelRect plain = RowRect(list_->metrics(), list_->viewport(), 12, 400);
    // The styled selection's outer border and gradient, on the focused list.
    EXPECT_TRUE(shot.Contains(edge, selected.top + edge - 1, 400, selected.bottom + edge + 1,
                              kListFocusedSelectionOuter));
    EXPECT_TRUE(
        shot.Contains(edge, selected.top + edge, 400, selected.bottom + edge, kListFocusedSelectionTop));
    // The mark fills its cell (column 1, from x 170), not its neighbours.
    EXPECT_TRUE(shot.Contains(170 + edge, marked.top + edge, 400, marked.bottom + edge, kMark));
    EXPECT_FALSE(shot.Contains(edge, marked.top + edge, 168, marked.bottom + edge, kMark));
    EXPECT_FALSE(shot.Contains(edge, plain.top + edge, 400, plain.bottom + edge, kMark));
    // The hot link is drawn in the link colour.
    const PixelRect hot = RowRect(list_->metrics(), list_->viewport(), 10, 400);
    EXPECT_TRUE(shot.Contains(170 + edge, hot.top + edge, 400, hot.bottom + edge, kListHotLinkText));
    // The header is the button face.
    EXPECT_TRUE(
        shot.Contains(edge, edge, 600, list_->metrics().headerHeight, list_->systemColors().buttonFace));
    if (rowImages) {
        list_->SetRowImageList(nullptr);
        ImageList_Destroy(rowImages);
    }
}

TEST_F(ListCtrlTest, SystemColourChangesAreReadAgain) {
    MakeList();
    FillRows(3);
    const int element = COLOR_WINDOW;
    const COLORREF original = GetSysColor(element);
    const COLORREF changed = RGB(250, 250, 230);
    ASSERT_TRUE(SetSysColors(1, &element, &changed));
    SendMessageA(list(), WM_SYSCOLORCHANGE, 0, 0);
    const ColorRef readBack = list_->systemColors().window;
    SetSysColors(1, &element, &original);
    SendMessageA(list(), WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_EQ(readBack, Rgb(250, 250, 230));
    EXPECT_EQ(list_->systemColors().window.value, original & 0xFFFFFF);
}

TEST_F(ListCtrlTest, HeaderColumnMovesByDragAndDrop) {
    ASSERT_TRUE(oleInitialized_);
    MakeList();
    FillRows(5);
    UpdateWindow(parent_);
    // Column 0 dragged onto the boundary after column 2: the drop lands
    // where the pointer is when OLE sees the button released.
    const int y = list_->metrics().headerHeight / 2;
    POINT target{DividerX(2) - 2, y};
    POINT screen = target;
    ClientToScreen(list(), &screen);
    SetCursorPos(screen.x, screen.y);
    const POINT from = HeaderPoint(0);
    SendMessageA(list(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
    SendMessageA(list(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(from.x + 30, from.y));
    Pump();
    EXPECT_EQ(model().ColumnOrder(), (std::vector<int>{1, 2, 0}));
    // Ids stay with their columns: the title is still column 0's.
    EXPECT_EQ(model().GetCellText(0, 0), "Row 000");
    EXPECT_EQ(model().sortColumn(), -1);  // a drag is no click
    EXPECT_FALSE(IsWindowVisible(FindWindowA("DropArrows", nullptr)));
    // Clicking where the title column now stands sorts by it.
    Click(HeaderPoint(0));
    EXPECT_EQ(model().sortColumn(), 0);
}

TEST_F(ListCtrlTest, ForeignHeaderDataIsRefused) {
    MakeList();
    FillRows(2);
    // A data object in the right format, but no drag of this list going
    // on: nothing may move.
    IDataObject* data = NewHeaderDataObject(1);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(ReadHeaderPosition(data), 1);
    IDropTarget* target = nullptr;
    // The drop target is registered on the window: reach it the way OLE
    // would, through a drop at a header point.
    const HANDLE property = GetPropA(list(), "OleDropTargetInterface");
    if (property) target = static_cast<IDropTarget*>(property);
    if (target) {
        POINT point = HeaderPoint(2);
        ClientToScreen(list(), &point);
        DWORD effect = DROPEFFECT_MOVE;
        target->DragEnter(data, MK_LBUTTON, POINTL{point.x, point.y}, &effect);
        EXPECT_EQ(effect, DWORD{DROPEFFECT_NONE});
        effect = DROPEFFECT_MOVE;
        target->Drop(data, 0, POINTL{point.x, point.y}, &effect);
        EXPECT_EQ(effect, DWORD{DROPEFFECT_NONE});
    }
    EXPECT_EQ(model().ColumnOrder(), (std::vector<int>{0, 1, 2}));
    data->Release();
    // Short or missing data reads as nothing.
    EXPECT_EQ(ReadHeaderPosition(nullptr), std::nullopt);
}

}  // namespace
}  // namespace qm
