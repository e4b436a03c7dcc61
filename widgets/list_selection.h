// The selection of a list as a value: the selected rows (ascending, no
// duplicates), the anchor where Shift ranges start, and the active row that
// has the focus. -1 stands for "no anchor" and "no active row". Copy it,
// compare it, print it: ToString() gives "active=7 anchor=2 selection=2 3 4".
//
// ApplySelect is the one rule for every selection change of the list (click,
// keys, the owner's select): it builds the next value from the current one
// and says whether the list tells its parent.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace qm {

// Modifier bits as the mouse messages carry them.
inline constexpr unsigned kModifierShift = 0x04;
inline constexpr unsigned kModifierControl = 0x08;

class ListSelection {
public:
    const std::vector<int>& rows() const { return rows_; }
    int anchor() const { return anchor_; }
    int active() const { return active_; }
    bool empty() const { return rows_.empty(); }
    std::size_t size() const { return rows_.size(); }
    bool Contains(int row) const;

    void Add(int row);
    // Adds every row from first to last, in either order.
    void AddRange(int first, int last);
    void Remove(int row);
    // Empties the selected rows; anchor and active row stay.
    void ClearRows() { rows_.clear(); }
    void SetAnchor(int row) { anchor_ = row; }
    void SetActive(int row) { active_ = row; }

    // Keeps the value pointing at the same rows when the list changes under
    // it: row `removed` went away and the rows after it moved up by one.
    void RowRemoved(int removed);
    // The rows were reordered: the row that was at index i is now at
    // newIndexOf[i]. Indexes outside the table are dropped.
    void Remap(const std::vector<int>& newIndexOf);

    std::string ToString() const;

    friend bool operator==(const ListSelection&, const ListSelection&) = default;

private:
    std::vector<int> rows_;
    int anchor_ = -1;
    int active_ = -1;
};

struct SelectionChange {
    ListSelection selection;
    // True when the parent hears of it (LISTNOTE_SELECTION).
    bool notify = false;
};

// Select(row, modifiers) on a list of rowCount rows:
// - a row at or past the end (or below -1) does nothing: nullopt;
// - row -1 empties the selection, anchor and active row, silently;
// - Shift, where several rows may be selected: exactly the rows from the
//   anchor to the row (the anchor becomes the row when unset);
// - Control: a selected row is removed and becomes anchor and active row,
//   silently; any other row is added (alone in a single-selection list);
// - neither: the only selected row again only takes the focus; any other
//   row becomes the only selected row.
// The row becomes the active row, and the anchor except after a Shift range.
// The parent is told only when the set of selected rows changed.
std::optional<SelectionChange> ApplySelect(const ListSelection& current, int row, int rowCount,
                                           unsigned modifiers, bool multipleAllowed);

}  // namespace qm
