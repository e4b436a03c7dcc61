#include "tests/support/win32/message_log.h"

#include <cstdio>
#include <sstream>

namespace qm {
namespace {

const char* MessageName(UINT message) {
    switch (message) {
        case WM_NOTIFY:
            return "WM_NOTIFY";
        case WM_COMMAND:
            return "WM_COMMAND";
        case WM_SETCURSOR:
            return "WM_SETCURSOR";
        case WM_PARENTNOTIFY:
            return "WM_PARENTNOTIFY";
        case WM_CTLCOLOREDIT:
            return "WM_CTLCOLOREDIT";
        default:
            return nullptr;
    }
}

std::string Describe(UINT message, int code, int item, int subItem, WPARAM wParam, LPARAM lParam) {
    std::ostringstream text;
    if (const char* name = MessageName(message)) {
        text << name;
    } else {
        text << "message 0x" << std::hex << message << std::dec;
    }
    if (message == WM_NOTIFY) text << " code " << code;
    text << " item " << item << " subItem " << subItem << " wParam 0x" << std::hex
         << static_cast<unsigned long long>(wParam) << " lParam 0x"
         << static_cast<unsigned long long>(lParam);
    return text.str();
}

bool Matches(const LoggedMessage& logged, const ExpectedMessage& expected) {
    if (logged.message != expected.message) return false;
    if ((expected.flags & kExpectWParam) && logged.wParam != expected.wParam) return false;
    if ((expected.flags & kExpectLParam) && logged.lParam != expected.lParam) return false;
    if ((expected.flags & kExpectCode) && logged.code != expected.code) return false;
    if ((expected.flags & kExpectItem) &&
        (logged.item != expected.item || logged.subItem != expected.subItem))
        return false;
    return true;
}

}  // namespace

ExpectedMessage Notification(int code) {
    ExpectedMessage expected;
    expected.message = WM_NOTIFY;
    expected.flags = kExpectCode;
    expected.code = code;
    return expected;
}

ExpectedMessage Notification(int code, int item, int subItem) {
    ExpectedMessage expected = Notification(code);
    expected.flags |= kExpectItem;
    expected.item = item;
    expected.subItem = subItem;
    return expected;
}

int MessageLog::CountNotifications(int code) const {
    int count = 0;
    for (const LoggedMessage& entry : entries_) {
        if (entry.message == WM_NOTIFY && entry.code == code) ++count;
    }
    return count;
}

std::string MessageLog::ToString() const {
    std::string text;
    for (const LoggedMessage& entry : entries_) {
        text +=
            "  " + Describe(entry.message, entry.code, entry.item, entry.subItem, entry.wParam, entry.lParam);
        text += '\n';
    }
    return text.empty() ? "  (nothing)\n" : text;
}

::testing::AssertionResult ExpectSequence(MessageLog& log, std::initializer_list<ExpectedMessage> expected,
                                          const char* context) {
    const std::vector<LoggedMessage>& logged = log.entries();
    std::size_t at = 0;
    std::string failure;
    for (const ExpectedMessage& wanted : expected) {
        if (at < logged.size() && Matches(logged[at], wanted)) {
            ++at;
            continue;
        }
        if (wanted.flags & kExpectOptional) continue;
        failure =
            "expected " +
            Describe(wanted.message, wanted.code, wanted.item, wanted.subItem, wanted.wParam, wanted.lParam) +
            (at < logged.size() ? " at entry " + std::to_string(at) : " after the last entry");
        break;
    }
    if (failure.empty() && at < logged.size()) failure = "unexpected entry " + std::to_string(at);
    const std::string whole = log.ToString();
    log.Clear();
    if (failure.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << context << ": " << failure << "; the log was:\n" << whole;
}

}  // namespace qm
