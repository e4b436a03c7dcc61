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
constexpr char kBackup[] = "SeBackupPrivilege";

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

class Win32FileSecurityTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.valid());
        ASSERT_TRUE(StateOf(kTakeOwnership).held) << "the process cannot take ownership at all";
    }
    void TearDown() override {
        security_.SetPrivilege(kTakeOwnership, false);
        security_.SetPrivilege(kBackup, false);
    }

    TempFolder folder_;
    Win32FileSecurity security_;
};

TEST_F(Win32FileSecurityTest, SetPrivilegeTurnsOneHeldPrivilegeOnAndOff) {
    ASSERT_TRUE(security_.SetPrivilege(kBackup, true));
    EXPECT_TRUE(StateOf(kBackup).enabled);
    ASSERT_TRUE(security_.SetPrivilege(kTakeOwnership, true));
    ASSERT_TRUE(security_.SetPrivilege(kTakeOwnership, false));
    EXPECT_FALSE(StateOf(kTakeOwnership).enabled);
    EXPECT_TRUE(StateOf(kBackup).enabled);  // untouched by the other's change

    EXPECT_FALSE(security_.SetPrivilege("SeNoSuchPrivilege", true));
    EXPECT_FALSE(security_.SetPrivilege("", true));
    EXPECT_FALSE(security_.SetPrivilege(std::string("SeBackupPrivilege\0x", 19), true));
}

TEST_F(Win32FileSecurityTest, TakeOwnershipMakesTheUserOwnerAndKeepsThePrivilegeOn) {
    folder_.MakeFile("index.dat", "x");
    ASSERT_TRUE(security_.TakeOwnership(folder_.Path("index.dat")));
    EXPECT_TRUE(StateOf(kTakeOwnership).enabled);

    const auto descriptor = SecurityOf(folder_.Path("index.dat"), OWNER_SECURITY_INFORMATION);
    ASSERT_FALSE(descriptor.empty());
    PSID owner = nullptr;
    BOOL defaulted = TRUE;
    ASSERT_TRUE(GetSecurityDescriptorOwner(const_cast<DWORD*>(descriptor.data()), &owner, &defaulted));
    ASSERT_NE(owner, nullptr);
    std::vector<BYTE> user = CurrentUserSid();
    ASSERT_FALSE(user.empty());
    EXPECT_TRUE(EqualSid(owner, user.data()));
}

TEST_F(Win32FileSecurityTest, FailedTakeOwnershipSwitchesOnlyItsPrivilegeOff) {
    ASSERT_TRUE(security_.SetPrivilege(kBackup, true));
    ASSERT_TRUE(security_.SetPrivilege(kTakeOwnership, true));
    EXPECT_FALSE(security_.TakeOwnership(folder_.Path("missing.dat")));
    EXPECT_FALSE(StateOf(kTakeOwnership).enabled);
    EXPECT_TRUE(StateOf(kBackup).enabled);
    EXPECT_FALSE(security_.TakeOwnership(folder_.Path("index.dat") + std::string("\0x", 2)));
}

// The access mask that the file's access list allows everyone, or nothing
// when it has no entry for everyone.
std::optional<DWORD> EveryoneAccess(const std::string& path, WORD* entries = nullptr) {
    const auto descriptor = SecurityOf(path, DACL_SECURITY_INFORMATION);
    if (descriptor.empty()) return std::nullopt;
    BOOL present = FALSE;
    BOOL defaulted = TRUE;
    ACL* acl = nullptr;
    if (!GetSecurityDescriptorDacl(const_cast<DWORD*>(descriptor.data()), &present, &acl, &defaulted) ||
        !present || !acl) {
        return std::nullopt;
    }
    if (entries) *entries = acl->AceCount;
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    if (!AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone))
        return std::nullopt;
    std::optional<DWORD> mask;
    for (DWORD i = 0; i < acl->AceCount; ++i) {
        void* entry = nullptr;
        if (!GetAce(acl, i, &entry)) continue;
        const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(entry);
        if (allowed->Header.AceType == ACCESS_ALLOWED_ACE_TYPE &&
            EqualSid(const_cast<DWORD*>(&allowed->SidStart), everyone)) {
            mask = allowed->Mask;
        }
    }
    FreeSid(everyone);
    return mask;
}

bool AllowsWriting(std::optional<DWORD> mask) {
    return mask && ((*mask & GENERIC_ALL) || (*mask & FILE_GENERIC_WRITE) == FILE_GENERIC_WRITE);
}

// Windows stores the new list as given: one entry. Wine keeps a file's
// access in the host's permission bits and answers with a list made from
// them (the system, the owner, everyone); there the grant shows as
// everyone being allowed to write.
TEST_F(Win32FileSecurityTest, GrantFullAccessLetsEveryoneWrite) {
    folder_.MakeFile("cookie.txt", "x");
    const std::string path = folder_.Path("cookie.txt");
    ASSERT_FALSE(AllowsWriting(EveryoneAccess(path)));
    ASSERT_TRUE(security_.GrantFullAccess(path, "everyone", kGenericAll));

    WORD entries = 0;
    const auto mask = EveryoneAccess(path, &entries);
    EXPECT_TRUE(AllowsWriting(mask)) << std::hex << mask.value_or(0);
    if (entries == 1) {
        EXPECT_TRUE(*mask == GENERIC_ALL || *mask == FILE_ALL_ACCESS) << std::hex << *mask;
    }

    // The file can still be deleted, as the cleanup goes on to do.
    EXPECT_TRUE(DeleteFileA(path.c_str()));
}

TEST_F(Win32FileSecurityTest, GrantFullAccessToAnUnknownAccountChangesNothing) {
    folder_.MakeFile("cookie.txt", "x");
    const std::string path = folder_.Path("cookie.txt");
    const auto before = SecurityOf(path, DACL_SECURITY_INFORMATION);
    EXPECT_FALSE(security_.GrantFullAccess(path, "qm-no-such-account", kGenericAll));
    EXPECT_EQ(SecurityOf(path, DACL_SECURITY_INFORMATION), before);
    EXPECT_FALSE(security_.GrantFullAccess(folder_.Path("missing"), "everyone", kGenericAll));
    EXPECT_FALSE(security_.GrantFullAccess(path, std::string("everyone\0x", 10), kGenericAll));
}

}  // namespace
}  // namespace qm
