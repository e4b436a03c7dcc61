#include "widgets/list_selection.h"

#include <algorithm>

namespace qm {

bool ListSelection::Contains(int row) const {
    return std::binary_search(rows_.begin(), rows_.end(), row);
}

void ListSelection::Add(int row) {
    // Rows usually arrive in ascending order (select all, ranges): append.
    if (rows_.empty() || rows_.back() < row) {
        rows_.push_back(row);
        return;
    }
    const auto at = std::lower_bound(rows_.begin(), rows_.end(), row);
    if (at == rows_.end() || *at != row) rows_.insert(at, row);
}

void ListSelection::AddRange(int first, int last) {
    if (first > last) std::swap(first, last);
    if (rows_.empty() || rows_.back() < first) {
        rows_.reserve(rows_.size() + static_cast<std::size_t>(last - first) + 1);
        for (int row = first; row <= last; ++row) rows_.push_back(row);
        return;
    }
    for (int row = first; row <= last; ++row) Add(row);
}

void ListSelection::Remove(int row) {
    const auto at = std::lower_bound(rows_.begin(), rows_.end(), row);
    if (at != rows_.end() && *at == row) rows_.erase(at);
}

void ListSelection::RowRemoved(int removed) {
    auto at = std::lower_bound(rows_.begin(), rows_.end(), removed);
    if (at != rows_.end() && *at == removed) at = rows_.erase(at);
    for (; at != rows_.end(); ++at) --*at;
    auto follow = [removed](int& row) {
        if (row == removed) {
            row = -1;
        } else if (row > removed) {
            --row;
        }
    };
    follow(anchor_);
    follow(active_);
}

void ListSelection::Remap(const std::vector<int>& newIndexOf) {
    auto map = [&newIndexOf](int row) {
        return row >= 0 && static_cast<std::size_t>(row) < newIndexOf.size() ? newIndexOf[row] : -1;
    };
    std::vector<int> mapped;
    mapped.reserve(rows_.size());
    for (int row : rows_) {
        if (const int to = map(row); to >= 0) mapped.push_back(to);
    }
    std::sort(mapped.begin(), mapped.end());
    mapped.erase(std::unique(mapped.begin(), mapped.end()), mapped.end());
    rows_ = std::move(mapped);
    anchor_ = map(anchor_);
    active_ = map(active_);
}

std::string ListSelection::ToString() const {
    std::string text =
        "active=" + std::to_string(active_) + " anchor=" + std::to_string(anchor_) + " selection=";
    for (std::size_t index = 0; index < rows_.size(); ++index) {
        if (index > 0) text += ' ';
        text += std::to_string(rows_[index]);
    }
    return text;
}

std::optional<SelectionChange> ApplySelect(const ListSelection& current, int row, int rowCount,
                                           unsigned modifiers, bool multipleAllowed) {
    if (row < -1 || row >= rowCount) return std::nullopt;
    SelectionChange change{current, false};
    ListSelection& next = change.selection;
    if (row == -1) {
        next = ListSelection();
        return change;
    }

    if ((modifiers & kModifierShift) != 0 && multipleAllowed) {
        // An anchor left over from a longer list counts as unset.
        if (next.anchor() < 0 || next.anchor() >= rowCount) next.SetAnchor(row);
        next.ClearRows();
        next.AddRange(next.anchor(), row);
        next.SetActive(row);
    } else if ((modifiers & kModifierControl) != 0) {
        if (current.Contains(row)) {
            next.Remove(row);
            next.SetAnchor(row);
            next.SetActive(row);
            return change;  // an unselect is never announced
        }
        if (!multipleAllowed) next.ClearRows();
        next.Add(row);
        next.SetAnchor(row);
        next.SetActive(row);
    } else if (current.size() == 1 && current.Contains(row)) {
        next.SetActive(row);
        return change;
    } else {
        next.ClearRows();
        next.Add(row);
        next.SetAnchor(row);
        next.SetActive(row);
    }
    change.notify = next.rows() != current.rows();
    return change;
}

}  // namespace qm
