#include <gtest/gtest.h>

#include "settings/date_formatter.h"

namespace qm {
namespace {

SystemTime Date(uint16_t year, uint16_t month, uint16_t day) {
    SystemTime date;
    date.year = year;
    date.month = month;
    date.day = day;
    return date;
}

std::string Format(std::string effectiveTemplate, SystemTime date) {
    return DateFormatter(std::move(effectiveTemplate))(date);
}

TEST(DateFormatter, RendersTheOfferedTemplates) {
    const SystemTime march5 = Date(2026, 3, 5);
    EXPECT_EQ(Format("dd.MM.yyyy", march5), "05.03.2026");
    EXPECT_EQ(Format("dd.MM.yy", march5), "05.03.26");
    EXPECT_EQ(Format("d.M.yy", march5), "5.3.26");
    EXPECT_EQ(Format("yyyy-MM-dd", march5), "2026-03-05");
    EXPECT_EQ(Format("MM.dd.yyyy", march5), "03.05.2026");
    EXPECT_EQ(Format("M.d.yyyy", march5), "3.5.2026");
    EXPECT_EQ(Format("yy/MM/dd", march5), "26/03/05");
    EXPECT_EQ(Format("d.M.yy", Date(2009, 1, 1)), "1.1.09");
    EXPECT_EQ(Format("dd.MM.yyyy", Date(2025, 12, 31)), "31.12.2025");
}

TEST(DateFormatter, ShortYearKeepsTheLastTwoDigits) {
    EXPECT_EQ(Format("yy", Date(2000, 1, 1)), "00");
    EXPECT_EQ(Format("yy", Date(2009, 1, 1)), "09");
    EXPECT_EQ(Format("dd.MM.yy", Date(1999, 7, 4)), "04.07.99");
}

TEST(DateFormatter, NeverTreatsTemplateTextAsAFormat) {
    const SystemTime date = Date(2026, 3, 5);
    EXPECT_EQ(Format("%n.%s.%x", date), "%n.%s.%x");
    EXPECT_EQ(Format("dd.%n.yyyy", date), "05.%n.2026");
    EXPECT_EQ(Format("%s%s%s%s%s%s%s%s%s%s", date), "%s%s%s%s%s%s%s%s%s%s");
    // "%" is the separator here, and stays a plain character.
    EXPECT_EQ(Format("dd%%MM", date), "05%%03");
}

TEST(DateFormatter, RendersAFieldThatAppearsTwiceBothTimes) {
    EXPECT_EQ(Format("dd.dd.yyyy", Date(2026, 3, 5)), "05.05.2026");
    EXPECT_EQ(Format("yyyy/yyyy", Date(2026, 3, 5)), "2026/2026");
}

TEST(DateFormatter, EdgeTemplates) {
    const SystemTime date = Date(2026, 3, 5);
    EXPECT_EQ(Format("", date), "");
    // Letters only: one field, rendered only when it is a token.
    EXPECT_EQ(Format("ddMMyyyy", date), "ddMMyyyy");
    EXPECT_EQ(Format("yyyy", date), "2026");
    EXPECT_EQ(Format("d", date), "5");
    // A 31-character template, the longest the settings hold.
    const std::string longest = "dd.MM.yyyy.dd.MM.yyyy.dd.MM.yyy";
    ASSERT_EQ(longest.size(), 31u);
    EXPECT_EQ(Format(longest, date), "05.03.2026.05.03.2026.05.03.yyy");
    // Unknown fields and empty fields are kept.
    EXPECT_EQ(Format("dd..MM.day", date), "05..03.day");
    EXPECT_EQ(Format(".dd.", date), ".05.");
    // The separator is the first non-letter; other non-letters stay inside fields.
    EXPECT_EQ(Format("dd/MM-yyyy", date), "05/MM-yyyy");
}

TEST(DateFormatter, OneLetterMonthOrTwoLetterYearWinsOverTheOtherForm) {
    const SystemTime date = Date(2026, 3, 5);
    EXPECT_EQ(Format("M.MM", date), "3.MM");
    EXPECT_EQ(Format("yy.yyyy", date), "26.yyyy");
}

TEST(DateFormatter, OnlyTheDateIsUsed) {
    SystemTime date = Date(2026, 3, 5);
    date.hour = 23;
    date.minute = 59;
    EXPECT_EQ(Format("dd.MM.yyyy", date), "05.03.2026");
}

TEST(DateCell, ShowsUnknownForTimesThatConvertToYear1601OrNotAtAll) {
    const DateFormatter formatter("dd.MM.yyyy");
    EXPECT_EQ(DateCellText(FileTime{0}, formatter), "unknown");
    const FileTime lastDayOf1601 = *ToFileTime(Date(1601, 12, 31));
    EXPECT_EQ(DateCellText(lastDayOf1601, formatter), "unknown");
    const FileTime firstDayOf1602 = *ToFileTime(Date(1602, 1, 1));
    EXPECT_EQ(DateCellText(firstDayOf1602, formatter), "01.01.1602");
    EXPECT_EQ(DateCellText(FileTime{0x8000'0000'0000'0000ull}, formatter), "unknown");
    EXPECT_EQ(DateCellText(FileTime{0xFFFF'FFFF'FFFF'FFFFull}, formatter), "unknown");
    EXPECT_EQ(DateCellText(*ToFileTime(Date(2026, 3, 5)), formatter), "05.03.2026");
}

TEST(DateSample, RendersTheListedTemplateWithTheChosenSeparator) {
    const SystemTime date = Date(2026, 3, 5);
    EXPECT_EQ(DateSample("dd.MM.yyyy", ".", date), "05.03.2026");
    EXPECT_EQ(DateSample("yy.MM.dd", "/", date), "26/03/05");
    EXPECT_EQ(DateSample("M.d.yyyy", "-", date), "3-5-2026");
}

}  // namespace
}  // namespace qm
