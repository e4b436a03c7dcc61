// Memory implementations of the ports: the platform off Windows and the
// ground the native tests stand on. They are small real stores, not mocks:
// the cache keeps entries in insertion order and deletes by exact name, the
// history keeps URLs in order with duplicates, the registry is a tree of keys
// with case-insensitive names and typed values. The file system is the real
// one (PosixFileSystem).
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/browser.h"
#include "platform/platform.h"
#include "platform/posix/posix_file_system.h"

namespace qm {

// A cache entry as the memory cache stores it.
struct MemoryCacheEntry {
    std::string name;
    std::optional<std::string> localFile;
    FileTime lastAccessTime;
    FileTime lastModifiedTime;
    FileTime expireTime;
    uint32_t sizeLow = 0;
    uint32_t sizeHigh = 0;
    uint32_t hitRate = 0;
};

// "*.*" is the platform's null pattern and yields, as on Windows, the
// content entries only: those whose names do not start with "Cookie:" or
// "Visited:". A pattern ending in ":" yields the entries whose names start
// with it, letters compared without case; any other pattern is rejected and
// yields nothing.
class MemoryUrlCache final : public UrlCache {
public:
    void Enumerate(std::string_view pattern, const std::function<void(const RawCacheEntry&)>& visit) override;
    bool DeleteEntry(std::string_view name) override;

    void Add(MemoryCacheEntry entry);
    // The entries in the order they were added, deleted ones left out.
    const std::vector<MemoryCacheEntry>& entries() const;
    std::vector<std::string> Names() const;
    // Every name handed to DeleteEntry, in order, whether it succeeded or not.
    const std::vector<std::string>& deleteCalls() const { return deleteCalls_; }

private:
    // A deletion finds its entry by name and only marks it; the marked
    // entries leave the list at the next look at it. A cleanup deletes
    // thousands of entries from tens of thousands, one by one.
    void Compact() const;

    mutable std::vector<MemoryCacheEntry> entries_;
    mutable std::vector<bool> deleted_;
    mutable std::size_t deletedCount_ = 0;
    // The positions of the entries not deleted, by name, ascending.
    mutable std::map<std::string, std::deque<std::size_t>, std::less<>> positions_;
    std::vector<std::string> deleteCalls_;
};

class MemoryUrlHistory final : public UrlHistory {
public:
    std::unique_ptr<UrlHistorySession> Open(bool initializeThread) override;

    void Add(StatUrl url) { urls_.push_back(std::move(url)); }
    const std::vector<StatUrl>& urls() const { return urls_; }
    // An absent service cannot be opened.
    void SetAbsent(bool absent) { absent_ = absent; }
    // A service whose enumeration fails as a whole.
    void SetEnumerationFails(bool fails) { enumerationFails_ = fails; }
    // How many sessions were opened with initializeThread set.
    int threadInitializations() const { return threadInitializations_; }

private:
    friend class MemoryUrlHistorySession;
    std::vector<StatUrl> urls_;
    bool absent_ = false;
    bool enumerationFails_ = false;
    int threadInitializations_ = 0;
};

class MemoryRegistry final : public Registry {
public:
    MemoryRegistry();
    ~MemoryRegistry() override;

    std::unique_ptr<RegistryKey> Open(RegistryRoot root, std::string_view path) override;
    std::unique_ptr<RegistryKey> Create(RegistryRoot root, std::string_view path) override;
    bool DeleteKey(RegistryRoot root, std::string_view path) override;
    bool DeleteTree(RegistryRoot root, std::string_view path) override;

    // Refuses every Create from now on (a key that cannot be made).
    void SetCreateFails(bool fails) { createFails_ = fails; }

    struct Node;

    // ---- Absent or refused ----
    KeyState Probe(RegistryRoot root, std::string_view path) override;
    // From now on the key at path and everything below it are refused, as
    // keys whose access list keeps the user out: they neither open, nor are
    // made, nor deleted, and neither is a tree that holds them.
    void Refuse(RegistryRoot root, std::string_view path);

private:
    // Whether path is refused; with `orBelow`, also whether a refused key
    // lies below it.
    bool Refuses(RegistryRoot root, std::string_view path, bool orBelow) const;

    std::unique_ptr<Node> roots_[3];
    bool createFails_ = false;
    std::vector<std::pair<RegistryRoot, std::string>> refused_;
};

// Owners and access lists by path, as texts ("S-1-5-32-544", an SDDL
// access list). A path nobody set has kMemoryInheritedSecurity. Ownership
// goes to kMemoryProcessUser, and the access granted is one full-access
// entry for that user.
struct MemoryFileSecurityState {
    std::string owner;
    std::string access;

    friend bool operator==(const MemoryFileSecurityState&, const MemoryFileSecurityState&) = default;
};
inline constexpr std::string_view kMemoryProcessUser = "S-1-5-21-1000";
inline const MemoryFileSecurityState kMemoryInheritedSecurity{"S-1-5-32-544",
                                                              "D:AI(A;ID;FA;;;SY)(A;ID;FA;;;BA)"};

class MemoryFileSecurity final : public FileSecurity {
public:
    std::optional<SavedFileSecurity> SaveOwnerAndAccess(std::string_view path) override;
    bool RestoreOwnerAndAccess(std::string_view path, const SavedFileSecurity& saved) override;
    bool TakeOwnership(std::string_view path) override;
    bool GrantFullAccess(std::string_view path) override;

    void Set(std::string_view path, MemoryFileSecurityState state);
    MemoryFileSecurityState Of(std::string_view path) const;
    // Every call fails from now on, as for files whose security the user
    // may not even read.
    void SetFails(bool fails) { fails_ = fails; }
    // Every call, in order: "save ", "restore ", "take " or "grant " and the path.
    const std::vector<std::string>& calls() const { return calls_; }

private:
    bool fails_ = false;
    std::map<std::string, MemoryFileSecurityState, std::less<>> states_;
    std::vector<std::string> calls_;
};

class MemoryShell final : public Shell {
public:
    // With a file system, Internet Shortcuts are written as files through it
    // (and recorded only when that succeeds); without one they are only
    // recorded.
    explicit MemoryShell(FileSystem* fileSystem = nullptr) : fileSystem_(fileSystem) {}

    std::optional<std::string> SpecialFolderPath(SpecialFolder folder) override;
    bool Open(std::string_view target) override;
    void ClearRecentDocuments() override;
    bool ShowProperties(std::string_view path) override;
    bool SaveInternetShortcut(std::string_view path, const InternetShortcut& shortcut) override;
    std::string ExpandVariables(std::string_view text) override;
    bool SetClipboardText(std::string_view text) override;

    void SetSpecialFolder(SpecialFolder folder, std::string path) { folders_[folder] = std::move(path); }
    // "%NAME%" in ExpandVariables is replaced by the variable set here.
    void SetEnvironment(std::string name, std::string value);
    const std::vector<std::string>& opened() const { return opened_; }
    const std::vector<std::string>& propertiesShown() const { return propertiesShown_; }
    // Saved shortcuts by path.
    const std::map<std::string, InternetShortcut>& shortcuts() const { return shortcuts_; }
    int recentDocumentsCleared() const { return recentDocumentsCleared_; }
    const std::optional<std::string>& clipboard() const { return clipboard_; }

private:
    std::map<SpecialFolder, std::string> folders_;
    std::map<std::string, std::string> environment_;  // names upper-cased
    std::vector<std::string> opened_;
    std::vector<std::string> propertiesShown_;
    FileSystem* fileSystem_;
    std::map<std::string, InternetShortcut> shortcuts_;
    int recentDocumentsCleared_ = 0;
    std::optional<std::string> clipboard_;
};

// Answers come from queues a test fills; an empty queue answers No or Cancel.
class MemoryPrompts final : public Prompts {
public:
    bool AskYesNo(std::string_view question) override;
    void ShowMessage(std::string_view text, MessageIcon icon) override;
    std::optional<std::string> ChooseFileToOpen(const FileChoice& choice) override;
    std::optional<std::string> ChooseFileToSave(const FileChoice& choice) override;
    std::optional<std::string> BrowseForFolder(std::string_view title,
                                               std::string_view initialFolder) override;

    void QueueAnswer(bool yes) { answers_.push_back(yes); }
    void QueueFile(std::optional<std::string> path) { files_.push_back(std::move(path)); }
    void QueueFolder(std::optional<std::string> path) { folders_.push_back(std::move(path)); }
    const std::vector<std::string>& questions() const { return questions_; }
    const std::vector<std::string>& messages() const { return messages_; }
    // The icon of each message, in the order of messages().
    const std::vector<MessageIcon>& messageIcons() const { return messageIcons_; }
    // The title of each folder browser shown.
    const std::vector<std::string>& folderTitles() const { return folderTitles_; }
    // Where each folder browser was asked to open.
    const std::vector<std::string>& folderStarts() const { return folderStarts_; }
    const std::vector<FileChoice>& fileChoices() const { return fileChoices_; }

private:
    std::deque<bool> answers_;
    std::deque<std::optional<std::string>> files_;
    std::deque<std::optional<std::string>> folders_;
    std::vector<std::string> questions_;
    std::vector<std::string> messages_;
    std::vector<MessageIcon> messageIcons_;
    std::vector<std::string> folderTitles_;
    std::vector<std::string> folderStarts_;
    std::vector<FileChoice> fileChoices_;
};

class MemoryBrowser final : public Browser {
public:
    void Navigate(std::string_view url) override { navigations_.emplace_back(url); }
    void SetStatusText(std::string_view text) override { statusText_ = std::string(text); }

    const std::vector<std::string>& navigations() const { return navigations_; }
    const std::string& statusText() const { return statusText_; }

private:
    std::vector<std::string> navigations_;
    std::string statusText_;
};

// A clock that stands still until a test moves it. Local time is UTC plus a
// fixed offset in minutes.
class MemoryClock final : public Clock {
public:
    FileTime NowUtc() override { return now_; }
    SystemTime NowUtcSystemTime() override;
    SystemTime LocalNow() override;
    uint32_t TickMs() override { return tick_; }

    void SetNow(FileTime now) { now_ = now; }
    void SetLocalOffsetMinutes(int minutes) { localOffsetMinutes_ = minutes; }
    void SetTick(uint32_t tick) { tick_ = tick; }
    void Advance(uint32_t milliseconds);

private:
    FileTime now_{132'000'000'000'000'000ull};  // 2019-04-17 18:40 UTC, an ordinary day
    int localOffsetMinutes_ = 0;
    uint32_t tick_ = 0;
};

// Windows-1252, the code page of a Western European Windows: the bytes
// 0x80 to 0x9F hold its own characters, unmapped ones convert to "?".
// UTF-16 lower case knows the Latin, Greek and Cyrillic capitals of the
// basic plane's first blocks; other characters stay as they are.
class MemoryTextCodec final : public TextCodec {
public:
    std::string ToAnsi(std::u16string_view text) override;
    std::u16string FromAnsi(std::string_view text) override;
    std::string LowerAnsi(std::string_view text) override;
    std::u16string LowerUtf16(std::u16string_view text) override;
};

class MemoryOsVersion final : public OsVersion {
public:
    std::optional<uint32_t> MajorVersion() override { return major_; }
    void SetMajorVersion(std::optional<uint32_t> major) { major_ = major; }

private:
    std::optional<uint32_t> major_ = 10;
};

// Owns one memory implementation of each port and lends them as a Platform.
class MemoryPlatform {
public:
    MemoryPlatform();

    Platform& platform() { return platform_; }
    operator Platform&() { return platform_; }  // NOLINT: lets tests pass the owner

    MemoryUrlCache urlCache;
    MemoryUrlHistory urlHistory;
    MemoryRegistry registry;
    PosixFileSystem fileSystem;
    MemoryFileSecurity fileSecurity;
    MemoryShell shell;
    MemoryPrompts prompts;
    MemoryClock clock;
    MemoryTextCodec textCodec;
    MemoryOsVersion osVersion;

private:
    Platform platform_;
};

}  // namespace qm
