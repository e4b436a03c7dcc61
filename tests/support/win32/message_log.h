// MessageLog and ExpectSequence: the message checks of the Windows tests.
//
// A test's window procedures (a parent, a subclassed control) add what they
// see to a MessageLog; the test sends one real message and compares the log
// with a table of expected entries. Each expected entry names a message and
// says which of its parts count: wParam and lParam only where asked, the
// notification code of a WM_NOTIFY, and two numbers the recorder took from
// the notification while it was alive (a list's row and column, a tab's
// index). Entries marked optional may be missing. On a mismatch the whole
// log is printed; the log is emptied after every check, so each check sees
// only what the last action caused.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace qm {

struct LoggedMessage {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    int code = 0;      // WM_NOTIFY: the NMHDR code
    int item = -1;     // what the recorder read from the notification
    int subItem = -1;  // (for example row and column)
};

// Which parts of an expected entry are compared; the message always is.
enum ExpectFlags : unsigned {
    kExpectMessage = 0,
    kExpectWParam = 1u << 0,
    kExpectLParam = 1u << 1,
    kExpectCode = 1u << 2,
    kExpectItem = 1u << 3,     // item and subItem together
    kExpectOptional = 1u << 4  // may be absent
};

struct ExpectedMessage {
    UINT message = 0;
    unsigned flags = kExpectMessage;
    int code = 0;
    int item = -1;
    int subItem = -1;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// A WM_NOTIFY with the given code, and item and subItem when given.
ExpectedMessage Notification(int code);
ExpectedMessage Notification(int code, int item, int subItem);

class MessageLog {
public:
    void Add(const LoggedMessage& entry) { entries_.push_back(entry); }
    void Add(UINT message, WPARAM wParam, LPARAM lParam) { entries_.push_back({message, wParam, lParam}); }
    const std::vector<LoggedMessage>& entries() const { return entries_; }
    void Clear() { entries_.clear(); }
    // How many logged WM_NOTIFY carry the code.
    int CountNotifications(int code) const;
    // One line per entry, for failure messages.
    std::string ToString() const;

private:
    std::vector<LoggedMessage> entries_;
};

// True when the log matches the table entry by entry (skipping optional
// entries that are not there); the log is cleared either way.
::testing::AssertionResult ExpectSequence(MessageLog& log, std::initializer_list<ExpectedMessage> expected,
                                          const char* context);

}  // namespace qm
