#include "settings/favorites.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/memory/memory_platform.h"
#include "tests/reports/report_test_support.h"

namespace qm {
namespace {

using namespace std::string_literals;
using test::ScratchFolder;

// A double-byte code page in miniature, as Japanese systems have one: a byte
// from 0x81 to 0x9F leads a two-byte character whose second byte may be any
// byte from 0x40 up, "\" (0x5C) among them. A lead byte with nothing after
// it is not a character.
class DoubleByteCodec final : public TextCodec {
public:
    std::string ToAnsi(std::u16string_view text) override {
        std::string out;
        for (char16_t unit : text) {
            if (unit >= kFirst && unit < kFirst + 0x2000) {
                out.push_back(static_cast<char>(((unit - kFirst) >> 8) + 0x81));
                out.push_back(static_cast<char>((unit - kFirst) & 0xFF));
            } else {
                out.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
            }
        }
        return out;
    }
    std::u16string FromAnsi(std::string_view text) override {
        std::u16string out;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const auto byte = static_cast<unsigned char>(text[i]);
            if (byte >= 0x81 && byte <= 0x9F && i + 1 < text.size()) {
                const auto trail = static_cast<unsigned char>(text[++i]);
                out.push_back(static_cast<char16_t>(kFirst + ((byte - 0x81) << 8) + trail));
            } else {
                out.push_back(byte < 0x80 ? byte : u'\uFFFD');
            }
        }
        return out;
    }
    std::string LowerAnsi(std::string_view text) override { return std::string(text); }
    std::u16string LowerUtf16(std::u16string_view text) override { return std::u16string(text); }

private:
    // The double-byte characters map to a run of ideographs.
    static constexpr char16_t kFirst = 0x4E00;
};

FoundFile Listed(std::string name, uint32_t attributes = file_attribute::kArchive) {
    FoundFile file;
    file.name = std::move(name);
    file.attributes = attributes;
    return file;
}

std::vector<FoundFile> Listing(std::vector<FoundFile> files) {
    std::vector<FoundFile> listing{Listed(".", file_attribute::kDirectory),
                                   Listed("..", file_attribute::kDirectory)};
    listing.insert(listing.end(), files.begin(), files.end());
    return listing;
}

void SetFavoritesValue(MemoryPlatform& memory, std::string value) {
    auto key = memory.registry.Create(RegistryRoot::CurrentUser, kUserShellFoldersPath);
    value.push_back('\0');
    key->Write(kFavoritesValue, RegistryValue{RegistryType::ExpandString, value});
}

TEST(FavoriteName, TwelveCharactersBecomeUnderscoresAndNothingElseChanges) {
    MemoryTextCodec codec;
    EXPECT_EQ(CleanFavoriteName("News: today?", codec), "News_ today_");
    EXPECT_EQ(CleanFavoriteName(":\\/+;><!?|\"'", codec), "____________");
    EXPECT_EQ(CleanFavoriteName("a*b #1 (caf\xe9) \x80 100% ok.", codec), "a*b #1 (caf\xe9) \x80 100% ok.");
    EXPECT_EQ(CleanFavoriteName("", codec), "");
}

TEST(FavoriteName, TrailBytesOfDoubleByteCharactersAreNeverReplaced) {
    DoubleByteCodec codec;
    // 0x83 0x5C is one character whose second byte is "\".
    EXPECT_EQ(CleanFavoriteName("\x83\x5C:\\", codec), "\x83\x5C__");
    // A lead byte at the very end is no character: its text is cleaned byte
    // by byte and nothing is lost.
    EXPECT_EQ(CleanFavoriteName("a?\x83", codec), "a_\x83");
}

TEST(FavoriteProposal, TrimsBothCleansTheTitleAndNeedsAnAddress) {
    MemoryTextCodec codec;
    const auto proposal = ProposeFavorite("  Mail | Inbox \t", " http://mail.example/ ", codec);
    ASSERT_TRUE(proposal);
    EXPECT_EQ(proposal->description, "Mail _ Inbox");
    EXPECT_EQ(proposal->url, "http://mail.example/");
    EXPECT_EQ(proposal->iconFile, "");
    EXPECT_FALSE(ProposeFavorite("Title", " \t ", codec));
    EXPECT_EQ(ProposeFavorite("", "x:", codec)->description, "");
}

TEST(FavoritesFolderLookup, ExpandsTheShellFolderValueAndEndsItInABackslash) {
    MemoryPlatform memory;
    memory.shell.SetEnvironment("USERPROFILE", "C:\\Users\\Ann");
    SetFavoritesValue(memory, "%USERPROFILE%\\Favorites");
    EXPECT_EQ(FavoritesFolder(memory.registry, memory.shell), "C:\\Users\\Ann\\Favorites\\");
    SetFavoritesValue(memory, "D:\\Links\\");
    EXPECT_EQ(FavoritesFolder(memory.registry, memory.shell), "D:\\Links\\");
}

TEST(FavoritesFolderLookup, FallsBackToTheShellsFolderWhenTheValueGivesNone) {
    MemoryPlatform memory;
    EXPECT_FALSE(FavoritesFolder(memory.registry, memory.shell));
    memory.shell.SetSpecialFolder(SpecialFolder::Favorites, "C:\\Fav");
    // No key at all, an empty value, and an expansion too long for a path.
    EXPECT_EQ(FavoritesFolder(memory.registry, memory.shell), "C:\\Fav\\");
    SetFavoritesValue(memory, "");
    EXPECT_EQ(FavoritesFolder(memory.registry, memory.shell), "C:\\Fav\\");
    memory.shell.SetEnvironment("LONG", std::string(250, 'x'));
    SetFavoritesValue(memory, "C:\\%LONG%\\Favorites");
    EXPECT_EQ(FavoritesFolder(memory.registry, memory.shell), "C:\\Fav\\");
    // A value that does not fit the path buffer is not read at all.
    SetFavoritesValue(memory, std::string(300, 'y'));
    EXPECT_EQ(FavoritesFolder(memory.registry, memory.shell), "C:\\Fav\\");
}

TEST(FavoriteDuplicates, NameCountsUpToItsExtensionWithoutCase) {
    MemoryTextCodec codec;
    const auto daily = Listing({Listed("Daily.url")});
    EXPECT_TRUE(IsDuplicateFavorite(daily, "Daily", codec));
    EXPECT_FALSE(IsDuplicateFavorite(daily, "daily.x", codec));
    EXPECT_FALSE(IsDuplicateFavorite(daily, "Dail", codec));
    EXPECT_TRUE(IsDuplicateFavorite(Listing({Listed("Daily.URL")}), "Daily", codec));
    // On a file system that ignores case, "daily.url" is the same file.
    EXPECT_TRUE(IsDuplicateFavorite(daily, "daily", codec));
    EXPECT_TRUE(IsDuplicateFavorite(daily, "DAILY", codec));
    EXPECT_TRUE(IsDuplicateFavorite(Listing({Listed("Daily.Url")}), "daily", codec));
    // Only the first ".url" counts.
    EXPECT_TRUE(IsDuplicateFavorite(Listing({Listed("Notes.url.bak")}), "Notes", codec));
    EXPECT_FALSE(IsDuplicateFavorite(Listing({Listed("Notes.txt")}), "Notes", codec));
    EXPECT_TRUE(IsDuplicateFavorite(Listing({Listed("Notes.txt")}), "Notes.txt", codec));
}

TEST(FavoriteDuplicates, FoldersAndHiddenFilesAreNoFavoritesUnlessTheyHoldTheShortcutsName) {
    MemoryTextCodec codec;
    EXPECT_FALSE(IsDuplicateFavorite(Listing({Listed("Work", file_attribute::kDirectory)}), "Work", codec));
    EXPECT_FALSE(IsDuplicateFavorite(Listing({Listed("Old.url.x", file_attribute::kHidden)}), "Old", codec));
    EXPECT_FALSE(
        IsDuplicateFavorite(Listing({Listed("desktop.ini", file_attribute::kSystem)}), "desktop.ini", codec));
    // Saving would replace these, so they refuse the name all the same.
    EXPECT_TRUE(IsDuplicateFavorite(Listing({Listed("Old.url", file_attribute::kHidden)}), "Old", codec));
    EXPECT_TRUE(
        IsDuplicateFavorite(Listing({Listed("Work.URL", file_attribute::kDirectory)}), "work", codec));
}

TEST(FavoriteDuplicates, EveryRealEntryIsExaminedEvenWithoutDotEntries) {
    MemoryTextCodec codec;
    // The root folder of a drive lists no "." first.
    EXPECT_TRUE(IsDuplicateFavorite({Listed("Daily.url")}, "Daily", codec));
    EXPECT_FALSE(IsDuplicateFavorite({}, "Daily", codec));
    EXPECT_FALSE(IsDuplicateFavorite(Listing({}), ".", codec));
}

class AddToFavoritesTest : public ::testing::Test {
protected:
    AddToFavoritesTest() { SetFavoritesValue(memory, folder.Path()); }

    AddFavoriteResult Add(std::string description, std::string url = "http://news.example/",
                          std::string iconFile = "") {
        return AddToFavorites(memory,
                              FavoriteRequest{std::move(description), std::move(url), std::move(iconFile)});
    }
    std::string LastMessage() const {
        return memory.prompts.messages().empty() ? std::string() : memory.prompts.messages().back();
    }
    MessageIcon LastIcon() const { return memory.prompts.messageIcons().back(); }

    MemoryPlatform memory;
    ScratchFolder folder;
};

TEST_F(AddToFavoritesTest, SavesACleanedNameInTheFavoritesFolder) {
    EXPECT_EQ(Add("News: today?"), AddFavoriteResult::Added);
    EXPECT_EQ(memory.shell.shortcuts(),
              (std::map<std::string, InternetShortcut>{
                  {folder.Path("News_ today_.url"), {"http://news.example/", "", "News_ today_"}}}));
    // Off Windows the file is written by the band itself.
    EXPECT_EQ(folder.Read("News_ today_.url"),
              "[InternetShortcut]\r\nURL=http://news.example/\r\nDescription=News_ today_\r\n");
    EXPECT_EQ(LastMessage(), "New entry has been successfully added.");
    EXPECT_EQ(LastIcon(), MessageIcon::Information);
    EXPECT_FALSE(KeepsDialogOpen(AddFavoriteResult::Added));
}

TEST_F(AddToFavoritesTest, MissingFieldsKeepTheDialogOpenAndWriteNothing) {
    EXPECT_EQ(Add(""), AddFavoriteResult::MissingDescription);
    EXPECT_EQ(LastMessage(), "Please enter a Description.");
    EXPECT_EQ(LastIcon(), MessageIcon::Warning);
    EXPECT_EQ(Add("News", ""), AddFavoriteResult::MissingUrl);
    EXPECT_EQ(LastMessage(), "Please enter valid URL.");
    // The address is not checked beyond being there.
    EXPECT_EQ(Add("Odd", "not a url"), AddFavoriteResult::Added);
    EXPECT_EQ(memory.shell.shortcuts().size(), 1u);
    EXPECT_TRUE(KeepsDialogOpen(AddFavoriteResult::MissingDescription));
    EXPECT_TRUE(KeepsDialogOpen(AddFavoriteResult::MissingUrl));
}

TEST_F(AddToFavoritesTest, NoFavoritesFolderIsReportedWithTheStopIcon) {
    memory.registry.DeleteTree(RegistryRoot::CurrentUser, kUserShellFoldersPath);
    EXPECT_EQ(Add("News"), AddFavoriteResult::FolderNotFound);
    EXPECT_EQ(LastMessage(), "Favorites folder is not found.");
    EXPECT_EQ(LastIcon(), MessageIcon::Error);
    EXPECT_TRUE(KeepsDialogOpen(AddFavoriteResult::FolderNotFound));
    EXPECT_TRUE(memory.shell.shortcuts().empty());
}

TEST_F(AddToFavoritesTest, AnExistingFavoriteIsNeverReplaced) {
    folder.MakeFile("Daily.url", "[InternetShortcut]\r\nURL=http://old.example/\r\n");
    EXPECT_EQ(Add("Daily"), AddFavoriteResult::Duplicate);
    EXPECT_EQ(LastMessage(), "Please enter another Description.");
    EXPECT_EQ(LastIcon(), MessageIcon::Warning);
    // A difference of case only would replace the same file where case is
    // ignored.
    EXPECT_EQ(Add("daily"), AddFavoriteResult::Duplicate);
    EXPECT_TRUE(memory.shell.shortcuts().empty());
    EXPECT_TRUE(KeepsDialogOpen(AddFavoriteResult::Duplicate));

    EXPECT_EQ(Add("daily.x"), AddFavoriteResult::Added);
    EXPECT_EQ(memory.shell.shortcuts().count(folder.Path("daily.x.url")), 1u);
}

TEST_F(AddToFavoritesTest, FavoritesInSubfoldersAreOtherNames) {
    folder.MakeFile("Links\\Daily.url", "[InternetShortcut]\r\n");
    EXPECT_EQ(Add("Daily"), AddFavoriteResult::Added);
}

TEST_F(AddToFavoritesTest, AnIconFileIsRecordedWithItsFirstIcon) {
    EXPECT_EQ(Add("Iconic", "http://i.example/", "C:\\Icons\\site.ico"), AddFavoriteResult::Added);
    EXPECT_EQ(memory.shell.shortcuts().at(folder.Path("Iconic.url")),
              (InternetShortcut{"http://i.example/", "C:\\Icons\\site.ico", "Iconic"}));
    EXPECT_EQ(folder.Read("Iconic.url"),
              "[InternetShortcut]\r\nURL=http://i.example/\r\nIconFile=C:\\Icons\\site.ico\r\nIconIndex=0\r\n"
              "Description=Iconic\r\n");
}

TEST_F(AddToFavoritesTest, AFolderNotYetMadeGetsTheSaveAttemptWhichFails) {
    SetFavoritesValue(memory, folder.Path("Missing"));
    EXPECT_EQ(Add("News"), AddFavoriteResult::Failed);
    EXPECT_EQ(LastMessage(), "Unable update Favorites.");
    EXPECT_TRUE(memory.shell.shortcuts().empty());
}

TEST_F(AddToFavoritesTest, APathTooLongForThePlatformFailsInsteadOfSavingACutName) {
    const std::string longest(kFavoriteFieldLimit, 'n');
    EXPECT_EQ(Add(longest), AddFavoriteResult::Failed);
    EXPECT_EQ(LastMessage(), "Unable update Favorites.");
    EXPECT_EQ(LastIcon(), MessageIcon::Warning);
    EXPECT_FALSE(KeepsDialogOpen(AddFavoriteResult::Failed));
    EXPECT_TRUE(memory.shell.shortcuts().empty());

    // Each box gives at most 259 characters: a longer address is cut there.
    EXPECT_EQ(Add("Short", "http://x.example/" + std::string(400, 'p')), AddFavoriteResult::Added);
    EXPECT_EQ(memory.shell.shortcuts().at(folder.Path("Short.url")).url.size(), kFavoriteFieldLimit);
}

TEST(FavoriteIcon, ChooserOffersIconFilesOnly) {
    const FileChoice choice = IconFileChoice();
    EXPECT_EQ(choice.filter, "Icon Files (*.ico)\0*.ico\0"s);
    EXPECT_EQ(choice.defaultExtension, "ico");
}

}  // namespace
}  // namespace qm
