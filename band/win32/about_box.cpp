#include "band/win32/about_box.h"

#include "band/about.h"
#include "platform/win32/gdi.h"
#include "resources/settings_ids.h"
#include "settings/win32/dialog_support.h"

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
    explicit AboutBox(Shell& shell) : shell_(shell), home_(HomePageLink()), support_(SupportLink()) {}

    BOOL OnInitDialog(HWND dialog) {
        dialog_ = dialog;
        SetControlText(dialog, IDC_QM_ABOUT_HOME, home_.label);
        SetControlText(dialog, IDC_QM_ABOUT_SUPPORT, support_.label);

        const LOGFONTA description = BoldFontDescription();
        boldFont_.reset(CreateFontIndirectA(&description));
        if (boldFont_) {
            SendDlgItemMessageA(dialog, IDC_QM_ABOUT_PRODUCT, WM_SETFONT,
                                reinterpret_cast<WPARAM>(boldFont_.get()), TRUE);
        }
        FitBanner();
        return TRUE;
    }

    void OnCommand(int id, int code, HWND /*control*/) {
        switch (id) {
            case IDOK:
            case IDCANCEL:
                EndDialog(dialog_, id);
                break;
            case IDC_QM_ABOUT_HOME:
                if (code == STN_CLICKED) shell_.Open(home_.target);
                break;
            case IDC_QM_ABOUT_SUPPORT:
                if (code == STN_CLICKED) shell_.Open(support_.target);
                break;
            default:
                break;
        }
    }

    void OnDestroy() { boldFont_.reset(); }

private:
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

    Shell& shell_;
    AboutLink home_;
    AboutLink support_;
    UniqueFont boldFont_;
    HWND dialog_ = nullptr;
};

}  // namespace

INT_PTR ShowAboutBox(HINSTANCE module, HWND owner, Shell& shell) {
    AboutBox box(shell);
    return RunModal(module, IDD_QM_ABOUT, owner, box);
}

}  // namespace qm
