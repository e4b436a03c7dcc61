#include "widgets/list_model.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace qm {
namespace {

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Letters only ever come from the keys A to Z, so folding ASCII is enough:
// no other byte of the code page lower-cases to an ASCII letter.
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t index = 0; index < prefix.size(); ++index) {
        if (AsciiLower(text[index]) != AsciiLower(prefix[index])) return false;
    }
    return true;
}

// The number a text starts with, read as the C library's atoi reads it
// (blanks, a sign, digits) but saturating instead of overflowing.
long long LeadingNumber(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || (text[at] >= '\t' && text[at] <= '\r'))) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    long long value = 0;
    constexpr long long kLimit = 1'000'000'000'000'000'000LL;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        if (value < kLimit) value = value * 10 + (text[at] - '0');
    }
    return negative ? -value : value;
}

std::string DateEditText(const SystemTime& date) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d", date.year, date.month, date.day, date.hour,
                  date.minute, date.second);
    return text;
}

bool IsCheckFormat(int format) {
    return format == kListCellCheckBox || format == kListCellThreeState;
}

// The order of texts compared byte-wise with case, as unsigned bytes: "B..."
// before "a...", bytes above 0x7F after both, a text before its own
// continuations. A large list compares each text some twenty times, so the
// comparisons are kept cheap: the texts are copied into one block (cells
// lie all over the heap; one block stays in the cache), and each key
// carries the eight bytes that follow the prefix every text shares (such as
// "http://www."), so most comparisons are one integer comparison.
std::vector<int> SortedTextOrder(const std::vector<ListRow>& rows, std::size_t column) {
    struct Key {
        uint64_t head;  // bytes [shared, shared + 8), big-endian, zero-padded
        std::size_t offset;
        std::size_t length;
        int row;
    };
    // One pass over the scattered cells copies them; everything after reads
    // the block in order.
    std::size_t total = 0;
    for (const ListRow& row : rows) total += row.cells[column].text.size();
    std::string block;
    block.reserve(total);
    std::vector<Key> keys(rows.size());
    for (std::size_t row = 0; row < rows.size(); ++row) {
        const std::string& text = rows[row].cells[column].text;
        keys[row] = Key{0, block.size(), text.size(), static_cast<int>(row)};
        block.append(text);
    }
    const char* base = block.data();

    std::size_t shared = keys.empty() ? 0 : keys.front().length;
    for (const Key& key : keys) {
        const std::size_t limit = std::min(shared, key.length);
        std::size_t same = 0;
        while (same < limit && base[same] == base[key.offset + same]) ++same;
        shared = same;
    }
    for (Key& key : keys) {
        const char* text = base + key.offset;
        for (std::size_t at = shared; at < shared + 8; ++at) {
            key.head = (key.head << 8) | (at < key.length ? static_cast<unsigned char>(text[at]) : 0u);
        }
    }
    std::sort(keys.begin(), keys.end(), [base, shared](const Key& a, const Key& b) {
        if (a.head != b.head) return a.head < b.head;
        // Equal heads: the rest decides (padding made "ab" and "ab\0" alike).
        const std::string_view restA(base + a.offset + shared, a.length - shared);
        const std::string_view restB(base + b.offset + shared, b.length - shared);
        return restA < restB;  // char_traits<char> compares as unsigned bytes
    });
    std::vector<int> order(keys.size());
    for (std::size_t at = 0; at < keys.size(); ++at) order[at] = keys[at].row;
    return order;
}

}  // namespace

int CheckState(std::string_view text) {
    const long long value = LeadingNumber(text);
    return value > 0 ? 1 : value < 0 ? -1 : 0;
}

ListModel::ListModel(Clock& clock, ListOptions options) : clock_(clock), options_(options) {}

// ---- columns ----

int ListModel::AddColumn(std::string_view title, int width, int image, bool fixed, int reserved, int format) {
    ListColumn column;
    column.title = std::string(title);
    column.width = std::max(width, 0);
    column.fixed = fixed;
    column.reserved = reserved;
    column.format = format;
    column.image = image;
    column.id = ColumnCount();
    if (title.empty() && image >= 0) {
        // A picture-only header is just wide enough for its picture.
        column.width = rowImageWidth_ + 5;
        column.format |= kListAlignCenter;
    }
    columns_.push_back(std::move(column));
    order_.push_back(columns_.back().id);
    for (ListRow& row : rows_) row.cells.emplace_back();
    return columns_.back().id;
}

void ListModel::DeleteAllColumns() {
    columns_.clear();
    order_.clear();
    for (ListRow& row : rows_) row.cells.clear();
    focusColumn_ = -1;
    hotRow_ = hotColumn_ = -1;
}

const ListColumn* ListModel::GetColumn(int column) const {
    if (column < 0 || column >= ColumnCount()) return nullptr;
    return &columns_[static_cast<std::size_t>(column)];
}

bool ListModel::SetColumnWidth(int column, int width) {
    if (column < 0 || column >= ColumnCount()) return false;
    ListColumn& target = columns_[static_cast<std::size_t>(column)];
    if (target.fixed) return false;
    target.width = std::max(width, 0);
    return true;
}

bool ListModel::MoveColumn(int from, int insertBefore) {
    const int count = static_cast<int>(order_.size());
    if (from < 0 || from >= count || insertBefore < 0 || insertBefore > count) return false;
    if (insertBefore == from || insertBefore == from + 1) return false;
    const int id = order_[static_cast<std::size_t>(from)];
    order_.erase(order_.begin() + from);
    const int to = insertBefore > from ? insertBefore - 1 : insertBefore;
    order_.insert(order_.begin() + to, id);
    return true;
}

// ---- rows and cells ----

int ListModel::AddRow(std::string_view text, int image, int format, int flags) {
    // A row without a column would have nowhere to keep its text.
    if (columns_.empty() || rows_.size() >= static_cast<std::size_t>(INT32_MAX)) return -1;
    ListRow row;
    row.cells.resize(columns_.size());
    for (ListCell& cell : row.cells) {
        cell.format = format;
        cell.flags = flags;
    }
    row.cells.front().text = std::string(text);
    row.cells.front().image = image;
    rows_.push_back(std::move(row));
    return RowCount() - 1;
}

bool ListModel::ValidCell(int row, int column) const {
    return row >= 0 && row < RowCount() && column >= 0 && column < ColumnCount();
}

const ListRow* ListModel::GetRow(int row) const {
    if (row < 0 || row >= RowCount()) return nullptr;
    return &rows_[static_cast<std::size_t>(row)];
}

const ListCell* ListModel::GetCell(int row, int column) const {
    if (!ValidCell(row, column)) return nullptr;
    return &rows_[static_cast<std::size_t>(row)].cells[static_cast<std::size_t>(column)];
}

ListCell* ListModel::MutableCell(int row, int column) {
    if (!ValidCell(row, column)) return nullptr;
    return &rows_[static_cast<std::size_t>(row)].cells[static_cast<std::size_t>(column)];
}

std::string_view ListModel::GetCellText(int row, int column) const {
    const ListCell* cell = GetCell(row, column);
    return cell ? std::string_view(cell->text) : std::string_view();
}

bool ListModel::SetCellText(int row, int column, std::string_view text) {
    ListCell* cell = MutableCell(row, column);
    if (!cell) return false;
    cell->text = std::string(text);  // a copy first: the text may be this cell's own
    return true;
}

bool ListModel::SetCellImage(int row, int column, int image) {
    ListCell* cell = MutableCell(row, column);
    if (!cell) return false;
    cell->image = image;
    return true;
}

bool ListModel::SetCellFormat(int row, int column, int format, int flags) {
    ListCell* cell = MutableCell(row, column);
    if (!cell) return false;
    cell->format = format;
    cell->flags = flags;
    if (row == hotRow_ && column == hotColumn_ && !IsLinkCell(row, column)) hotRow_ = hotColumn_ = -1;
    return true;
}

bool ListModel::SetCellDate(int row, int column, FileTime date) {
    ListCell* cell = MutableCell(row, column);
    if (!cell) return false;
    cell->date = date;
    return true;
}

bool ListModel::SetCellColors(int row, int column, ColorRef background, ColorRef text) {
    ListCell* cell = MutableCell(row, column);
    if (!cell) return false;
    cell->background = background;
    cell->textColor = text;
    return true;
}

bool ListModel::SetRowText(int row, std::string_view text) {
    if (row < 0 || row >= RowCount()) return false;
    rows_[static_cast<std::size_t>(row)].text = std::string(text);
    return true;
}

bool ListModel::SetRowItem(int row, uint64_t item) {
    if (row < 0 || row >= RowCount()) return false;
    rows_[static_cast<std::size_t>(row)].item = item;
    return true;
}

bool ListModel::DeleteRow(int row) {
    if (row < 0 || row >= RowCount()) return false;
    rows_.erase(rows_.begin() + row);
    // The selection keeps naming the same records: an owner that deletes
    // its selected rows one by one must not end up with other rows selected.
    selection_.RowRemoved(row);
    if (hotRow_ == row) {
        hotRow_ = hotColumn_ = -1;
    } else if (hotRow_ > row) {
        --hotRow_;
    }
    if (selection_.size() > 1) focusColumn_ = -1;
    return true;
}

int ListModel::DeleteRows(std::vector<int> rows) {
    std::vector<int> newIndexOf(rows_.size(), 0);
    for (int row : rows) {
        if (row >= 0 && row < RowCount()) newIndexOf[static_cast<std::size_t>(row)] = -1;
    }
    std::vector<ListRow> kept;
    kept.reserve(rows_.size());
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        if (newIndexOf[row] < 0) continue;
        newIndexOf[row] = static_cast<int>(kept.size());
        kept.push_back(std::move(rows_[row]));
    }
    const int deleted = RowCount() - static_cast<int>(kept.size());
    if (deleted == 0) return 0;
    rows_ = std::move(kept);
    selection_.Remap(newIndexOf);
    hotRow_ = hotColumn_ = -1;
    return deleted;
}

void ListModel::DeleteAllRows() {
    rows_.clear();
    selection_ = ListSelection();
    focusColumn_ = -1;
    hotRow_ = hotColumn_ = -1;
}

// ---- selection ----

int ListModel::SelectedRow() const {
    if (selection_.Contains(selection_.active())) return selection_.active();
    return selection_.empty() ? -1 : selection_.rows().front();
}

void ListModel::Select(int row, int column, unsigned modifiers) {
    const auto change = ApplySelect(selection_, row, RowCount(), modifiers, !options_.singleSelection);
    if (!change) return;
    const bool removedByControl =
        (modifiers & kModifierControl) != 0 && selection_.Contains(row) && !change->selection.Contains(row);
    selection_ = change->selection;
    if (row < 0) {
        focusColumn_ = -1;
    } else if (!removedByControl) {
        focusColumn_ = selection_.size() > 1 || column < 0 || column >= ColumnCount() ? -1 : column;
    }
    if (change->notify) Notify(LISTNOTE_SELECTION, selection_.active(), focusColumn_);
}

void ListModel::SelectAll() {
    if (options_.singleSelection || rows_.empty()) return;
    selection_.ClearRows();
    selection_.AddRange(0, RowCount() - 1);
    focusColumn_ = selection_.size() > 1 ? -1 : focusColumn_;
}

void ListModel::SelectRectangle(const ListSelection& atStart, int firstRow, int lastRow, unsigned modifiers) {
    if (options_.singleSelection) return;
    const int count = RowCount();
    ListSelection next;
    if ((modifiers & kModifierControl) != 0) {
        for (int row : atStart.rows()) {
            if (row < count) next.Add(row);
        }
    }
    firstRow = std::min(firstRow, count - 1);
    lastRow = std::min(lastRow, count - 1);
    if (firstRow >= 0 && lastRow >= 0) next.AddRange(firstRow, lastRow);
    next.SetAnchor(firstRow >= 0 ? firstRow : (atStart.anchor() < count ? atStart.anchor() : -1));
    next.SetActive(lastRow >= 0 ? lastRow : (atStart.active() < count ? atStart.active() : -1));
    const bool changed = next.rows() != selection_.rows();
    selection_ = std::move(next);
    if (selection_.size() > 1) focusColumn_ = -1;
    if (changed && selection_.active() >= 0) Notify(LISTNOTE_SELECTION, selection_.active(), focusColumn_);
}

// ---- mouse ----

void ListModel::LeftButtonDown(int row, int column, unsigned modifiers) {
    if (row < 0 || row >= RowCount()) {
        ClearAnchor();
        return;
    }
    // A press inside a multiple selection keeps it, so that it can be
    // dragged; the release makes the row the only one.
    const bool partOfMultiple = selection_.size() > 1 && selection_.Contains(row);
    if ((modifiers & (kModifierShift | kModifierControl)) != 0 || !partOfMultiple)
        Select(row, column, modifiers);

    // Looked up again: the parent may have changed the list meanwhile.
    const ListCell* cell = GetCell(row, column);
    if (!cell || (cell->flags & kListCellDisabled) != 0) return;
    if (IsCheckFormat(cell->format)) {
        ToggleCheck(row, column);
    } else if (cell->format == kListCellHyperlink) {
        Notify(LISTNOTE_LINKCLICK, row, column);
    }
}

void ListModel::LeftButtonUp(int row, int column, unsigned modifiers, bool dragged) {
    const bool onRow = row >= 0 && row < RowCount();
    if (onRow && !dragged && (modifiers & (kModifierShift | kModifierControl)) == 0 &&
        selection_.size() > 1 && selection_.Contains(row)) {
        Select(row, column, 0);
    }
    const bool validColumn = column >= 0 && column < ColumnCount();
    Notify(LISTNOTE_CLICK, onRow ? row : -1, onRow && validColumn ? column : -1);
}

void ListModel::RightButtonDown(int row, int column, unsigned modifiers) {
    if (row >= 0 && row < RowCount() && !selection_.Contains(row)) Select(row, column, modifiers);
}

void ListModel::RightButtonUp(int row, int column) {
    const bool onRow = row >= 0 && row < RowCount();
    const bool validColumn = column >= 0 && column < ColumnCount();
    Notify(LISTNOTE_CONTEXT, onRow ? row : -1, onRow && validColumn ? column : -1);
}

void ListModel::Activate(int row, int column) {
    const bool onRow = row >= 0 && row < RowCount();
    const bool validColumn = column >= 0 && column < ColumnCount();
    Notify(LISTNOTE_ACTIVATE, onRow ? row : -1, onRow && validColumn ? column : -1);
}

bool ListModel::IsLinkCell(int row, int column) const {
    const ListCell* cell = GetCell(row, column);
    return cell && cell->format == kListCellHyperlink && (cell->flags & kListCellDisabled) == 0;
}

bool ListModel::IsEditableInPlace(int row, int column) const {
    const ListCell* cell = GetCell(row, column);
    return cell && cell->format == kListCellEditText && (cell->flags & kListCellDisabled) == 0;
}

bool ListModel::SetHotCell(int row, int column) {
    if (!IsLinkCell(row, column)) row = column = -1;
    if (row == hotRow_ && column == hotColumn_) return false;
    hotRow_ = row;
    hotColumn_ = column;
    return true;
}

bool ListModel::ToggleCheck(int row, int column) {
    ListCell* cell = MutableCell(row, column);
    if (!cell || !IsCheckFormat(cell->format) || (cell->flags & kListCellDisabled) != 0) return false;
    const int state = CheckState(cell->text);
    std::string_view next;
    if (cell->format == kListCellCheckBox) {
        next = state > 0 ? "0" : "1";
    } else {
        next = state == 0 ? "1" : state > 0 ? "-1" : "0";  // 0, 1, -1, 0, ...
    }
    cell->text = std::string(next);
    Notify(LISTNOTE_VALUECHANGED, row, column);
    return true;
}

// ---- keyboard ----

ListKeyResult ListModel::KeyDown(int key, unsigned modifiers, int pageRows) {
    ListKeyResult result;
    const bool control = (modifiers & kModifierControl) != 0;
    switch (key) {
        case kListKeyUp:
        case kListKeyDown:
        case kListKeyPageUp:
        case kListKeyPageDown:
        case kListKeyHome:
        case kListKeyEnd:
            return MoveFocus(key, modifiers, pageRows);
        case kListKeyLeft:
        case kListKeyRight:
        case kListKeyTab: {
            const int step =
                key == kListKeyLeft || (key == kListKeyTab && (modifiers & kModifierShift)) ? -1 : 1;
            if (options_.cellFocus) {
                if (order_.empty()) return result;
                const auto at = std::find(order_.begin(), order_.end(), focusColumn_);
                int position = at == order_.end() ? 0 : static_cast<int>(at - order_.begin()) + step;
                position = std::clamp(position, 0, static_cast<int>(order_.size()) - 1);
                focusColumn_ = order_[static_cast<std::size_t>(position)];
                result.handled = result.redraw = true;
            } else if (key != kListKeyTab) {
                result.scrollXBy = step * (control ? 50 : 5);
                result.handled = true;
            }
            return result;
        }
        case kListKeySpace:
            result.handled = result.redraw = ToggleCheck(selection_.active(), focusColumn_);
            return result;
        default:
            break;
    }
    if (key >= 'A' && key <= 'Z') {
        if (control) {
            if (key == 'A' && !options_.singleSelection) {
                SelectAll();
                result.handled = result.redraw = true;
            }
            return result;
        }
        TypeAhead(static_cast<char>(key), result);
    }
    return result;
}

ListKeyResult ListModel::MoveFocus(int key, unsigned modifiers, int pageRows) {
    ListKeyResult result;
    result.handled = true;
    const int count = RowCount();
    if (count == 0) return result;
    const int from = selection_.active();
    const int page = std::max(pageRows - 1, 1);
    int to = 0;
    switch (key) {
        case kListKeyUp:
            to = from < 0 ? 0 : from - 1;
            break;
        case kListKeyDown:
            to = from < 0 ? 0 : from + 1;
            break;
        case kListKeyPageUp:
            to = from < 0 ? 0 : from - page;
            break;
        case kListKeyPageDown:
            to = from < 0 ? 0 : from + std::min(page, count);
            break;
        case kListKeyHome:
            to = 0;
            break;
        default:
            to = count - 1;
            break;
    }
    to = std::clamp(to, 0, count - 1);
    if ((modifiers & kModifierControl) != 0) {
        selection_.SetActive(to);
        result.redraw = true;
    } else {
        Select(to, focusColumn_, modifiers & kModifierShift);
        result.redraw = true;
    }
    result.rowToShow = to < RowCount() ? to : -1;
    return result;
}

void ListModel::TypeAhead(char letter, ListKeyResult& result) {
    const uint32_t now = clock_.TickMs();
    const bool quick = !typed_.empty() && now - lastTypeTick_ < kTypeAheadMs;  // wraps safely
    lastTypeTick_ = now;

    // Where the search starts, and whether a focus row that still matches
    // stays where it is.
    enum class Search { FromTop, AfterFocus, ExtendedText };
    Search search = Search::FromTop;
    if (quick) {
        if (typed_.size() == 1 && typed_[0] == letter) {
            search = Search::AfterFocus;  // the same letter again steps through its rows
        } else {
            typed_ += letter;
            search = Search::ExtendedText;
        }
    } else {
        search = !typed_.empty() && typed_[0] == letter ? Search::AfterFocus : Search::FromTop;
        typed_.assign(1, letter);
    }

    result.handled = true;
    const int count = RowCount();
    if (sortColumn_ < 0 || sortColumn_ >= ColumnCount() || count == 0) return;
    const int focus = selection_.active() < count ? selection_.active() : -1;
    if (search == Search::ExtendedText && focus >= 0 &&
        StartsWithIgnoringCase(GetCellText(focus, sortColumn_), typed_)) {
        return;
    }
    const int start = search == Search::FromTop || focus < 0 ? 0 : focus + 1;
    for (int step = 0; step < count; ++step) {
        const int row = (start + step) % count;
        if (StartsWithIgnoringCase(GetCellText(row, sortColumn_), typed_)) {
            Select(row, sortColumn_, 0);
            result.rowToShow = row < RowCount() ? row : -1;
            result.redraw = true;
            return;
        }
    }
}

// ---- sorting ----

bool ListModel::IsDateColumnTitle(std::string_view title) {
    return title.find("Last") != std::string_view::npos || title.find("Expire") != std::string_view::npos;
}

int ListModel::SortGlyph(int column) const {
    const ListColumn* target = GetColumn(column);
    if (!target || column != sortColumn_ || target->fixed || target->width <= 15) return -1;
    return ascending_ ? 1 : 0;
}

bool ListModel::HeaderClick(int column) {
    if (!options_.headerShown || !options_.sortableHeaders) return false;
    if (column < 0 || column >= ColumnCount()) return false;
    if (column == sortColumn_) {
        // The second click turns the present order round exactly; equal
        // keys keep their places relative to each other.
        ascending_ = !ascending_;
        const int count = RowCount();
        std::reverse(rows_.begin(), rows_.end());
        std::vector<int> newIndexOf(rows_.size());
        for (int row = 0; row < count; ++row) newIndexOf[static_cast<std::size_t>(row)] = count - 1 - row;
        selection_.Remap(newIndexOf);
        if (hotRow_ >= 0) hotRow_ = count - 1 - hotRow_;
        return true;
    }
    sortColumn_ = column;
    ascending_ = true;
    SortBy(column);
    return true;
}

void ListModel::SortBy(int column) {
    const std::size_t count = rows_.size();
    const auto cellOf = [column](const ListRow& row) -> const ListCell& {
        return row.cells[static_cast<std::size_t>(column)];
    };
    // The keys are gathered into one array first: comparing them there is
    // far cheaper than chasing every row's cells on each comparison.
    std::vector<int> sorted;
    if (IsDateColumnTitle(columns_[static_cast<std::size_t>(column)].title)) {
        std::vector<std::pair<uint64_t, int>> keys(count);
        for (std::size_t row = 0; row < count; ++row)
            keys[row] = {cellOf(rows_[row]).date.ticks, static_cast<int>(row)};
        std::sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        sorted.resize(count);
        for (std::size_t at = 0; at < count; ++at) sorted[at] = keys[at].second;
    } else {
        sorted = SortedTextOrder(rows_, static_cast<std::size_t>(column));
    }
    std::vector<int> newIndexOf(count);
    for (std::size_t at = 0; at < count; ++at)
        newIndexOf[static_cast<std::size_t>(sorted[at])] = static_cast<int>(at);
    Reorder(std::move(newIndexOf));
}

void ListModel::Reorder(std::vector<int> newIndexOf) {
    // The selection and the focus stay on their records, not on positions.
    selection_.Remap(newIndexOf);
    if (hotRow_ >= 0) hotRow_ = newIndexOf[static_cast<std::size_t>(hotRow_)];
    // In place, cycle by cycle: each swap puts one row where it belongs.
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        while (static_cast<std::size_t>(newIndexOf[row]) != row) {
            const auto to = static_cast<std::size_t>(newIndexOf[row]);
            std::swap(rows_[row], rows_[to]);
            std::swap(newIndexOf[row], newIndexOf[to]);
        }
    }
}

// ---- sizing and editing ----

bool ListModel::AutoSizeColumn(int column, const TextMeasure& measure) {
    if (column < 0 || column >= ColumnCount() || !measure) return false;
    ListColumn& target = columns_[static_cast<std::size_t>(column)];
    if (target.fixed) return false;
    int width = measure(target.title) + 20;
    for (const ListRow& row : rows_) {
        const ListCell& cell = row.cells[static_cast<std::size_t>(column)];
        width = std::max(width, measure(cell.text) + (cell.image >= 0 ? rowImageWidth_ : 0) + 20);
    }
    target.width = std::max(width, 0);
    return true;
}

ListEditResult ListModel::EndEdit(int row, int column, int key, std::string_view text,
                                  const SystemTime* date) {
    ListEditResult result;
    ListCell* cell = MutableCell(row, column);
    if (!cell || key == kListKeyEscape) return result;
    if (key == kListKeyDelete) {
        cell->text.clear();
    } else if (date) {
        cell->text = LeadingNumber(text) != 0 ? DateEditText(*date) : std::string();
    } else {
        cell->text = std::string(text);
    }
    result.stored = true;
    result.postTab = key == kListKeyTab;
    Notify(LISTNOTE_VALUECHANGED, row, column);
    return result;
}

void ListModel::Notify(int code, int row, int column) {
    if (!sink_) return;
    ListNotify notify;
    notify.code = code;
    notify.row = row;
    notify.column = column;
    sink_->Notify(notify);
}

}  // namespace qm
