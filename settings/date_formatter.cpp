#include "settings/date_formatter.h"

#include <vector>

namespace qm {
namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

std::string Number(unsigned value, unsigned minDigits) {
    std::string digits = std::to_string(value);
    if (digits.size() < minDigits) digits.insert(0, minDigits - digits.size(), '0');
    return digits;
}

std::vector<std::string_view> SplitFields(std::string_view text, std::string_view separator) {
    if (separator.empty()) return {text};
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        fields.push_back(text.substr(start, end - start));
        if (end == std::string_view::npos) break;
        start = end + separator.size();
    }
    return fields;
}

bool HasField(const std::vector<std::string_view>& fields, std::string_view token) {
    for (std::string_view field : fields)
        if (field == token) return true;
    return false;
}

// Renders whole fields only: "d", "dd", "M", "MM", "yy", "yyyy". Where a
// template holds both forms of the month, the one-letter form wins and the
// other stays as written; the same goes for "yy" over "yyyy". Everything
// else, "%" included, is copied as it stands.
std::string RenderFields(const std::vector<std::string_view>& fields, std::string_view separator,
                         const SystemTime& date) {
    const bool shortMonth = HasField(fields, "M");
    const bool shortYear = HasField(fields, "yy");
    const std::string year = std::to_string(date.year);

    std::string out;
    for (std::size_t index = 0; index < fields.size(); ++index) {
        if (index > 0) out.append(separator);
        const std::string_view field = fields[index];
        if (field == "d")
            out += Number(date.day, 1);
        else if (field == "dd")
            out += Number(date.day, 2);
        else if (field == "M")
            out += Number(date.month, 1);
        else if (field == "MM" && !shortMonth)
            out += Number(date.month, 2);
        else if (field == "yy")
            out += year.substr(year.size() >= 2 ? year.size() - 2 : 0);
        else if (field == "yyyy" && !shortYear)
            out += year;
        else
            out.append(field);
    }
    return out;
}

}  // namespace

std::string DateFormatter::operator()(const SystemTime& date) const {
    // The fields are separated by the first character that is not a letter;
    // a template of letters only is a single field.
    std::string_view separator;
    for (std::size_t i = 0; i < template_.size(); ++i) {
        if (!IsLetter(template_[i])) {
            separator = std::string_view(template_).substr(i, 1);
            break;
        }
    }
    return RenderFields(SplitFields(template_, separator), separator, date);
}

std::string DateCellText(FileTime time, const DateFormatter& formatter) {
    auto date = ToSystemTime(time);
    if (!date || date->year <= 1601) return "unknown";
    return formatter(*date);
}

std::string DateSample(std::string_view listedTemplate, std::string_view separator, const SystemTime& date) {
    return RenderFields(SplitFields(listedTemplate, "."), separator, date);
}

}  // namespace qm
