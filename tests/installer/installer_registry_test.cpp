#include "installer/installer_registry.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "band/registration.h"

namespace qm {
namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool Has(const std::vector<std::string>& lines, const std::string& line) {
    for (const std::string& each : lines)
        if (each == line) return true;
    return false;
}

TEST(InstallerRegistryTest, RowsFollowTheRegistrationTable) {
    const std::vector<std::string> lines =
        Lines(InstallerRegistryRows(RegistrationTable(), "QuillmereDll", "  "));
    const char* const kExpected[] = {
        // a forced key: made, and removed whole
        R"(  <RegistryValue Root="HKCR" Key="CLSID\{5A1C0E42-7B3D-4F19-9C2E-61D4A8B7E305}" Name="*" Type="string" Value=""/>)",
        // a default value
        R"(  <RegistryValue Root="HKCR" Key="CLSID\{5A1C0E42-7B3D-4F19-9C2E-61D4A8B7E305}" Type="string" Value="Quillmere"/>)",
        // the module's path, wherever the table has it
        R"(  <RegistryValue Root="HKCR" Key="CLSID\{5A1C0E42-7B3D-4F19-9C2E-61D4A8B7E305}\InprocServer32" Type="string" Value="[#QuillmereDll]"/>)",
        R"(  <RegistryValue Root="HKLM" Key="Software\Microsoft\Internet Explorer\Extensions\{C4F81A03-6D2E-4B97-8E15-7A3B0C9D2F48}" Name="HotIcon" Type="string" Value="[#QuillmereDll],802"/>)",
        // the component category
        R"(  <RegistryValue Root="HKCR" Key="CLSID\{5A1C0E42-7B3D-4F19-9C2E-61D4A8B7E305}\Implemented Categories\{00021494-0000-0000-C000-000000000046}" Name="*" Type="string" Value=""/>)",
    };
    for (const char* expected : kExpected) EXPECT_TRUE(Has(lines, expected)) << expected;

    std::size_t rows = 1;  // the category
    for (const RegistrationEntry& entry : RegistrationTable()) {
        rows += entry.hasValue + (entry.rule == KeyRule::Force);
        if (entry.rule == KeyRule::Keep) {
            const std::string shared = "Key=\"" + std::string(entry.key) + "\"";
            for (const std::string& line : lines)
                EXPECT_EQ(line.find(shared), std::string::npos)
                    << "a shared key the uninstall would take: " << line;
        }
    }
    EXPECT_EQ(lines.size(), rows);
}

TEST(InstallerRegistryTest, OnlyAnInstallerIdentifierNamesTheFile) {
    const struct {
        const char* id;
        bool accepted;
    } kCases[] = {
        {"QuillmereDll", true}, {"_x86.dll", true}, {"A1", true},    {"a", true}, {"z", true}, {"", false},
        {"9lives", false},      {"a]b", false},     {"a\"b", false},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(!InstallerRegistryRows(RegistrationTable(), c.id, "").empty(), c.accepted) << c.id;
}

TEST(InstallerRegistryTest, DataReachesTheRegistryAsItIs) {
    // XML's own characters are escaped; a square bracket, which would start
    // an installer property, is written as the installer's literal bracket.
    const RegistrationEntry entry{RegistryRoot::CurrentUser, "K&<>", KeyRule::Plain, true, "[n]",
                                  "\"a\" [b] {c} %MODULE%"};
    EXPECT_EQ(InstallerRegistryRows(std::span(&entry, 1), "F", ""),
              R"(<RegistryValue Root="HKCU" Key="K&amp;&lt;&gt;" Name="[\[]n[\]]" Type="string" )"
              R"(Value="&quot;a&quot; [\[]b[\]] {c} [#F]"/>)"
              "\n"
              R"(<RegistryValue Root="HKCR" Key="CLSID\{5A1C0E42-7B3D-4F19-9C2E-61D4A8B7E305}\Implemented )"
              R"(Categories\{00021494-0000-0000-C000-000000000046}" Name="*" Type="string" Value=""/>)"
              "\n");
}

}  // namespace
}  // namespace qm
