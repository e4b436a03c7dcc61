#include "platform/win32/win32_file_security.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/platform/win32/win32_temp_folder.h"

namespace qm {
namespace {

constexpr char kTakeOwnership[] = "SeTakeOwnershipPrivilege";

// Whether the process's token has the privilege, and whether it is enabled.
struct PrivilegeState {
    bool held = false;
    bool enabled = false;
};

PrivilegeState StateOf(const char* privilege) {
    PrivilegeState state;
    LUID luid;
    HANDLE token = nullptr;
    if (!LookupPrivilegeValueA(nullptr, privilege, &luid) ||
        !OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return state;
    }
    DWORD size = 0;
    GetTokenInformation(token, TokenPrivileges, nullptr, 0, &size);
    std::vector<DWORD> buffer(size / sizeof(DWORD) + 1);
    if (GetTokenInformation(token, TokenPrivileges, buffer.data(), size, &size)) {
        const auto* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
        for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
            const LUID_AND_ATTRIBUTES& entry = privileges->Privileges[i];
            if (entry.Luid.LowPart == luid.LowPart && entry.Luid.HighPart == luid.HighPart) {
                state.held = true;
                state.enabled = (entry.Attributes & SE_PRIVILEGE_ENABLED) != 0;
            }
        }
    }
    CloseHandle(token);
    return state;
}

// The security descriptor of a file, for the parts asked for.
std::vector<DWORD> SecurityOf(const std::string& path, SECURITY_INFORMATION parts) {
    DWORD size = 0;
    GetFileSecurityA(path.c_str(), parts, nullptr, 0, &size);
    if (size == 0) return {};
    std::vector<DWORD> buffer(size / sizeof(DWORD) + 1);
    if (!GetFileSecurityA(path.c_str(), parts, buffer.data(), size, &size)) return {};
    return buffer;
}

std::vector<BYTE> CurrentUserSid() {
    HANDLE token = nullptr;
    std::vector<BYTE> sid;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return sid;
    alignas(TOKEN_USER) BYTE buffer[1024];
    DWORD size = 0;
    if (GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size)) {
        PSID user = reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid;
        const BYTE* bytes = static_cast<const BYTE*>(user);
        sid.assign(bytes, bytes + GetLengthSid(user));
    }
    CloseHandle(token);
    return sid;
}

// Switches a privilege of the process's token on or off, as a test sets the
// scene.
bool SetPrivilegeState(const char* privilege, bool enabled) {
    LUID luid;
    HANDLE token = nullptr;
    if (!LookupPrivilegeValueA(nullptr, privilege, &luid) ||
        !OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token)) {
        return false;
    }
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Luid = luid;
    privileges.Privileges[0].Attributes = enabled ? SE_PRIVILEGE_ENABLED : 0;
    const BOOL adjusted = AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    CloseHandle(token);
    return adjusted && StateOf(privilege).enabled == enabled;
}

// The access list's entries of a file, as (SID, mask) pairs of allowing entries.
std::vector<std::pair<std::vector<BYTE>, DWORD>> AllowedEntries(const std::string& path) {
    std::vector<std::pair<std::vector<BYTE>, DWORD>> entries;
    auto descriptor = SecurityOf(path, DACL_SECURITY_INFORMATION);
    BOOL present = FALSE;
    BOOL defaulted = TRUE;
    ACL* acl = nullptr;
    if (descriptor.empty() || !GetSecurityDescriptorDacl(descriptor.data(), &present, &acl, &defaulted) ||
        !present || !acl) {
        return entries;
    }
    for (DWORD i = 0; i < acl->AceCount; ++i) {
        void* entry = nullptr;
        if (!GetAce(acl, i, &entry)) continue;
        const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(entry);
        if (allowed->Header.AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
        auto* sid = const_cast<DWORD*>(&allowed->SidStart);
        const auto* bytes = reinterpret_cast<const BYTE*>(sid);
        entries.emplace_back(std::vector<BYTE>(bytes, bytes + GetLengthSid(sid)), allowed->Mask);
    }
    return entries;
}

class Win32FileSecurityTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.valid());
        ASSERT_TRUE(StateOf(kTakeOwnership).held) << "the process cannot take ownership at all";
    }
    void TearDown() override { SetPrivilegeState(kTakeOwnership, false); }

    TempFolder folder_;
    Win32FileSecurity security_;
};

TEST_F(Win32FileSecurityTest, TakeOwnershipMakesTheUserOwnerAndLeavesThePrivilegeAsItWas) {
    folder_.MakeFile("index.dat", "x");
    const std::string path = folder_.Path("index.dat");
    const std::vector<BYTE> user = CurrentUserSid();
    ASSERT_FALSE(user.empty());
    for (bool enabledBefore : {false, true}) {
        ASSERT_TRUE(SetPrivilegeState(kTakeOwnership, enabledBefore));
        EXPECT_TRUE(security_.TakeOwnership(path)) << enabledBefore;
        EXPECT_EQ(StateOf(kTakeOwnership).enabled, enabledBefore);
        EXPECT_FALSE(security_.TakeOwnership(folder_.Path("missing.dat")));
        EXPECT_EQ(StateOf(kTakeOwnership).enabled, enabledBefore);

        auto descriptor = SecurityOf(path, OWNER_SECURITY_INFORMATION);
        PSID owner = nullptr;
        BOOL defaulted = TRUE;
        ASSERT_TRUE(GetSecurityDescriptorOwner(descriptor.data(), &owner, &defaulted));
        ASSERT_NE(owner, nullptr);
        EXPECT_TRUE(EqualSid(owner, const_cast<BYTE*>(user.data())));
    }
    EXPECT_FALSE(security_.TakeOwnership(path + std::string("\0x", 2)));
}

// Windows stores the new list as given: one entry. Wine keeps a file's
// access in the host's permission bits and answers with a list made from
// them; there the grant shows as an entry allowing the user everything.
TEST_F(Win32FileSecurityTest, GrantedAccessGoesToTheUserAndSavedSecurityComesBackWhole) {
    folder_.MakeFile("cookie.txt", "x");
    const std::string path = folder_.Path("cookie.txt");
    const auto before = SecurityOf(path, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION);
    ASSERT_FALSE(before.empty());
    const auto saved = security_.SaveOwnerAndAccess(path);
    ASSERT_TRUE(saved);

    ASSERT_TRUE(security_.TakeOwnership(path));
    ASSERT_TRUE(security_.GrantFullAccess(path));
    const std::vector<BYTE> user = CurrentUserSid();
    bool userMayDoAll = false;
    for (const auto& [sid, mask] : AllowedEntries(path))
        userMayDoAll |= sid == user && (mask == GENERIC_ALL || (mask & FILE_ALL_ACCESS) == FILE_ALL_ACCESS);
    EXPECT_TRUE(userMayDoAll);

    EXPECT_TRUE(security_.RestoreOwnerAndAccess(path, *saved));
    EXPECT_EQ(SecurityOf(path, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION), before);

    EXPECT_FALSE(security_.SaveOwnerAndAccess(folder_.Path("missing")));
    EXPECT_FALSE(security_.GrantFullAccess(path + std::string("\0x", 2)));
    EXPECT_FALSE(security_.RestoreOwnerAndAccess(path, SavedFileSecurity{"not a descriptor"}));
}

}  // namespace
}  // namespace qm
