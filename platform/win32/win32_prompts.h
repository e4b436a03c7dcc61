// Prompts on the platform's message boxes, common file dialogs and folder
// browser. Every box is modal, owned by the window active when it opens
// (none when the process has no active window) and captioned "Quillmere".
#pragma once

#include "platform/prompts.h"

namespace qm {

class Win32Prompts final : public Prompts {
public:
    bool AskYesNo(std::string_view question) override;
    void ShowMessage(std::string_view text, MessageIcon icon) override;
    // The read-only box is hidden and hidden files are shown (the browser's
    // index files are hidden).
    std::optional<std::string> ChooseFileToOpen(const FileChoice& choice) override;
    // The read-only box is hidden and replacing a file is asked first.
    std::optional<std::string> ChooseFileToSave(const FileChoice& choice) override;
    // File system folders only.
    std::optional<std::string> BrowseForFolder(std::string_view title,
                                               std::string_view initialFolder) override;
};

// The caption of every box.
inline constexpr char kPromptCaption[] = "Quillmere";

}  // namespace qm
