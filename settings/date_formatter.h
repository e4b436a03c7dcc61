// Renders a calendar date in the user's short date template ("dd.MM.yyyy",
// "d/M/yy", ...). The template comes from the registry, where anyone can
// write anything, so it is never used as a printf format: the fields are
// rendered here and any other text is copied as it stands.
#pragma once

#include <string>
#include <string_view>

#include "platform/types.h"

namespace qm {

class DateFormatter {
public:
    explicit DateFormatter(std::string effectiveTemplate = "dd.MM.yyyy")
        : template_(std::move(effectiveTemplate)) {}

    // Only the year, month and day are used. Never fails.
    std::string operator()(const SystemTime& date) const;

    const std::string& effectiveTemplate() const { return template_; }

private:
    std::string template_;
};

// The text of a date cell: the formatted date when the time converts to a
// year after 1601, else "unknown" (an unset time).
std::string DateCellText(FileTime time, const DateFormatter& formatter);

// The Options dialog's sample: the template as listed (fields separated by
// ".") rendered with the chosen separator.
std::string DateSample(std::string_view listedTemplate, std::string_view separator, const SystemTime& date);

}  // namespace qm
