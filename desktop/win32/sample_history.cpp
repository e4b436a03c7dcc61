#include "desktop/win32/sample_history.h"

#include <array>
#include <string_view>

namespace qm {
namespace {

struct SampleVisit {
    std::u16string_view url;
    std::u16string_view title;  // empty: the visit has no title
};

constexpr std::array kVisits = {
    SampleVisit{u"http://www.example.com/", u"Example Domain"},
    SampleVisit{u"http://www.example.com/about.html", u"About us"},
    SampleVisit{u"https://mail.example.net/inbox", u"Inbox (3)"},
    SampleVisit{u"https://mail.example.net/compose", u"Compose"},
    SampleVisit{u"http://news.example.org/", u"Morning headlines"},
    SampleVisit{u"http://news.example.org/world/2006/harbour-bridge.html", u"The harbour bridge reopens"},
    SampleVisit{u"http://news.example.org/sport/results.html", u"Results"},
    SampleVisit{u"http://weather.example.org/forecast?city=Lyon", u"Forecast for Lyon"},
    SampleVisit{u"http://weather.example.org/forecast?city=Porto", u"Forecast for Porto"},
    SampleVisit{u"https://bank.example.com/login", u"Sign in"},
    SampleVisit{u"https://bank.example.com/accounts/summary", u"Your accounts"},
    SampleVisit{u"http://shop.example.com/garden/watering-cans", u"Watering cans"},
    SampleVisit{u"http://shop.example.com/basket", u"Your basket"},
    SampleVisit{u"http://recipes.example.net/bread/sourdough.htm", u"A sourdough loaf"},
    SampleVisit{u"http://recipes.example.net/soup/leek-and-potato.htm", u"Leek and potato soup"},
    SampleVisit{u"http://maps.example.com/?q=railway+station", u"Railway station - Maps"},
    SampleVisit{u"http://forum.example.org/thread/4411", u"Which printer driver?"},
    SampleVisit{u"http://forum.example.org/thread/4417", u"Cleaning a keyboard"},
    SampleVisit{u"http://downloads.example.com/tools/setup.exe", u""},
    SampleVisit{u"http://photos.example.net/albums/holiday", u"Holiday album"},
    SampleVisit{u"http://photos.example.net/albums/holiday/img_0042.jpg", u""},
    SampleVisit{u"http://library.example.org/catalogue?author=Woolf", u"Catalogue search"},
    SampleVisit{u"http://trains.example.com/timetable/line-4", u"Line 4 timetable"},
    SampleVisit{u"http://cinema.example.com/this-week", u"Showing this week"},
    SampleVisit{u"http://dictionary.example.org/word/quill", u"quill - Dictionary"},
    SampleVisit{u"http://dictionary.example.org/word/mere", u"mere - Dictionary"},
    SampleVisit{u"http://help.example.com/faq.html#cookies", u"Questions about cookies"},
    SampleVisit{u"http://www.example.edu/courses/astronomy-101", u"Astronomy 101"},
    SampleVisit{u"http://www.example.edu/library/hours.html", u"Library hours"},
    SampleVisit{u"file:///C:/Documents%20and%20Settings/user/My%20Documents/notes.html", u"notes"},
    SampleVisit{u"http://radio.example.net/listen", u"Listen live"},
    SampleVisit{u"http://games.example.com/chess/daily-puzzle", u"Daily chess puzzle"},
    SampleVisit{u"http://jobs.example.org/search?q=gardener", u"Jobs: gardener"},
    SampleVisit{u"http://www.example.com/contact.html", u"Contact"},
    SampleVisit{u"https://tax.example.gov/forms/2006", u"Forms for 2006"},
    SampleVisit{u"http://blog.example.net/2006/11/first-frost", u"First frost"},
};

constexpr uint64_t kHour = 36'000'000'000ull;  // in 100 ns ticks

}  // namespace

std::vector<LocalHistoryEntry> SampleHistory(FileTime now) {
    std::vector<LocalHistoryEntry> entries;
    entries.reserve(kVisits.size());
    uint64_t ago = kHour / 4;
    for (std::size_t index = 0; index < kVisits.size(); ++index) {
        const SampleVisit& visit = kVisits[index];
        // Visits drift further back, some hours apart, some days.
        ago += kHour * (1 + (index * 7) % 19);
        const FileTime visited{now.ticks > ago ? now.ticks - ago : 0};
        LocalHistoryEntry entry;
        entry.url = std::u16string(visit.url);
        if (!visit.title.empty()) entry.title = std::u16string(visit.title);
        entry.lastVisited = visited;
        entry.lastUpdated = visited;
        entry.expires = FileTime{visited.ticks + 20 * 24 * kHour};
        entries.push_back(std::move(entry));
    }
    return entries;
}

}  // namespace qm
