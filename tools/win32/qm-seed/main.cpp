// qm-seed: fills the URL cache of the current user (or Wine prefix) with
// sample browsing data, for the demo and for trying the band by hand:
// content entries of every kind the Cache list tells apart (pages, secure
// pages, pictures, scripts, style sheets, media, other files) with their
// local files, cookies with cookie files in the browser's own format, and
// "Visited:" entries of the cache's history container.
//
//   qm-seed        adds the entries and prints how many of each were made
//
// Exit code 0 when every entry was made, 1 otherwise.
#include <windows.h>
#include <wininet.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct ContentSample {
    const char* url;
    const char* extension;
    const char* body;
};

// One or more of each kind, by the local file's extension and the address.
const ContentSample kContent[] = {
    {"http://www.example.com/index.htm", "htm", "<html><body>Welcome</body></html>"},
    {"http://news.example.org/world/harbour-bridge.html", "html", "<html><body>The bridge</body></html>"},
    {"https://bank.example.com/accounts/summary", "htm", "<html><body>Accounts</body></html>"},
    {"https://mail.example.net/inbox/", "htm", "<html><body>Inbox</body></html>"},
    {"http://photos.example.net/albums/holiday/img_0042.jpg", "jpg", "JFIF sample"},
    {"http://www.example.com/images/logo.gif", "gif", "GIF89a"},
    {"http://shop.example.com/img/watering-can.png", "png", "PNG sample"},
    {"http://www.example.edu/art/map.bmp", "bmp", "BM sample"},
    {"http://www.example.com/scripts/menu.js", "js", "function open() {}"},
    {"http://news.example.org/static/site.css", "css", "body { margin: 0; }"},
    {"http://radio.example.net/jingles/morning.mp3", "mp3", "ID3 sample"},
    {"http://www.example.edu/courses/astronomy/orbit.avi", "avi", "RIFF sample"},
    {"http://games.example.com/music/theme.mid", "mid", "MThd sample"},
    {"http://downloads.example.com/tools/setup.zip", "zip", "PK sample"},
    {"http://forum.example.org/feed.xml", "xml", "<rss/>"},
};

struct CookieSample {
    const char* site;  // host and path, as the cookie store names it
    const char* name;
    const char* value;
    int daysToLive;  // negative: already expired
};

const CookieSample kCookies[] = {
    {"example.com/", "session", "a81f3c", 30},    {"news.example.org/", "region", "europe", 365},
    {"mail.example.net/", "remember", "yes", 14}, {"shop.example.com/basket/", "basket", "3-items", 2},
    {"forum.example.org/", "theme", "dark", -10}, {"weather.example.org/", "city", "Lyon", 90},
};

const char* const kVisited[] = {
    "http://www.example.com/",
    "http://news.example.org/world/harbour-bridge.html",
    "https://mail.example.net/inbox",
    "http://weather.example.org/forecast?city=Lyon",
    "http://recipes.example.net/bread/sourdough.htm",
    "http://maps.example.com/?q=railway+station",
    "file:///C:/Documents%20and%20Settings/user/My%20Documents/notes.html",
};

constexpr ULONGLONG kDay = 864000000000ull;  // in 100 ns ticks

FILETIME DaysFrom(FILETIME base, int days) {
    ULARGE_INTEGER value;
    value.LowPart = base.dwLowDateTime;
    value.HighPart = base.dwHighDateTime;
    value.QuadPart += static_cast<ULONGLONG>(static_cast<LONGLONG>(days)) * kDay;
    return {value.LowPart, value.HighPart};
}

bool WriteFileText(const char* path, const std::string& text) {
    const HANDLE file =
        CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                    written == text.size();
    return CloseHandle(file) && ok;
}

// Makes the entry's local file with the given contents and commits it.
bool AddEntry(const std::string& name, const char* extension, const std::string& contents, DWORD type,
              FILETIME modified, FILETIME expires) {
    char path[MAX_PATH] = {};
    if (!CreateUrlCacheEntryA(name.c_str(), static_cast<DWORD>(contents.size()), extension, path, 0))
        return false;
    if (!WriteFileText(path, contents)) return false;
    static const char kHeaders[] = "HTTP/1.1 200 OK\r\n\r\n";
    return CommitUrlCacheEntryA(
               name.c_str(), path, expires, modified, type,
               type == NORMAL_CACHE_ENTRY ? reinterpret_cast<BYTE*>(const_cast<char*>(kHeaders)) : nullptr,
               type == NORMAL_CACHE_ENTRY ? static_cast<DWORD>(sizeof(kHeaders) - 1) : 0, extension,
               nullptr) != FALSE;
}

// One cookie in the browser's cookie file format: name, value, site, flags,
// expiry and creation times as low and high halves, and a "*" line.
std::string CookieFileText(const CookieSample& cookie, FILETIME created, FILETIME expires) {
    char text[1024] = {};
    std::snprintf(text, sizeof(text), "%s\n%s\n%s\n%u\n%lu\n%lu\n%lu\n%lu\n*\n", cookie.name, cookie.value,
                  cookie.site, 9728u, static_cast<unsigned long>(expires.dwLowDateTime),
                  static_cast<unsigned long>(expires.dwHighDateTime),
                  static_cast<unsigned long>(created.dwLowDateTime),
                  static_cast<unsigned long>(created.dwHighDateTime));
    return text;
}

std::string UserName() {
    char name[256] = {};
    DWORD length = sizeof(name);
    if (!GetUserNameA(name, &length) || name[0] == '\0') return "user";
    return name;
}

}  // namespace

int main() {
    FILETIME now = {};
    GetSystemTimeAsFileTime(&now);
    const std::string user = UserName();
    int made = 0;
    int failed = 0;
    const auto count = [&](bool ok, const std::string& name) {
        if (ok) {
            ++made;
        } else {
            ++failed;
            std::fprintf(stderr, "qm-seed: could not add %s (error %lu)\n", name.c_str(), GetLastError());
        }
    };

    int age = 1;
    for (const ContentSample& sample : kContent) {
        count(AddEntry(sample.url, sample.extension, sample.body, NORMAL_CACHE_ENTRY, DaysFrom(now, -age),
                       DaysFrom(now, 30 - age)),
              sample.url);
        age += 2;
    }
    const int content = made;

    for (const CookieSample& cookie : kCookies) {
        const std::string name = "Cookie:" + user + "@" + cookie.site;
        const FILETIME created = DaysFrom(now, -3);
        const FILETIME expires = DaysFrom(now, cookie.daysToLive);
        count(AddEntry(name, "txt", CookieFileText(cookie, created, expires), COOKIE_CACHE_ENTRY, created,
                       expires),
              name);
    }
    const int cookies = made - content;

    age = 0;
    for (const char* url : kVisited) {
        const std::string name = "Visited: " + user + "@" + url;
        const FILETIME visited = DaysFrom(now, -age++);
        count(CommitUrlCacheEntryA(name.c_str(), nullptr, DaysFrom(visited, 20), visited,
                                   URLHISTORY_CACHE_ENTRY, nullptr, 0, nullptr, nullptr) != FALSE,
              name);
    }
    const int visits = made - content - cookies;

    std::printf("qm-seed: %d content entries, %d cookies, %d visited entries added", content, cookies,
                visits);
    if (failed) std::printf(", %d failed", failed);
    std::printf("\n");
    return failed ? 1 : 0;
}
