// TitleTip: the borderless window that shows the whole text of a list cell
// too narrow for it, laid over the cell.
//
// While shown it holds the mouse capture, so that it learns when the
// pointer leaves it (it hides then, and tells the list). A button pressed on it is posted to
// the list at the same point: a click on the tip acts on the cell beneath.
// It never takes the focus or activates.
//
// Owned: its window. Borrowed: the list window it reports to, and the font
// it draws with (the list's, which outlives the tip's use of it).
#pragma once

#include <windows.h>

#include <string>

namespace qm {

inline constexpr char kTitleTipClass[] = "TitleTip";
// Sent to the list when the pointer has left the tip and the tip has hidden
// itself: the list learns nothing else of the pointer meanwhile.
inline constexpr UINT kTitleTipLeftMessage = WM_USER + 0x52;

class TitleTip {
public:
    TitleTip() = default;
    ~TitleTip();
    TitleTip(const TitleTip&) = delete;
    TitleTip& operator=(const TitleTip&) = delete;

    // Registers the class once per module and makes the (hidden) window.
    bool Create(HWND list, HINSTANCE module);
    void Destroy();

    struct Look {
        HFONT font = nullptr;
        COLORREF background = 0;
        COLORREF text = 0;
        COLORREF frame = 0;
    };
    // Shows the text over the screen rectangle; the text is drawn 4 pixels
    // in from its left edge.
    void Show(const RECT& screen, std::string text, const Look& look);
    void Hide();

    HWND window() const { return window_; }
    bool visible() const { return visible_; }
    const std::string& text() const { return text_; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();
    void ForwardButton(UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    HWND list_ = nullptr;
    bool visible_ = false;
    std::string text_;
    Look look_;
};

}  // namespace qm
