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

// An access list with one access-allowed entry: the list's header (8 bytes)
// and the entry's header and mask (8 bytes) besides the SID.
constexpr DWORD kSingleEntryAclOverhead = sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD);
// A security descriptor larger than this is not believed.
constexpr DWORD kLargestDescriptor = 1u << 20;

constexpr SECURITY_INFORMATION kOwnerAndAccess = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;

UniqueToken OpenOwnToken() {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return UniqueToken();
    return UniqueToken(token);
}

// Enables one privilege of the process token for the scope's lifetime and
// then puts back the state it had: the adjustment hands back the previous
// state of what it changed, and only that is restored. A privilege the user
// does not hold stays off; the call it was for is tried all the same.
class PrivilegeScope {
public:
    explicit PrivilegeScope(const char* privilege) : token_(OpenOwnToken()) {
        LUID luid;
        if (!token_ || !LookupPrivilegeValueA(nullptr, privilege, &luid)) return;
        TOKEN_PRIVILEGES enable = {};
        enable.PrivilegeCount = 1;
        enable.Privileges[0].Luid = luid;
        enable.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        DWORD length = 0;
        SetLastError(ERROR_SUCCESS);
        adjusted_ =
            AdjustTokenPrivileges(token_.get(), FALSE, &enable, sizeof previous_, &previous_, &length) &&
            GetLastError() == ERROR_SUCCESS;
    }
    ~PrivilegeScope() {
        if (adjusted_ && previous_.PrivilegeCount > 0)
            AdjustTokenPrivileges(token_.get(), FALSE, &previous_, 0, nullptr, nullptr);
    }
    PrivilegeScope(const PrivilegeScope&) = delete;
    PrivilegeScope& operator=(const PrivilegeScope&) = delete;

private:
    UniqueToken token_;
    TOKEN_PRIVILEGES previous_ = {};
    bool adjusted_ = false;
};

// The token user's SID, copied out of the token's information.
std::vector<BYTE> ProcessUserSid() {
    UniqueToken token = OpenOwnToken();
    if (!token) return {};
    DWORD length = 0;
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &length);
    if (length == 0 || length > kLargestDescriptor) return {};
    // DWORDs, for the alignment the structure needs.
    std::vector<DWORD> buffer((length + sizeof(DWORD) - 1) / sizeof(DWORD));
    if (!GetTokenInformation(token.get(), TokenUser, buffer.data(), length, &length)) return {};
    const PSID sid = reinterpret_cast<const TOKEN_USER*>(buffer.data())->User.Sid;
    if (!IsValidSid(sid)) return {};
    const auto* bytes = static_cast<const BYTE*>(sid);
    return std::vector<BYTE>(bytes, bytes + GetLengthSid(sid));
}

bool SetSecurity(const std::string& path, SECURITY_INFORMATION parts, PSECURITY_DESCRIPTOR descriptor) {
    return SetFileSecurityA(path.c_str(), parts, descriptor) != FALSE;
}

}  // namespace

std::optional<SavedFileSecurity> Win32FileSecurity::SaveOwnerAndAccess(std::string_view path) {
    const auto name = ToCString(path);
    if (!name) return std::nullopt;
    // Asked for its size first; a descriptor that grows in between is asked again.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD size = 0;
        GetFileSecurityA(name->c_str(), kOwnerAndAccess, nullptr, 0, &size);
        if (size == 0 || size > kLargestDescriptor) return std::nullopt;
        std::string bytes(size, '\0');
        DWORD needed = 0;
        if (GetFileSecurityA(name->c_str(), kOwnerAndAccess, bytes.data(), size, &needed)) {
            if (!IsValidSecurityDescriptor(bytes.data())) return std::nullopt;
            return SavedFileSecurity{std::move(bytes)};
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return std::nullopt;
    }
    return std::nullopt;
}

bool Win32FileSecurity::RestoreOwnerAndAccess(std::string_view path, const SavedFileSecurity& saved) {
    const auto name = ToCString(path);
    // A copy: the platform takes the descriptor as writable memory.
    std::string descriptor = saved.bytes;
    if (!name || descriptor.empty() || !IsValidSecurityDescriptor(descriptor.data())) return false;
    {
        const PrivilegeScope restore("SeRestorePrivilege");
        if (SetSecurity(*name, kOwnerAndAccess, descriptor.data())) return true;
    }
    SetSecurity(*name, DACL_SECURITY_INFORMATION, descriptor.data());
    return false;
}

bool Win32FileSecurity::TakeOwnership(std::string_view path) {
    const auto name = ToCString(path);
    if (!name) return false;
    std::vector<BYTE> sid = ProcessUserSid();
    if (sid.empty()) return false;
    SECURITY_DESCRIPTOR descriptor;
    if (!InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION)) return false;
    if (!SetSecurityDescriptorOwner(&descriptor, sid.data(), FALSE)) return false;
    const PrivilegeScope takeOwnership("SeTakeOwnershipPrivilege");
    return SetSecurity(*name, OWNER_SECURITY_INFORMATION, &descriptor);
}

bool Win32FileSecurity::GrantFullAccess(std::string_view path) {
    const auto name = ToCString(path);
    if (!name) return false;
    std::vector<BYTE> sid = ProcessUserSid();
    if (sid.empty()) return false;

    // DWORDs, for the alignment an access list needs.
    const DWORD aclSize = static_cast<DWORD>(sid.size()) + kSingleEntryAclOverhead;
    std::vector<DWORD> aclBuffer((aclSize + sizeof(DWORD) - 1) / sizeof(DWORD));
    auto* acl = reinterpret_cast<ACL*>(aclBuffer.data());
    if (!InitializeAcl(acl, aclSize, ACL_REVISION)) return false;
    if (!AddAccessAllowedAce(acl, ACL_REVISION, GENERIC_ALL, sid.data())) return false;

    SECURITY_DESCRIPTOR descriptor;
    if (!InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION)) return false;
    if (!SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE)) return false;
    return SetSecurity(*name, DACL_SECURITY_INFORMATION, &descriptor);
}

}  // namespace qm
