// "配置.dpk" written and read through the real profile functions under code page 936.
#include "memo/Memo.h"
#include "tests/support/WineTest.h"

#include <gtest/gtest.h>

#include <random>

using memo::ConfigFile;
using testing_support::ReadFileBytes;
using testing_support::TempFolder;
using testing_support::WriteFileBytes;

namespace {

const std::string kGbkConfigName = "配置.dpk";
const std::string kGbkHeader = "[各项配置]\r\n";

class ConfigFileTest : public testing::Test {
protected:
    TempFolder folder;
    ConfigFile config{folder.GbkPath()};
    std::string Bytes() const { return ReadFileBytes(config.Path()); }
    void Store(const std::string& bytes) { ASSERT_TRUE(WriteFileBytes(config.Path(), bytes)); }
};

}  // namespace

TEST_F(ConfigFileTest, PathIsTheFolderPlusTheGbkName) {
    EXPECT_EQ(config.Path(), folder.GbkPath() + "\\" + kGbkConfigName);
    ConfigFile beside;
    EXPECT_EQ(beside.Path(), testing_support::ExeFolder() + "\\" + kGbkConfigName);
}

TEST_F(ConfigFileTest, MissingFileReadsAsDefaults) {
    EXPECT_EQ(config.ReadKey(memo::kGbkKeyEntries), "");
    EXPECT_EQ(config.ReadNumber(memo::kGbkKeyLeft), 0);
    EXPECT_EQ(config.ReadStripTextColor(), memo::kWhite);
    EXPECT_EQ(GetFileAttributesA(config.Path().c_str()), INVALID_FILE_ATTRIBUTES) << "reading creates nothing";
}

TEST_F(ConfigFileTest, StripTextColorRules) {
    struct Case {
        const char* label;
        std::string line;
        int32_t color;
    };
    const Case cases[] = {
        {"missing key", "启动X坐标=5", memo::kWhite},
        {"empty value", "文本颜色=", memo::kWhite},
        {"zero is black", "文本颜色=0", 0},
        {"not a number is black", "文本颜色=红色", 0},
        {"blue", "文本颜色=16711680", 16711680},
        {"blanks around the value", "文本颜色=  255  ", 255},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Store(kGbkHeader + c.line + "\r\n");
        EXPECT_EQ(config.ReadStripTextColor(), c.color);
    }
}

TEST_F(ConfigFileTest, KeysRoundTripAsAnOrdinaryGbkIniFile) {
    const std::string entries = "买菜&真&2011-05-03-18:30:00&真&255\\蚛\\&假&&假&-1\\";
    ASSERT_TRUE(config.WriteNumber(memo::kGbkKeyLeft, -120));
    ASSERT_TRUE(config.WriteNumber(memo::kGbkKeyTop, 300));
    ASSERT_TRUE(config.WriteKey(memo::kGbkKeyEntries, entries));
    ASSERT_TRUE(config.WriteNumber(memo::kGbkKeyTextColor, 65280));

    EXPECT_EQ(config.ReadNumber(memo::kGbkKeyLeft), -120);
    EXPECT_EQ(config.ReadNumber(memo::kGbkKeyTop), 300);
    EXPECT_EQ(config.ReadKey(memo::kGbkKeyEntries), entries);
    EXPECT_EQ(config.ReadStripTextColor(), 65280);

    std::string bytes = Bytes();
    EXPECT_NE(bytes.find("[各项配置]"), std::string::npos);
    EXPECT_NE(bytes.find("启动X坐标=-120"), std::string::npos);
    EXPECT_NE(bytes.find(std::string("条目内容=") + entries), std::string::npos);
    EXPECT_EQ(GetFileAttributesA((config.Path() + ".new").c_str()), INVALID_FILE_ATTRIBUTES) << "no copy left behind";

    // Another program's keys and sections survive our writes.
    Store(bytes + "[其他]\r\nk=v\r\n");
    ASSERT_TRUE(config.WriteNumber(memo::kGbkKeyLeft, 7));
    char other[16] = {};
    GetPrivateProfileStringA("其他", "k", "", other, sizeof other, config.Path().c_str());
    EXPECT_STREQ(other, "v");
    EXPECT_EQ(config.ReadKey(memo::kGbkKeyEntries), entries);
}

TEST_F(ConfigFileTest, ValuesFarLongerThanTenKilobytesReadBackWhole) {
    for (size_t size : {10239u, 10240u, 10241u, 40959u, 300000u}) {
        SCOPED_TRACE(size);
        std::string value;
        while (value.size() < size) {
            value += "长笔记&假&2011-01-01-12:00:00&假&1\\";
        }
        value.resize(size);
        value.back() = 'x';  // never end on half a character
        ASSERT_TRUE(config.WriteKey(memo::kGbkKeyEntries, value));
        EXPECT_EQ(config.ReadKey(memo::kGbkKeyEntries), value);
    }
}

TEST_F(ConfigFileTest, QuickSuccessiveWritesAreAllSeen) {
    for (int i = 0; i < 200; ++i) {
        ASSERT_TRUE(config.WriteNumber(memo::kGbkKeyLeft, i));
        ASSERT_EQ(config.ReadNumber(memo::kGbkKeyLeft), i);
    }
}

TEST_F(ConfigFileTest, ALockedFileFailsTheWriteAndKeepsItsBytes) {
    ASSERT_TRUE(config.WriteKey(memo::kGbkKeyEntries, "a&假&t&假&1\\"));
    std::string before = Bytes();
    HANDLE lock = CreateFileA(config.Path().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(config.WriteKey(memo::kGbkKeyEntries, "b&假&t&假&1\\"));
    CloseHandle(lock);
    EXPECT_EQ(Bytes(), before);
    EXPECT_TRUE(config.WriteKey(memo::kGbkKeyEntries, "b&假&t&假&1\\")) << "the next write tries again";
    EXPECT_EQ(config.ReadKey(memo::kGbkKeyEntries), "b&假&t&假&1\\");
}

TEST_F(ConfigFileTest, AReadOnlyFileFailsTheWriteAndKeepsItsBytes) {
    ASSERT_TRUE(config.WriteKey(memo::kGbkKeyEntries, "a&假&t&假&1\\"));
    std::string before = Bytes();
    ASSERT_TRUE(SetFileAttributesA(config.Path().c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(config.WriteKey(memo::kGbkKeyEntries, "b&假&t&假&1\\"));
    EXPECT_EQ(Bytes(), before);
    SetFileAttributesA(config.Path().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(config.WriteKey(memo::kGbkKeyEntries, "b&假&t&假&1\\"));
}

// A child process rewrites the file as fast as it can; it is killed at random
// moments, and each time the file must read back whole: the header, both
// position keys, and an entry list that is exactly one of those written.
TEST_F(ConfigFileTest, KilledWritersNeverLeaveADamagedFile) {
    std::string writer = testing_support::ExeFolder() + "\\config_write_loop.exe";
    ASSERT_NE(GetFileAttributesA(writer.c_str()), INVALID_FILE_ATTRIBUTES) << writer;
    std::mt19937 random(12345);
    int kills = 0;
    for (int round = 0; round < 25; ++round) {
        std::string commandLine = "\"" + writer + "\" \"" + folder.GbkPath() + "\" " + std::to_string(round);
        STARTUPINFOA startup{sizeof startup};
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &startup, &process));
        DWORD waitMs = 30 + random() % 400;
        if (WaitForSingleObject(process.hProcess, waitMs) == WAIT_TIMEOUT) {
            TerminateProcess(process.hProcess, 9);
            ++kills;
        }
        WaitForSingleObject(process.hProcess, INFINITE);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);

        SCOPED_TRACE("round " + std::to_string(round));
        std::string bytes = Bytes();
        if (bytes.empty()) {
            ASSERT_EQ(round, 0) << "the file vanished after it once existed";
            continue;
        }
        ASSERT_EQ(bytes.rfind(kGbkHeader, 0), 0u);
        memo::EntryList list = memo::ReadStoredList(config.ReadKey(memo::kGbkKeyEntries), 0);
        ASSERT_FALSE(list.empty());
        int32_t count = list.front().TextColor;
        ASSERT_EQ(static_cast<int32_t>(list.size()), count) << "a list cut short";
        for (const memo::MemoEntry& entry : list) {
            ASSERT_EQ(entry.TextColor, count);
            ASSERT_EQ(entry.Text, "第" + std::to_string(count) + "条笔记很长很长很长很长很长很长");
        }
        // Left and top are written as one pair, so they are never a write apart.
        const bool noPlaceYet = config.ReadKey(memo::kGbkKeyLeft).empty() && config.ReadKey(memo::kGbkKeyTop).empty();
        const int32_t left = config.ReadNumber(memo::kGbkKeyLeft);
        const int32_t top = config.ReadNumber(memo::kGbkKeyTop);
        ASSERT_TRUE(noPlaceYet || top == left + 1) << left << "," << top;
    }
    EXPECT_GT(kills, 10) << "the writer finished too early to be interrupted";
}
