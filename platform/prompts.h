// Port: the questions and messages that commands put to the user, and the
// standard file and folder choosers. Every box is modal, owned by the active
// window and captioned with the product's name.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qm {

enum class MessageIcon { None, Information, Warning, Error };

struct FileChoice {
    std::string filter;         // "Name\0*.ext\0" pairs, as the platform's dialogs take them
    std::string initialFolder;  // may be empty
    std::string defaultName;    // may be empty
    std::string defaultExtension;
    std::string title;  // empty for the platform's own
};

class Prompts {
public:
    virtual ~Prompts() = default;

    // A Yes/No question with the question icon and No as the default
    // button; true for Yes.
    virtual bool AskYesNo(std::string_view question) = 0;
    virtual void ShowMessage(std::string_view text, MessageIcon icon) = 0;
    virtual std::optional<std::string> ChooseFileToOpen(const FileChoice& choice) = 0;
    virtual std::optional<std::string> ChooseFileToSave(const FileChoice& choice) = 0;
    // The folder browser, opening at initialFolder (at the top when it is
    // empty or no longer there); the chosen folder, nothing when cancelled.
    virtual std::optional<std::string> BrowseForFolder(std::string_view title,
                                                       std::string_view initialFolder) = 0;
};

}  // namespace qm
