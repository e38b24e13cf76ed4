#include "engine/NameRules.h"

#include <gtest/gtest.h>

#include <string>

TEST(NameRules, SingleValidFileNames)
{
    struct Case {
        const wchar_t* name;
        bool valid;
    } cases[] = {
        {L"Corvisk", true}, {L"Corvisk App 2", true}, {L"CorviskApp.exe", true}, {L".hidden", true},
        {L" leading space", true}, {L"a..b", true}, {L"\x00FC" L"ber \x4E2D\x6587", true},
        {L"COM0", true}, {L"LPT10", true}, {L"CONSOLE", true}, {L"NULL.txt", true}, {L"xCON", true},
        {L"AUXI.dll", true}, {L"COM", true},
        {L"", false}, {L".", false}, {L"..", false}, {L"...", false},
        {L"a\\b", false}, {L"a/b", false}, {L"C:x", false}, {L"a*", false}, {L"a?", false},
        {L"say \"hi\"", false}, {L"<a>", false}, {L"a>b", false}, {L"a|b", false}, {L"tab\tname", false},
        {L"..\\evil", false}, {L"Corvisk.", false}, {L"Corvisk ", false}, {L"app.exe.", false}, {L" ", false},
        {L"CON", false}, {L"con", false}, {L"PRN", false}, {L"Aux", false}, {L"nul", false},
        {L"COM1", false}, {L"com9", false}, {L"LPT1", false}, {L"lpt9", false},
        {L"NUL.txt", false}, {L"con.lnk", false}, {L"COM3.exe", false}, {L"NUL .txt", false},
        {L"aux.tar.gz", false}, {L"CONIN$", false}, {L"CONOUT$", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << std::string(c.name, c.name + wcslen(c.name)) << "\"");
        EXPECT_EQ(c.valid, IsValidFileName(c.name));
    }
    EXPECT_FALSE(IsValidFileName(NULL));
}
