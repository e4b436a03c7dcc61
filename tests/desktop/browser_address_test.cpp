#include "desktop/browser_address.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

TEST(BrowserAddress, WebAddressesAndFilesAreHandedOnAndTheRestRefused) {
    struct Row {
        std::u16string address;
        AddressKind kind;
        std::u16string handedOn;
    };
    const Row rows[] = {
        {u"http://www.example.com/a?b=c", AddressKind::Web, u"http://www.example.com/a?b=c"},
        {u"HTTPS://Bank.Example/", AddressKind::Web, u"HTTPS://Bank.Example/"},
        {u"ftp://files.example/x.zip", AddressKind::Web, u"ftp://files.example/x.zip"},
        // A cookie's site, as the band hands it on: the browser's "http://".
        {u"cookies.example/", AddressKind::Web, u"http://cookies.example/"},
        {u"shop.example:8080/basket", AddressKind::Web, u"http://shop.example:8080/basket"},
        {u"C:\\Cache\\Content.IE5\\X1\\page[1].htm", AddressKind::LocalFile,
         u"C:\\Cache\\Content.IE5\\X1\\page[1].htm"},
        {u"d:/pictures/a.jpg", AddressKind::LocalFile, u"d:/pictures/a.jpg"},
        {u"\\\\server\\share\\a.gif", AddressKind::LocalFile, u"\\\\server\\share\\a.gif"},
        {u"file:///C:/notes.html", AddressKind::LocalFile, u"file:///C:/notes.html"},
        {u"", AddressKind::Refused, u""},
        {u"http://", AddressKind::Refused, u""},
        {u"javascript:alert(1)", AddressKind::Refused, u""},
        {u"mailto:someone@example.com", AddressKind::Refused, u""},
        {u"shell:startup", AddressKind::Refused, u""},
        {u"notepad", AddressKind::Refused, u""},
        {u"cmd /c calc", AddressKind::Refused, u""},
        {u"\\\\?\\C:\\x.exe", AddressKind::Refused, u""},
        {u"\\\\.\\pipe\\x", AddressKind::Refused, u""},
        {u"C:", AddressKind::Refused, u""},
        {u"..example/", AddressKind::Refused, u""},
        {u"site.example:/", AddressKind::Refused, u""},
        {u"http://a.example/\" --new-window", AddressKind::Refused, u""},
        {u"C:\\a.htm\r\nC:\\b.exe", AddressKind::Refused, u""},
        {u"http://a.example/" + std::u16string(32000, u'a'), AddressKind::Refused, u""},
    };
    for (const Row& row : rows) {
        const AddressTarget target = TargetOfAddress(row.address);
        const std::string shown(row.address.begin(), row.address.begin() + std::min<std::size_t>(row.address.size(), 60));
        EXPECT_EQ(target.kind, row.kind) << shown;
        EXPECT_EQ(target.address, row.handedOn) << shown;
    }
}

}  // namespace
}  // namespace qm
