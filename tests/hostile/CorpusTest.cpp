// A corpus of hostile setup.ini files: what ReadSetupConfig makes of each, and what
// the install then does with it. Every row runs a real install from its own medium
// and compares the machine before and after.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "HostileFixture.h"
#include "app/HostEnv.h"
#include "engine/NameRules.h"
#include "engine/PathUtil.h"

namespace {

enum Outcome {
    kInstalls,    // complete install, TRUE, no message
    kIncomplete,  // FALSE without a message: files and entry in place, links missing
    kRefused,     // FALSE after one message, nothing touched
};

const wchar_t kNoLinks[] = L"";
const wchar_t kNameBox[] = L"Fail to create the shortcuts!";
const wchar_t kFileBox[] = L"Fail to copy the application file!";
const wchar_t kFolderBox[] = L"Fail to create the install folder!";

// In both the ini text and the expected fields, {F} stands for the row's folder name
// and {A} for its AppName.
enum Encoding { kBytes, kUtf16Le, kUtf16Be };

struct Row {
    const char* what;
    std::string ini;  // bytes, or UTF-8 text written as UTF-16 by the row's encoding
    std::wstring folder, file, app, company, version;
    int launch, remove;
    Outcome outcome;
    const wchar_t* box;
    Encoding encoding = kBytes;
};

std::string Replace(std::string s, const std::string& from, const std::string& to)
{
    for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
        s.replace(at, from.size(), to);
    return s;
}

std::wstring Replace(std::wstring s, const std::wstring& from, const std::wstring& to)
{
    for (size_t at = s.find(from); at != std::wstring::npos; at = s.find(from, at + to.size()))
        s.replace(at, from.size(), to);
    return s;
}

std::string Ini(const std::string& section, const std::string& startup = "[Startup]\r\nCompanyName=Test Company\r\nVersion=1.2.3\r\n")
{
    return section + startup;
}

std::string Section(const std::string& folder = "{F}", const std::string& file = "CorviskApp.exe",
                    const std::string& app = "{A}", const std::string& more = "")
{
    return "[Customized_Setting]\r\nAPPFolderName=" + folder + "\r\nAPPFileName=" + file + "\r\nAppName=" + app +
           "\r\n" + more;
}

// Seeded bytes of every value except '[' (no section can start in them).
std::string Garbage(unsigned seed, size_t n, bool lines)
{
    std::mt19937 gen(seed);
    std::string s;
    for (size_t i = 0; i < n; ++i) {
        char c = static_cast<char>(gen() & 0xFF);
        if (c == '[' || (lines && c == '='))
            c = 'x';
        s += c;
        if (lines && i % 61 == 60)
            s += "\r\n";
    }
    return s + "\r\n";
}

// UTF-16 little or big endian with the byte-order mark, from UTF-8 text.
std::string Utf16(const std::string& utf8, bool bigEndian)
{
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), NULL, 0);
    std::wstring w(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &w[0], n);
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (wchar_t c : w) {
        char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>((c >> 8) & 0xFF);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    }
    return out;
}

const std::string kLong(100000, 'x');
const std::wstring kCut259(259 - 0, L'x');

std::vector<Row> Corpus()
{
    const std::wstring F = L"{F}", A = L"{A}", file = L"CorviskApp.exe", co = L"Test Company", ver = L"1.2.3";
    const std::wstring defF = L"Corvisk", defA = L"Corvisk", defFile = L"CorviskSetup.exe",
                       defCo = L"QUELLMARK CO., LTD", defVer = L"1.00.00";
    std::vector<Row> rows = {
        // Encoding and structure.
        {"well-formed", Ini(Section()), F, file, A, co, ver, 0, 0, kInstalls, NULL},
        {"empty file", "", defF, defFile, defA, defCo, defVer, 0, 0, kInstalls, NULL},
        {"binary garbage, one line", Garbage(1, 4096, false), defF, defFile, defA, defCo, defVer, 0, 0, kInstalls, NULL},
        {"binary garbage lines, then the sections", Garbage(2, 4096, true) + Ini(Section()), F, file, A, co, ver, 0, 0,
         kInstalls, NULL},
        {"UTF-16 little endian with BOM", Ini(Section()), F, file, A, co, ver, 0, 0, kInstalls, NULL, kUtf16Le},
        {"UTF-16 with BOM, non-ASCII AppName", Ini(Section("{F}", "CorviskApp.exe", "{A} \xC3\xBC\xE4\xB8\xAD")), F, file,
         A + L" \x00FC\x4E2D", co, ver, 0, 0, kInstalls, NULL, kUtf16Le},
        {"UTF-16 big endian with BOM", Ini(Section()), F, file, A, co, ver, 0, 0, kInstalls, NULL, kUtf16Be},
        {"UTF-8 with BOM", "\xEF\xBB\xBF" + Ini(Section()), F, file, A, co, ver, 0, 0, kInstalls, NULL},
        {"NUL bytes inside a line", Ini(Section("{F}", "CorviskApp.exe", "{A}", std::string("Junk=a\0b\r\n", 10))), F, file,
         A, co, ver, 0, 0, kInstalls, NULL},
        {"100000-character value of another key", Ini(Section("{F}", "CorviskApp.exe", "{A}", "Comment=" + kLong + "\r\n")),
         F, file, A, co, ver, 0, 0, kInstalls, NULL},
        {"100000-character line before the sections", kLong + "\r\n" + Ini(Section()), F, file, A, co, ver, 0, 0, kInstalls,
         NULL},
        {"100000-character section name before the sections", "[" + kLong + "]\r\nAppName=x\r\n" + Ini(Section()), F, file,
         A, co, ver, 0, 0, kInstalls, NULL},
        {"AppName of 100000 characters: cut to 259, its links do not fit",
         Ini(Section("{F}", "CorviskApp.exe", kLong)), F, file, kCut259, co, ver, 0, 0, kIncomplete, kNoLinks},
        {"Version of 100000 characters: cut to 259", Ini(Section(), "[Startup]\r\nVersion=" + kLong + "\r\n"), F, file, A,
         defCo, kCut259, 0, 0, kInstalls, NULL},
        {"duplicate sections: the first counts", Ini(Section()) + "[Customized_Setting]\r\nAppName=Second\r\nAPPFolderName=Second\r\n",
         F, file, A, co, ver, 0, 0, kInstalls, NULL},
        {"duplicate keys: the first counts", Ini(Section("{F}", "CorviskApp.exe", "{A}", "AppName=Second\r\nAPPFolderName=Second\r\n")),
         F, file, A, co, ver, 0, 0, kInstalls, NULL},
        {"no Customized_Setting section", "[Startup]\r\nCompanyName=Test Company\r\nVersion=1.2.3\r\n", defF, defFile, defA,
         co, ver, 0, 0, kInstalls, NULL},
        {"no Startup section", Section(), F, file, A, defCo, defVer, 0, 0, kInstalls, NULL},
        {"names in other letter case, blanks around the equals sign",
         "[customized_SETTING]\r\n  appfoldername  =  {F}  \r\nAPPFILENAME = CorviskApp.exe\r\n appname={A}\r\n[STARTUP]\r\ncompanyname=Test Company\r\n",
         F, file, A, co, defVer, 0, 0, kInstalls, NULL},
        {"quoted value", Ini(Section("{F}", "CorviskApp.exe", "\"{A}\"")), F, file, A, co, ver, 0, 0, kInstalls, NULL},
        {"comment lines and a line without equals sign",
         "; comment\r\n" + Ini(Section("{F}", "CorviskApp.exe", "{A}", "just words\r\n;AppName=Commented\r\n")), F, file, A, co,
         ver, 0, 0, kInstalls, NULL},
        {"names that look reserved but are not", Ini(Section("{F}", "COM0.exe", "{A} CONSOLE")), F, L"COM0.exe",
         A + L" CONSOLE", co, ver, 0, 0, kInstalls, NULL},
        // Flags.
        {"LaunchAPInSilentMode=2, DeleteAPFolder=1abc",
         Ini(Section("{F}", "CorviskApp.exe", "{A}", "LaunchAPInSilentMode=2\r\nDeleteAPFolder=1abc\r\n")), F, file, A, co, ver,
         1, 1, kInstalls, NULL},
        // The platform's reader takes "0x10" as a hexadecimal number.
        {"LaunchAPInSilentMode=yes, DeleteAPFolder=0x10",
         Ini(Section("{F}", "CorviskApp.exe", "{A}", "LaunchAPInSilentMode=yes\r\nDeleteAPFolder=0x10\r\n")), F, file, A, co,
         ver, 0, 1, kInstalls, NULL},
        {"LaunchAPInSilentMode=-1, DeleteAPFolder= 7 ",
         Ini(Section("{F}", "CorviskApp.exe", "{A}", "LaunchAPInSilentMode=-1\r\nDeleteAPFolder= 7 \r\n")), F, file, A, co, ver,
         1, 1, kInstalls, NULL},
        {"LaunchAPInSilentMode=99999999999, DeleteAPFolder= (empty)",
         Ini(Section("{F}", "CorviskApp.exe", "{A}", "LaunchAPInSilentMode=99999999999\r\nDeleteAPFolder=\r\n")), F, file, A,
         co, ver, 1, 0, kInstalls, NULL},
        {"LaunchAPInSilentMode=0, DeleteAPFolder=\"1\"",
         Ini(Section("{F}", "CorviskApp.exe", "{A}", "LaunchAPInSilentMode=0\r\nDeleteAPFolder=\"1\"\r\n")), F, file, A, co, ver,
         0, 1, kInstalls, NULL},
    };

    // AppName: every rule of a single file name.
    struct Name {
        const char* ini;
        std::wstring value;
    };
    const Name badApp[] = {
        {"{A}\\x", A + L"\\x"}, {"..\\..\\{A}", L"..\\..\\" + A}, {"{A}/x", A + L"/x"}, {"C:{A}", L"C:" + A},
        {"{A}*", A + L"*"}, {"{A}?", A + L"?"}, {"say \"{A}\"", L"say \"" + A + L"\""}, {"<{A}>", L"<" + A + L">"},
        {"{A}|x", A + L"|x"}, {"", L""}, {".", L"."}, {"..", L".."}, {"{A}.", A + L"."}, {"\"{A} \"", A + L" "},
        {"CON", L"CON"}, {"nul", L"nul"}, {"Aux", L"Aux"}, {"PRN", L"PRN"}, {"COM1", L"COM1"}, {"com9", L"com9"},
        {"LPT1", L"LPT1"}, {"lpt9", L"lpt9"}, {"NUL.txt", L"NUL.txt"}, {"con.lnk", L"con.lnk"},
    };
    for (const Name& n : badApp)
        rows.push_back({"AppName not a single file name", Ini(Section("{F}", "CorviskApp.exe", n.ini)), F, file,
                        n.value, co, ver, 0, 0, kRefused, kNameBox});

    const Name badFile[] = {
        {"..\\{A}.exe", L"..\\" + A + L".exe"}, {"sub\\CorviskApp.exe", L"sub\\CorviskApp.exe"},
        {"C:\\CorviskApp.exe", L"C:\\CorviskApp.exe"}, {"Corvisk*.exe", L"Corvisk*.exe"}, {"", L""},
        {"CorviskApp.exe.", L"CorviskApp.exe."}, {"\"CorviskApp.exe \"", L"CorviskApp.exe "}, {"COM3.exe", L"COM3.exe"},
        {"AUX", L"AUX"}, {"..", L".."},
    };
    for (const Name& n : badFile)
        rows.push_back({"APPFileName not a single file name", Ini(Section("{F}", n.ini)), F, n.value, A, co, ver, 0, 0,
                        kRefused, kFileBox});

    // APPFolderName: a name that is not a plain folder name leaves the install folder
    // empty; one that is, but would reach another folder, is refused by the install.
    const Name badFolder[] = {
        {"{F}*", F + L"*"}, {"{F}.", F + L"."}, {"NUL", L"NUL"}, {"\"{F} \"", F + L" "},
    };
    for (const Name& n : badFolder)
        rows.push_back({"APPFolderName reaching another folder", Ini(Section(n.ini)), n.value, file, A, co, ver, 0, 0,
                        kRefused, kFolderBox});
    // The record keeps the value as read; only the install folder stays empty.
    const Name noFolder[] = {{"", L""}, {"..\\..\\Windows", L"..\\..\\Windows"}, {"a\\b", L"a\\b"}, {"..", L".."}};
    for (const Name& n : noFolder) {
        rows.push_back({"APPFolderName not a plain folder name", Ini(Section(n.ini)), n.value, file, A, co, ver, 0, 0,
                        kRefused, kFolderBox});
    }
    return rows;
}

class CorpusTest : public HostileFixture {};

}  // namespace

TEST_F(CorpusTest, EachFileGivesItsFieldsAndItsInstallOutcome)
{
    ts::Package base = NewPackage();
    // Rows that fall back to the defaults install the default package.
    ts::Package defaults;
    defaults.folderName = L"Corvisk";
    defaults.appName = L"Corvisk";
    defaults.appFileName = L"CorviskSetup.exe";
    Track(defaults);

    // The listing after one row is the one before the next: a refused row changes
    // nothing, and after an install the clean-up is listed anew.
    ts::Snapshot state = ts::TakeSnapshot();
    int index = 0;
    for (const Row& row : Corpus()) {
        ++index;
        SCOPED_TRACE(testing::Message() << "row " << index << ": " << row.what);
        const std::wstring F = base.folderName + L"-" + std::to_wstring(index);
        const std::wstring A = base.appName + L" " + std::to_wstring(index);
        auto fill = [&](const std::wstring& s) { return Replace(Replace(s, L"{F}", F), L"{A}", A); };

        ts::Package p;
        p.folderName = fill(row.folder);
        p.appName = fill(row.app);
        p.appFileName = fill(row.file);
        if (row.outcome != kRefused)
            Track(p);

        ts::MediumOptions o;
        o.ini = Replace(Replace(row.ini, "{F}", Utf8(F)), "{A}", Utf8(A));
        if (row.encoding != kBytes)
            o.ini = Utf16(o.ini, row.encoding == kUtf16Be);
        o.appFileName = IsValidFileName(p.appFileName.c_str()) ? p.appFileName : L"CorviskApp.exe";
        std::wstring medium = NewMedium(o);
        ASSERT_FALSE(medium.empty());

        SetupConfig c = ConfigOf(medium);
        EXPECT_EQ(p.folderName, std::wstring(c.szAPPFolderName)) << Utf8(c.szAPPFolderName);
        EXPECT_EQ(p.appFileName, std::wstring(c.szAPPFileName)) << Utf8(c.szAPPFileName);
        EXPECT_EQ(p.appName, std::wstring(c.szAppName)) << Utf8(c.szAppName);
        EXPECT_EQ(fill(row.company), std::wstring(c.szCompanyName)) << Utf8(c.szCompanyName);
        EXPECT_EQ(fill(row.version), std::wstring(c.szVersion)) << Utf8(c.szVersion);
        EXPECT_EQ(row.launch, c.bLaunchAPInSilentMode);
        EXPECT_EQ(row.remove, c.bDeleteAPFolder);
        std::wstring dir = c.szInstallDir;
        if (!IsPlainFolderName(p.folderName.c_str()))
            EXPECT_EQ(L"", dir);
        else
            EXPECT_EQ(ts::ExpectedInstallDir(p.folderName), dir);

        const ts::Snapshot before = std::move(state);
        std::vector<std::wstring> boxes;
        BOOL ok = Install(medium, c, &boxes);
        switch (row.outcome) {
        case kInstalls:
            EXPECT_TRUE(ok);
            EXPECT_TRUE(boxes.empty()) << Utf8(ts::JoinLines(boxes));
            EXPECT_TRUE(ts::Exists(dir + L"\\" + p.appFileName));
            EXPECT_TRUE(ts::ReadUninstallEntry(p.folderName).keyExists);
            EXPECT_TRUE(ts::Exists(ts::DesktopLinkPath(p.appName)));
            EXPECT_TRUE(ts::Exists(ts::ProgramsFolderPath(p.appName) + L"\\Uninstall.lnk"));
            state = ExpectOnlyChangesIn(before, ts::InstallPlaces(p, true));
            break;
        case kIncomplete:
            EXPECT_FALSE(ok);
            EXPECT_TRUE(boxes.empty()) << Utf8(ts::JoinLines(boxes));
            EXPECT_TRUE(ts::Exists(dir + L"\\" + p.appFileName));
            EXPECT_TRUE(ts::ReadUninstallEntry(p.folderName).keyExists);
            EXPECT_FALSE(ts::Exists(ts::DesktopLinkPath(p.appName)));
            state = ExpectOnlyChangesIn(before, ts::InstallPlaces(p, true));
            break;
        case kRefused:
            EXPECT_FALSE(ok);
            EXPECT_EQ(std::vector<std::wstring>{row.box}, boxes) << Utf8(ts::JoinLines(boxes));
            state = ExpectOnlyChangesIn(before, {});
            break;
        }
        // A refused package has nothing to clean, and its names must not be used as paths.
        if (row.outcome != kRefused) {
            ts::CleanInstall(p);
            state = ts::TakeSnapshot();
        }
    }
}
