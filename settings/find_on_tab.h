// Find on this Tab: a text looked for in the name and address cells of the
// list in view. Matches are marked in place with a coloured background and
// the row of a new match becomes the selected row; cells already marked are
// passed over, so each Find Next marks the next match from the top and Find
// All marks every match at once. Marks last until the list is filled again.
//
// The Find dialog gathers the text and four options and sends a FindRequest
// to the main view with WM_FINDONTAB; what the dialog decides on its buttons
// is here too, so that its window only reads and sets its controls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/prompts.h"
#include "platform/text_codec.h"
#include "platform/types.h"
#include "settings/settings.h"
#include "widgets/colors.h"
#include "widgets/list_model.h"

namespace qm {

// Sent (never posted) by the Find dialog to the main view: wParam 0, lParam
// the address of a FindRequest that lives in the dialog for the call.
inline constexpr uint32_t WM_FINDONTAB = 1246;  // WM_USER + 222

struct FindRequest {
    FixedText<100> text;  // at most 99 characters; longer texts are cut
    int32_t whole = 0;    // match whole words only
    int32_t matchCase = 0;
    int32_t names = 0;    // search the name column
    int32_t values = 0;   // search the URL column
    int32_t findAll = 0;  // 1 Find All, 0 Find Next
};

// The marks: a name cell in light red, an address cell in light green. A
// mark keeps the cell's text colour.
inline constexpr ColorRef kNameMatchColor = Rgb(255, 150, 150);
inline constexpr ColorRef kUrlMatchColor = Rgb(150, 255, 150);

// Whether the cell text matches the needle (both already in the case the
// search compares). Without wholeWord the needle may stand anywhere. With
// it, the needle must stand as a word of its own, and only the space
// separates words: "news" is a word in "Daily news" and "news today" but not
// in "newsletter" or "a/news". An empty needle matches nothing.
bool FindTextMatches(std::string_view cell, std::string_view needle, bool wholeWord);

// The columns a search looks at, -1 for none: the name column is the last
// one titled "File" or "Title", else one titled "User" (an index file's
// view); the URL column is the one titled "URL". Titles compare exactly.
struct FindColumns {
    int name = -1;
    int url = -1;

    friend bool operator==(const FindColumns&, const FindColumns&) = default;
};
FindColumns ChooseFindColumns(const ListModel& list);

// Runs one search over the list, rows from the first to the last in their
// present order: for each row the name cell, then the URL cell. Find Next
// stops after the first row that got a new mark. Returns how many cells it
// marked. Nothing is reported, also when nothing matches.
int FindInList(ListModel& list, const FindRequest& request, TextCodec& codec);

// ---- The Find dialog ----

// The dialog reads at most this much of its edit box.
inline constexpr std::size_t kFindTextLimit = 259;
inline constexpr std::string_view kEnterSearchTextMessage = "Please enter text to search.";

// The dialog opens with ReadFindOptions (absent options stay unchecked)
// and stores its boxes and text with WriteFindOptions when it closes, and
// only then: a search stores nothing.

// Find Next, Enter or Find All pressed, with the boxes as they stand and
// the edit box's text in lastSearch. With
// neither Names nor Values checked, Names is checked (the dialog shows it)
// and searched. An empty text brings up the message and gives no request;
// the dialog then puts the focus back into its edit box.
struct FindPress {
    bool checkNames = false;  // the dialog must check "Search Item names"
    std::optional<FindRequest> request;
};
FindPress PressFind(const FindOptions& boxes, bool findAll, Prompts& prompts);

}  // namespace qm
