// HyperLink: turns a static text of a dialog into a link. It draws the
// label in the browser's link colour, underlined while the pointer rests
// on it, shows the hand cursor over the text and the target in a tooltip,
// and opens the target through the Shell port on a click inside the text,
// or on Enter or Space while it has the focus.
//
// What the link holds and when it opens is the HyperLinkModel's; this
// window subclasses the static, measures and paints, and relays messages.
//
// Ownership: the dialog object owns the HyperLink (made with the dialog
// object, so its fonts are made then) and must keep it alive while the
// static exists. Attach() subclasses the static during the dialog's
// initialisation; the tooltip goes when the static is destroyed and the
// fonts with this object. The Shell and Registry ports are borrowed.
#pragma once

#include <windows.h>

#include <string_view>

#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/win32/gdi.h"
#include "widgets/hyperlink_model.h"

namespace qm {

class HyperLink {
public:
    // `shell` opens the target. The browser's link colour is read from
    // `registry` at Attach (the default blue without one).
    explicit HyperLink(Shell& shell, Registry* registry = nullptr);
    ~HyperLink();
    HyperLink(const HyperLink&) = delete;
    HyperLink& operator=(const HyperLink&) = delete;

    // Stores the target; once attached it is also the tooltip's text.
    void SetTarget(std::string_view target);
    // Stores the label; once attached it becomes the window text and the
    // text rectangle is measured again.
    void SetLabel(std::string_view label);

    // Subclasses `control`, which must be a window of class "static"
    // (compared without case); adds SS_NOTIFY, sets up the cursor, the
    // tooltip, the label (the window text when none was set), the text
    // rectangle and the link colour. False, and nothing changed, for a
    // window of another class or when already attached.
    bool Attach(HWND control);
    // Gives the static its own procedure back and destroys the tooltip.
    void Detach();

    HWND window() const { return window_; }
    HWND tooltip() const { return tooltip_; }
    const HyperLinkModel& model() const { return model_; }
    ColorRef linkColor() const { return colors_.link; }
    const BrowserLinkColors& browserColors() const { return colors_; }
    // The font used now (underlined while hovered).
    HFONT currentFont() const;

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR data);

    struct MessageEntry {
        UINT message;
        LRESULT (HyperLink::*handler)(WPARAM wParam, LPARAM lParam);
    };
    static const MessageEntry kMessages[];
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
    LRESULT OnEraseBackground(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseHover(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    LRESULT OnLeftButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnLeftButtonUp(WPARAM wParam, LPARAM lParam);
    LRESULT OnChar(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetDlgCode(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetFont(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetFont(WPARAM wParam, LPARAM lParam);
    LRESULT OnEnable(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetFocus(WPARAM wParam, LPARAM lParam);
    LRESULT OnKillFocus(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);

    void RelayToTooltip(UINT message, WPARAM wParam, LPARAM lParam);
    void UpdateTooltip();
    void MeasureText();
    void Paint(HDC dc);
    void MakeFonts(HFONT base);

    Shell& shell_;
    Registry* registry_;
    HyperLinkModel model_;
    BrowserLinkColors colors_;
    HWND window_ = nullptr;
    HWND tooltip_ = nullptr;
    bool textStatic_ = true;
    UniqueFont normalFont_;
    UniqueFont hoverFont_;
    HCURSOR handCursor_ = nullptr;
};

}  // namespace qm
