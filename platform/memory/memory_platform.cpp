#include "platform/memory/memory_platform.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace qm {
namespace {

char UpperAscii(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

std::string UpperAscii(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](char c) { return UpperAscii(c); });
    return out;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return UpperAscii(x) == UpperAscii(y); });
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

// The entries of the cookie and history containers, which the null
// pattern passes over.
bool IsInContainer(std::string_view name) {
    return StartsWithIgnoringCase(name, "Cookie:") || StartsWithIgnoringCase(name, "Visited:");
}

}  // namespace

// ---- URL cache ----

void MemoryUrlCache::Enumerate(std::string_view pattern,
                               const std::function<void(const RawCacheEntry&)>& visit) {
    const bool content = pattern == "*.*";
    const bool container = !content && !pattern.empty() && pattern.back() == ':';
    if (!content && !container) return;

    // The visit may delete entries; it walks a copy so that the texts it is
    // handed stay valid and no entry is skipped.
    const std::vector<MemoryCacheEntry> snapshot = entries();
    for (const MemoryCacheEntry& entry : snapshot) {
        if (container && !StartsWithIgnoringCase(entry.name, pattern)) continue;
        if (content && IsInContainer(entry.name)) continue;
        RawCacheEntry raw;
        raw.sourceUrlName = std::string_view(entry.name);
        if (entry.localFile) raw.localFileName = std::string_view(*entry.localFile);
        raw.lastAccessTime = entry.lastAccessTime;
        raw.lastModifiedTime = entry.lastModifiedTime;
        raw.expireTime = entry.expireTime;
        raw.sizeLow = entry.sizeLow;
        raw.sizeHigh = entry.sizeHigh;
        raw.hitRate = entry.hitRate;
        visit(raw);
    }
}

void MemoryUrlCache::Add(MemoryCacheEntry entry) {
    positions_[entry.name].push_back(entries_.size());
    entries_.push_back(std::move(entry));
    deleted_.push_back(false);
}

bool MemoryUrlCache::DeleteEntry(std::string_view name) {
    deleteCalls_.emplace_back(name);
    const auto found = positions_.find(name);
    if (found == positions_.end() || found->second.empty()) return false;
    deleted_[found->second.front()] = true;
    ++deletedCount_;
    found->second.pop_front();
    if (found->second.empty()) positions_.erase(found);
    return true;
}

const std::vector<MemoryCacheEntry>& MemoryUrlCache::entries() const {
    Compact();
    return entries_;
}

void MemoryUrlCache::Compact() const {
    if (deletedCount_ == 0) return;
    std::vector<MemoryCacheEntry> kept;
    kept.reserve(entries_.size() - deletedCount_);
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (!deleted_[i]) kept.push_back(std::move(entries_[i]));
    entries_ = std::move(kept);
    deleted_.assign(entries_.size(), false);
    deletedCount_ = 0;
    positions_.clear();
    for (std::size_t i = 0; i < entries_.size(); ++i) positions_[entries_[i].name].push_back(i);
}

std::vector<std::string> MemoryUrlCache::Names() const {
    std::vector<std::string> names;
    for (const auto& entry : entries()) names.push_back(entry.name);
    return names;
}

// ---- URL history ----

class MemoryUrlHistorySession final : public UrlHistorySession {
public:
    explicit MemoryUrlHistorySession(MemoryUrlHistory& history) : history_(history) {}

    bool Enumerate(const std::function<bool(const StatUrl&)>& visit) override {
        if (history_.enumerationFails_) return false;
        // A copy, so that deleting from inside the visit neither invalidates
        // the URL being visited nor skips the next one.
        const std::vector<StatUrl> snapshot = history_.urls_;
        for (const StatUrl& url : snapshot)
            if (!visit(url)) break;
        return true;
    }

    // Each entry of the list stands for one stored URL, so one call removes
    // one of them, the first.
    HResult DeleteUrl(const std::u16string& url) override {
        auto& urls = history_.urls_;
        auto it =
            std::find_if(urls.begin(), urls.end(), [&](const StatUrl& stored) { return stored.url == url; });
        if (it == urls.end()) return kE_FAIL;
        urls.erase(it);
        return kS_OK;
    }

private:
    MemoryUrlHistory& history_;
};

std::unique_ptr<UrlHistorySession> MemoryUrlHistory::Open(bool initializeThread) {
    if (absent_) return nullptr;
    if (initializeThread) ++threadInitializations_;
    return std::make_unique<MemoryUrlHistorySession>(*this);
}

// ---- File security ----

std::optional<SavedFileSecurity> MemoryFileSecurity::SaveOwnerAndAccess(std::string_view path) {
    calls_.push_back("save " + std::string(path));
    if (fails_) return std::nullopt;
    const MemoryFileSecurityState state = Of(path);
    return SavedFileSecurity{state.owner + '\n' + state.access};
}

bool MemoryFileSecurity::RestoreOwnerAndAccess(std::string_view path, const SavedFileSecurity& saved) {
    calls_.push_back("restore " + std::string(path));
    const std::size_t newline = saved.bytes.find('\n');
    if (fails_ || newline == std::string::npos) return false;
    Set(path, {saved.bytes.substr(0, newline), saved.bytes.substr(newline + 1)});
    return true;
}

bool MemoryFileSecurity::TakeOwnership(std::string_view path) {
    calls_.push_back("take " + std::string(path));
    if (fails_) return false;
    MemoryFileSecurityState state = Of(path);
    state.owner = kMemoryProcessUser;
    Set(path, std::move(state));
    return true;
}

bool MemoryFileSecurity::GrantFullAccess(std::string_view path) {
    calls_.push_back("grant " + std::string(path));
    if (fails_) return false;
    MemoryFileSecurityState state = Of(path);
    state.access = "D:(A;;FA;;;" + std::string(kMemoryProcessUser) + ")";
    Set(path, std::move(state));
    return true;
}

void MemoryFileSecurity::Set(std::string_view path, MemoryFileSecurityState state) {
    states_[std::string(path)] = std::move(state);
}

MemoryFileSecurityState MemoryFileSecurity::Of(std::string_view path) const {
    auto it = states_.find(path);
    return it == states_.end() ? kMemoryInheritedSecurity : it->second;
}

// ---- Shell ----

std::optional<std::string> MemoryShell::SpecialFolderPath(SpecialFolder folder) {
    auto it = folders_.find(folder);
    if (it == folders_.end()) return std::nullopt;
    return it->second;
}

bool MemoryShell::Open(std::string_view target) {
    opened_.emplace_back(target);
    return true;
}

void MemoryShell::ClearRecentDocuments() {
    ++recentDocumentsCleared_;
}

bool MemoryShell::ShowProperties(std::string_view path) {
    propertiesShown_.emplace_back(path);
    return true;
}

bool MemoryShell::SaveInternetShortcut(std::string_view path, const InternetShortcut& shortcut) {
    if (fileSystem_ && !fileSystem_->WriteTextFile(path, InternetShortcutText(shortcut))) return false;
    shortcuts_[std::string(path)] = shortcut;
    return true;
}

void MemoryShell::SetEnvironment(std::string name, std::string value) {
    environment_[UpperAscii(name)] = std::move(value);
}

// "%NAME%" becomes the variable's value; a name that is not set, and a "%"
// without a partner, stay as they are.
std::string MemoryShell::ExpandVariables(std::string_view text) {
    std::string out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t open = text.find('%', pos);
        if (open == std::string_view::npos) break;
        const std::size_t close = text.find('%', open + 1);
        if (close == std::string_view::npos) break;
        out.append(text.substr(pos, open - pos));
        const std::string_view name = text.substr(open + 1, close - open - 1);
        auto it = name.empty() ? environment_.end() : environment_.find(UpperAscii(name));
        if (it != environment_.end()) {
            out.append(it->second);
            pos = close + 1;
        } else {
            // The closing "%" may open the next name: "%unset%PATH%".
            out.append(text.substr(open, close - open));
            pos = close;
        }
    }
    out.append(text.substr(pos));
    return out;
}

bool MemoryShell::SetClipboardText(std::string_view text) {
    clipboard_ = std::string(text);
    return true;
}

// ---- Prompts ----

bool MemoryPrompts::AskYesNo(std::string_view question) {
    questions_.emplace_back(question);
    if (answers_.empty()) return false;
    const bool yes = answers_.front();
    answers_.pop_front();
    return yes;
}

void MemoryPrompts::ShowMessage(std::string_view text, MessageIcon icon) {
    messages_.emplace_back(text);
    messageIcons_.push_back(icon);
}

namespace {

std::optional<std::string> Pop(std::deque<std::optional<std::string>>& queue) {
    if (queue.empty()) return std::nullopt;
    std::optional<std::string> front = std::move(queue.front());
    queue.pop_front();
    return front;
}

}  // namespace

std::optional<std::string> MemoryPrompts::ChooseFileToOpen(const FileChoice& choice) {
    fileChoices_.push_back(choice);
    return Pop(files_);
}

std::optional<std::string> MemoryPrompts::ChooseFileToSave(const FileChoice& choice) {
    fileChoices_.push_back(choice);
    return Pop(files_);
}

std::optional<std::string> MemoryPrompts::BrowseForFolder(std::string_view title,
                                                          std::string_view initialFolder) {
    folderTitles_.emplace_back(title);
    folderStarts_.emplace_back(initialFolder);
    return Pop(folders_);
}

// ---- Clock ----

namespace {

constexpr uint64_t kTicksPerMillisecond = 10'000;
constexpr int64_t kTicksPerMinute = 60 * 1000 * static_cast<int64_t>(kTicksPerMillisecond);

}  // namespace

SystemTime MemoryClock::NowUtcSystemTime() {
    return ToSystemTime(now_).value_or(SystemTime{});
}

SystemTime MemoryClock::LocalNow() {
    // An offset that would carry the time out of the representable range
    // leaves it at the nearest end rather than wrapping around.
    const int64_t shift = static_cast<int64_t>(localOffsetMinutes_) * kTicksPerMinute;
    uint64_t ticks = now_.ticks;
    if (shift < 0) {
        const auto back = static_cast<uint64_t>(-shift);
        ticks = ticks > back ? ticks - back : 0;
    } else {
        const auto forward = static_cast<uint64_t>(shift);
        ticks = ticks > UINT64_MAX - forward ? UINT64_MAX : ticks + forward;
    }
    return ToSystemTime(FileTime{ticks}).value_or(SystemTime{});
}

void MemoryClock::Advance(uint32_t milliseconds) {
    tick_ += milliseconds;  // wraps at 2^32 as the platform's tick does
    now_.ticks += milliseconds * kTicksPerMillisecond;
}

// ---- Platform ----

MemoryPlatform::MemoryPlatform()
    : fileSystem(&registry, &textCodec), shell(&fileSystem), platform_{urlCache,   urlHistory,   registry,
                                                                       fileSystem, fileSecurity, shell,
                                                                       prompts,    clock,        textCodec,
                                                                       osVersion} {}

}  // namespace qm
