#include "settings/win32/favorites_dialog.h"

#include "resources/settings_ids.h"
#include "widgets/win32/dialog_support.h"

namespace qm {
namespace {

class FavoritesDialog {
public:
    FavoritesDialog(Platform& platform, const FavoriteRequest& proposal)
        : platform_(platform), proposal_(proposal) {}

    BOOL OnInitDialog(HWND dialog) {
        dialog_ = dialog;
        if (!proposal_.description.empty())
            SetControlText(dialog, IDC_QM_FAVORITE_DESCRIPTION, proposal_.description);
        if (!proposal_.url.empty()) SetControlText(dialog, IDC_QM_FAVORITE_URL, proposal_.url);
        return TRUE;
    }

    void OnCommand(int id, int /*code*/, HWND /*control*/) {
        switch (id) {
            case IDC_QM_FAVORITE_BROWSE:
                if (const auto icon = platform_.prompts.ChooseFileToOpen(IconFileChoice());
                    icon && !icon->empty()) {
                    SetControlText(dialog_, IDC_QM_FAVORITE_ICON, *icon);
                }
                break;
            case IDOK: {  // Add, or Enter
                FavoriteRequest request;
                request.description = ControlText(dialog_, IDC_QM_FAVORITE_DESCRIPTION, kFavoriteFieldLimit);
                request.url = ControlText(dialog_, IDC_QM_FAVORITE_URL, kFavoriteFieldLimit);
                request.iconFile = ControlText(dialog_, IDC_QM_FAVORITE_ICON, kFavoriteFieldLimit);
                if (!KeepsDialogOpen(AddToFavorites(platform_, request))) EndDialog(dialog_, IDOK);
                break;
            }
            case IDCANCEL:
                EndDialog(dialog_, IDCANCEL);
                break;
            default:
                break;
        }
    }

private:
    Platform& platform_;
    const FavoriteRequest& proposal_;
    HWND dialog_ = nullptr;
};

}  // namespace

void ShowAddToFavoritesDialog(HINSTANCE module, HWND owner, Platform& platform,
                              const FavoriteRequest& proposal) {
    FavoritesDialog dialog(platform, proposal);
    RunModal(module, IDD_QM_ADD_FAVORITE, owner, dialog);
}

}  // namespace qm
