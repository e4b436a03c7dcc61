#include "platform/win32/win32_file_security.h"

#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/c_string.h"
#include "platform/win32/unique_handle.h"

namespace qm {
namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueToken = UniqueHandle<HANDLE, HandleCloser>;

constexpr char kTakeOwnershipPrivilege[] = "SeTakeOwnershipPrivilege";

// Buffer sizes for the token's user, the account's SID and its domain name:
// far more than any real SID or domain needs.
constexpr DWORD kTokenUserBuffer = 1024;
constexpr DWORD kSidBuffer = 2048;
constexpr DWORD kDomainBuffer = 512;
// An access list with one access-allowed entry: the list's header (8 bytes)
// and the entry's header and mask (8 bytes) besides the SID.
constexpr DWORD kSingleEntryAclOverhead = 16;
static_assert(kSingleEntryAclOverhead == sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD));

UniqueToken OpenOwnToken() {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY | READ_CONTROL,
                            &token))
        return UniqueToken();
    return UniqueToken(token);
}

// One privilege of the token on or off; the others keep their state. The
// adjustment reports success even when the token lacks the privilege, and
// says so only through the last error, which therefore decides.
bool AdjustPrivilege(HANDLE token, const char* privilege, bool enable) {
    LUID luid;
    if (!LookupPrivilegeValueA(nullptr, privilege, &luid)) return false;
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Luid = luid;
    privileges.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : 0;
    SetLastError(ERROR_SUCCESS);
    const BOOL adjusted =
        AdjustTokenPrivileges(token, FALSE, &privileges, sizeof privileges, nullptr, nullptr);
    return adjusted && GetLastError() == ERROR_SUCCESS;
}

// Makes the token's user the owner of the file. The privilege is enabled
// before, so that a file the user may not write can still be taken over.
bool MakeUserOwner(HANDLE token, const std::string& path) {
    SECURITY_DESCRIPTOR descriptor;
    if (!InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION)) return false;
    if (!AdjustPrivilege(token, kTakeOwnershipPrivilege, true)) return false;

    alignas(TOKEN_USER) BYTE buffer[kTokenUserBuffer];
    DWORD length = 0;
    if (!GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &length)) return false;
    const auto* user = reinterpret_cast<const TOKEN_USER*>(buffer);
    if (!SetSecurityDescriptorOwner(&descriptor, user->User.Sid, FALSE)) return false;
    return SetFileSecurityA(path.c_str(), OWNER_SECURITY_INFORMATION, &descriptor);
}

}  // namespace

bool Win32FileSecurity::TakeOwnership(std::string_view path) {
    const auto name = ToCString(path);
    if (!name) return false;
    UniqueToken token = OpenOwnToken();
    if (!token) return false;
    if (MakeUserOwner(token.get(), *name)) return true;  // the privilege stays on
    AdjustPrivilege(token.get(), kTakeOwnershipPrivilege, false);
    return false;
}

bool Win32FileSecurity::SetPrivilege(std::string_view privilege, bool enable) {
    const auto name = ToCString(privilege);
    if (!name) return false;
    UniqueToken token = OpenOwnToken();
    return token && AdjustPrivilege(token.get(), name->c_str(), enable);
}

bool Win32FileSecurity::GrantFullAccess(std::string_view path, std::string_view account,
                                        uint32_t accessMask) {
    const auto name = ToCString(path);
    const auto accountName = ToCString(account);
    if (!name || !accountName) return false;

    SECURITY_DESCRIPTOR descriptor;
    if (!InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION)) return false;

    alignas(SID) BYTE sid[kSidBuffer];
    DWORD sidSize = sizeof sid;
    char domain[kDomainBuffer];
    DWORD domainSize = sizeof domain;
    SID_NAME_USE use;
    if (!LookupAccountNameA(nullptr, accountName->c_str(), sid, &sidSize, domain, &domainSize, &use))
        return false;
    if (!IsValidSid(sid)) return false;

    // DWORDs, for the alignment an access list needs.
    const DWORD aclSize = GetLengthSid(sid) + kSingleEntryAclOverhead;
    std::vector<DWORD> aclBuffer((aclSize + sizeof(DWORD) - 1) / sizeof(DWORD));
    auto* acl = reinterpret_cast<ACL*>(aclBuffer.data());
    if (!InitializeAcl(acl, aclSize, ACL_REVISION)) return false;
    if (!AddAccessAllowedAce(acl, ACL_REVISION, accessMask, sid)) return false;
    if (!SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE)) return false;
    return SetFileSecurityA(name->c_str(), DACL_SECURITY_INFORMATION, &descriptor);
}

}  // namespace qm
