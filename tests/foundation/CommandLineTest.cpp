#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/TestSupport.h"

namespace {

struct Parsed {
    int uninstall, silentDel, silent, count;
};

void ParseWords(CSetupCommandLineInfo& info, std::vector<std::wstring> words)
{
    std::vector<WCHAR*> argv;
    std::wstring program = L"setup.exe";
    argv.push_back(&program[0]);
    for (std::wstring& w : words)
        argv.push_back(&w[0]);
    CWinApp::ParseArguments(info, static_cast<int>(argv.size()), argv.data());
}

}  // namespace

TEST(CommandLine, StartsEmpty)
{
    CSetupCommandLineInfo info;
    EXPECT_EQ(0, info.m_bUninstall);
    EXPECT_EQ(0, info.m_bSilentDel);
    EXPECT_EQ(0, info.m_bSilent);
    EXPECT_EQ(0, info.m_nParamCount);
    for (auto& entry : info.m_szParams)
        for (WCHAR c : entry)
            ASSERT_EQ(0, c);
}

TEST(CommandLine, WordTable)
{
    struct Case {
        std::vector<std::wstring> words;
        Parsed want;
        std::vector<std::wstring> stored;
    } cases[] = {
        {{}, {0, 0, 0, 0}, {}},
        {{L"delpkg"}, {1, 0, 0, 1}, {L"delpkg"}},
        {{L"DELPKG"}, {1, 0, 0, 1}, {L"DELPKG"}},
        {{L"-delpkg"}, {1, 0, 0, 1}, {L"-delpkg"}},
        {{L"/DelPkg"}, {1, 0, 0, 1}, {L"-DelPkg"}},
        {{L"delpkg2"}, {0, 0, 0, 1}, {L"delpkg2"}},
        {{L"uninstall"}, {0, 0, 0, 1}, {L"uninstall"}},
        {{L"-s"}, {0, 0, 1, 1}, {L"-s"}},
        {{L"/S"}, {0, 0, 1, 1}, {L"-S"}},
        {{L"silent"}, {0, 0, 0, 1}, {L"silent"}},
        {{L"s", L"delpkg"}, {1, 0, 1, 2}, {L"s", L"delpkg"}},
        {{L"SilentDel"}, {0, 1, 0, 1}, {L"SilentDel"}},
        {{L"silentdel"}, {0, 1, 0, 1}, {L"silentdel"}},
        {{L""}, {0, 0, 0, 1}, {L""}},
        {{L"--s"}, {0, 0, 0, 1}, {L"--s"}},  // only one prefix is removed
        {{L"-"}, {0, 0, 0, 1}, {L"-"}},
        // Non-ASCII letters are not folded: U+0130 is no "i" and no "I".
        {{L"S\u0130lentDel"}, {0, 0, 0, 1}, {L"S\u0130lentDel"}},
        {{L"x", L"y", L"z", L"w", L"s"}, {0, 0, 1, 5}, {L"x", L"y", L"z", L"w"}},
        {{L"a", L"b", L"c", L"d", L"e", L"f", L"delpkg"}, {1, 0, 0, 7}, {L"a", L"b", L"c", L"d"}},
    };
    for (const Case& c : cases) {
        std::wstring label;
        for (const auto& w : c.words)
            label += L"[" + w + L"]";
        SCOPED_TRACE(std::string(label.begin(), label.end()));
        CSetupCommandLineInfo info;
        ParseWords(info, c.words);
        EXPECT_EQ(c.want.uninstall, info.m_bUninstall);
        EXPECT_EQ(c.want.silentDel, info.m_bSilentDel);
        EXPECT_EQ(c.want.silent, info.m_bSilent);
        EXPECT_EQ(c.want.count, info.m_nParamCount);
        for (size_t i = 0; i < c.stored.size(); ++i)
            EXPECT_EQ(c.stored[i], std::wstring(info.m_szParams[i]));
    }
}

TEST(CommandLine, LongParametersAreCutAndStillCompared)
{
    CSetupCommandLineInfo info;
    std::wstring longWord(5000, L'x');
    std::wstring longFlag = L"-" + std::wstring(400, L'y');
    ParseWords(info, {longWord, longFlag, L"s"});
    EXPECT_EQ(3, info.m_nParamCount);
    EXPECT_EQ(1, info.m_bSilent);
    EXPECT_EQ(std::wstring(259, L'x'), std::wstring(info.m_szParams[0]));
    EXPECT_EQ(L"-" + std::wstring(258, L'y'), std::wstring(info.m_szParams[1]));
    EXPECT_EQ(L"s", std::wstring(info.m_szParams[2]));
    EXPECT_EQ(0, info.m_szParams[3][0]);
}

TEST(CommandLine, ManyParametersDoNotOverrun)
{
    CSetupCommandLineInfo info;
    std::vector<std::wstring> words(100, std::wstring(300, L'z'));
    words.push_back(L"/delpkg");
    ParseWords(info, words);
    EXPECT_EQ(101, info.m_nParamCount);
    EXPECT_EQ(1, info.m_bUninstall);
    EXPECT_EQ(std::wstring(259, L'z'), std::wstring(info.m_szParams[3]));
}

// The real start-up routine and the run time's own splitting of a command line.
TEST(CommandLine, RealProcessCommandLine)
{
    struct Case {
        const wchar_t* args;
        DWORD want;  // bit 0 delpkg, bit 1 SilentDel, bit 2 s, count << 3
    } cases[] = {
        {L"", 0},
        {L" s", 4 | 1 << 3},
        {L" /S delpkg", 1 | 4 | 2 << 3},
        {L" \"\" SilentDel", 2 | 2 << 3},
        {L" \"s delpkg\"", 1 << 3},  // one quoted argument, no word
        {L" -DELPKG x y z w v", 1 | 6 << 3},
    };
    std::wstring probe = ts::Quote(ts::BinPath(L"cmdline_probe.exe"));
    for (const Case& c : cases) {
        SCOPED_TRACE(std::wstring(c.args).size());
        ts::ProcResult r = ts::Run(probe + c.args, 30000);
        ASSERT_TRUE(r.started);
        ASSERT_FALSE(r.timedOut);
        EXPECT_EQ(c.want, r.exitCode) << "args:" << std::string(c.args, c.args + wcslen(c.args));
    }
}

// Seeded random argument vectors: any UTF-16 unit, long and many arguments, with the
// three words (and near misses) mixed in. The parser must count every argument and
// set a flag exactly when some argument is that word, case-blind in ASCII only.
TEST(CommandLine, RandomArgumentsAreCountedAndOnlyExactWordsSetFlags)
{
    const wchar_t* words[] = {L"delpkg", L"SilentDel", L"s", L"DELPKG", L"S", L"delpkg ", L"ss", L"SilentDe"};
    unsigned seed = 20261211;
    auto next = [&seed]() {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) & 0xFFFFFF;
    };
    auto lower = [](std::wstring w) {
        for (wchar_t& c : w)
            if (c >= L'A' && c <= L'Z')
                c = static_cast<wchar_t>(c - L'A' + L'a');
        return w;
    };
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE(round);
        std::vector<std::wstring> args(next() % 101);
        int want[3] = {0, 0, 0};
        for (std::wstring& a : args) {
            unsigned kind = next() % 4;
            if (kind == 0) {
                a = words[next() % 8];
                if (next() % 2)
                    a = (next() % 2 ? L"-" : L"/") + a;
            } else {
                size_t len = kind == 1 ? next() % 10001 : next() % 12;
                a.resize(len);
                for (wchar_t& c : a)
                    c = static_cast<wchar_t>(1 + next() % 0xFFFF);  // no terminator inside
            }
            std::wstring bare = (!a.empty() && (a[0] == L'-' || a[0] == L'/')) ? a.substr(1) : a;
            std::wstring l = lower(bare);
            want[0] |= l == L"delpkg";
            want[1] |= l == L"silentdel";
            want[2] |= l == L"s";
        }
        CSetupCommandLineInfo info;
        ParseWords(info, args);
        ASSERT_EQ(static_cast<int>(args.size()), info.m_nParamCount);
        ASSERT_EQ(want[0], info.m_bUninstall);
        ASSERT_EQ(want[1], info.m_bSilentDel);
        ASSERT_EQ(want[2], info.m_bSilent);
        for (const auto& entry : info.m_szParams)
            ASSERT_LT(wcslen(entry), static_cast<size_t>(MAX_PATH));
    }
}
