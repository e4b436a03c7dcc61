#include "settings/find_on_tab.h"

#include <string>

namespace qm {
namespace {

constexpr std::string_view kNameTitles[] = {"File", "Title"};
constexpr std::string_view kUserTitle = "User";
constexpr std::string_view kUrlTitle = "URL";

// One kind of cell a search looks at: its column, whether the request asks
// for it, and its mark.
struct SearchedColumn {
    int column;
    bool wanted;
    ColorRef mark;
};

}  // namespace

bool FindTextMatches(std::string_view cell, std::string_view needle, bool wholeWord) {
    if (needle.empty()) return false;
    if (!wholeWord) return cell.find(needle) != std::string_view::npos;
    // A word stands between the start or a space and the end or a space.
    // Every occurrence is tried, so "a news1 news" holds the word "news" at
    // its end although the first " news" in it is part of "news1".
    for (std::size_t at = cell.find(needle); at != std::string_view::npos; at = cell.find(needle, at + 1)) {
        const std::size_t end = at + needle.size();
        const bool spaceBefore = at == 0 || cell[at - 1] == ' ';
        const bool spaceAfter = end == cell.size() || cell[end] == ' ';
        if (spaceBefore && spaceAfter) return true;
    }
    return false;
}

FindColumns ChooseFindColumns(const ListModel& list) {
    FindColumns columns;
    int user = -1;
    for (int column = 0; column < list.ColumnCount(); ++column) {
        const std::string_view title = list.GetColumn(column)->title;
        for (std::string_view name : kNameTitles)
            if (title == name) columns.name = column;
        if (title == kUserTitle && user < 0) user = column;
        if (title == kUrlTitle && columns.url < 0) columns.url = column;
    }
    if (columns.name < 0) columns.name = user;
    return columns;
}

int FindInList(ListModel& list, const FindRequest& request, TextCodec& codec) {
    const bool matchCase = request.matchCase != 0;
    const std::string needle = matchCase ? request.text.str() : codec.LowerAnsi(request.text.view());
    if (needle.empty()) return 0;
    const FindColumns columns = ChooseFindColumns(list);
    const SearchedColumn searched[] = {
        {columns.name, request.names != 0, kNameMatchColor},
        {columns.url, request.values != 0, kUrlMatchColor},
    };
    int marked = 0;
    bool found = false;
    for (int row = 0; row < list.RowCount(); ++row) {
        for (const SearchedColumn& kind : searched) {
            if (!kind.wanted) continue;
            const ListCell* cell = list.GetCell(row, kind.column);
            // A list without such a column compares against empty text.
            if (cell == nullptr || cell->background == kind.mark) continue;
            const bool matches =
                matchCase ? FindTextMatches(cell->text, needle, request.whole != 0)
                          : FindTextMatches(codec.LowerAnsi(cell->text), needle, request.whole != 0);
            if (!matches) continue;
            const ColorRef textColor = cell->textColor;
            // The selection tells the list's parent, which may change the
            // list: the cell is looked up again through the row and column.
            list.Select(row, kind.column, 0);
            if (list.SetCellColors(row, kind.column, kind.mark, textColor)) ++marked;
            found = true;
        }
        if (request.findAll == 0 && found) break;
    }
    return marked;
}

FindPress PressFind(const FindOptions& boxes, bool findAll, Prompts& prompts) {
    FindPress press;
    const bool names = boxes.searchNames || !boxes.searchValues;
    press.checkNames = !boxes.searchNames && !boxes.searchValues;
    const std::string_view text = std::string_view(boxes.lastSearch).substr(0, kFindTextLimit);
    if (text.empty()) {
        prompts.ShowMessage(kEnterSearchTextMessage, MessageIcon::None);
        return press;
    }
    FindRequest request;
    request.text = text;  // cut to what the record holds
    request.whole = boxes.wholeWord ? 1 : 0;
    request.matchCase = boxes.matchCase ? 1 : 0;
    request.names = names ? 1 : 0;
    request.values = boxes.searchValues ? 1 : 0;
    request.findAll = findAll ? 1 : 0;
    press.request = request;
    return press;
}

}  // namespace qm
