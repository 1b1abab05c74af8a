// Shared main of the Wine test exes.
#include <windows.h>

#include <gtest/gtest.h>

namespace {

// A runner left on code page 1252 would pass GBK tests for the wrong reasons.
class CodePageCheck : public testing::Environment {
public:
    void SetUp() override { ASSERT_EQ(GetACP(), 936u) << "run the tests with LANG=zh_CN.UTF-8"; }
};

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    testing::AddGlobalTestEnvironment(new CodePageCheck);
    return RUN_ALL_TESTS();
}
