#include "band/win32/about_box.h"

#include "band/about.h"
#include "platform/win32/gdi.h"
#include "resources/settings_ids.h"
#include "widgets/win32/dialog_support.h"
#include "widgets/win32/hyperlink.h"

namespace qm {
namespace {

// The description of the dialog font, made bold. Without the stock GUI
// font, the classic dialog face at its usual size stands in.
LOGFONTA BoldFontDescription() {
    LOGFONTA font{};
    const HGDIOBJ stock = GetStockObject(DEFAULT_GUI_FONT);
    if (!stock || GetObjectA(stock, sizeof(font), &font) != sizeof(font)) {
        font = LOGFONTA{};
        font.lfHeight = -11;
        font.lfCharSet = 0;
        font.lfOutPrecision = OUT_DEFAULT_PRECIS;
        font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        font.lfQuality = PROOF_QUALITY;
        font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
        lstrcpynA(font.lfFaceName, "MS Sans Serif", LF_FACESIZE);
    }
    font.lfWeight = FW_BOLD;
    return font;
}

class AboutBox {
public:
    AboutBox(Shell& shell, Registry* registry) : homeLink_(shell, registry), supportLink_(shell, registry) {}

    BOOL OnInitDialog(HWND dialog) {
        dialog_ = dialog;
        AttachLink(homeLink_, IDC_QM_ABOUT_HOME, HomePageLink());
        AttachLink(supportLink_, IDC_QM_ABOUT_SUPPORT, SupportLink());

        const LOGFONTA description = BoldFontDescription();
        boldFont_.reset(CreateFontIndirectA(&description));
        if (boldFont_) {
            SendDlgItemMessageA(dialog, IDC_QM_ABOUT_PRODUCT, WM_SETFONT,
                                reinterpret_cast<WPARAM>(boldFont_.get()), TRUE);
        }
        FitBanner();
        return TRUE;
    }

    void OnCommand(int id, int /*code*/, HWND /*control*/) {
        if (id == IDOK || id == IDCANCEL) EndDialog(dialog_, id);
    }

    void OnDestroy() { boldFont_.reset(); }

private:
    void AttachLink(HyperLink& link, int id, const AboutLink& address) {
        link.SetTarget(address.target);
        link.SetLabel(address.label);
        if (const HWND control = GetDlgItem(dialog_, id)) link.Attach(control);
    }

    // The banner spans the box's whole width, frame included, and keeps its
    // aspect ratio.
    void FitBanner() {
        const HWND banner = GetDlgItem(dialog_, IDC_QM_ABOUT_BANNER);
        RECT box{};
        RECT picture{};
        if (!banner || !GetWindowRect(dialog_, &box) || !GetWindowRect(banner, &picture)) return;
        const auto size =
            ScaledBanner(box.right - box.left, picture.right - picture.left, picture.bottom - picture.top);
        if (!size) return;
        SetWindowPos(banner, nullptr, 0, 0, size->width, size->height, SWP_NOZORDER | SWP_NOACTIVATE);
        InvalidateRect(banner, nullptr, TRUE);
    }

    HyperLink homeLink_;
    HyperLink supportLink_;
    UniqueFont boldFont_;
    HWND dialog_ = nullptr;
};

}  // namespace

INT_PTR ShowAboutBox(HINSTANCE module, HWND owner, Shell& shell, Registry* registry) {
    AboutBox box(shell, registry);
    return RunModal(module, IDD_QM_ABOUT, owner, box);
}

}  // namespace qm
