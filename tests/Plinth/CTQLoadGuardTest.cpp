#include <Plinth/CTQLoadGuard.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace
{
struct ProgressRecord
{
    std::vector<float> progress;
    std::vector<std::string> stages;
};

void RecordProgress(float progress, const char* stage, void* user)
{
    auto* record = static_cast<ProgressRecord*>(user);
    record->progress.push_back(progress);
    record->stages.push_back(stage ? stage : "<none>");
    // The hook runs outside the guard's lock, so it may read the guard.
    EXPECT_EQ(CTQLoadGuard::Instance().GetProgress(), progress);
}

class CTQLoadGuardTest : public testing::Test
{
protected:
    void SetUp() override { CTQLoadGuard::Instance().Reset(); }
    void TearDown() override
    {
        CTQLoadGuard::Instance().SetProgressHook(nullptr, nullptr);
        CTQLoadGuard::Instance().Reset();
    }
};

TEST_F(CTQLoadGuardTest, StepsAddUpAndResetStartsAgain)
{
    CTQLoadGuard::Instance(0.25f);
    CTQLoadGuard::Instance(0.5f, "scene");
    EXPECT_EQ(CTQLoadGuard::Instance().GetProgress(), 0.75f);
    EXPECT_EQ(CTQLoadGuard::Instance().GetStage(), "scene");
    CTQLoadGuard::Instance().Reset();
    EXPECT_EQ(CTQLoadGuard::Instance().GetProgress(), 0.0f);
    EXPECT_EQ(CTQLoadGuard::Instance().GetStage(), "");
}

TEST_F(CTQLoadGuardTest, ProgressStaysWithinZeroAndOne)
{
    CTQLoadGuard::Instance(0.75f);
    CTQLoadGuard::Instance(1.0f);
    EXPECT_EQ(CTQLoadGuard::Instance().GetProgress(), 1.0f);
    CTQLoadGuard::Instance(std::numeric_limits<float>::infinity());
    EXPECT_EQ(CTQLoadGuard::Instance().GetProgress(), 1.0f);
    CTQLoadGuard::Instance(-3.0f);
    EXPECT_EQ(CTQLoadGuard::Instance().GetProgress(), 0.0f);
    CTQLoadGuard::Instance(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(CTQLoadGuard::Instance().GetProgress(), 0.0f) << "a NaN step is ignored, not stored";
}

TEST_F(CTQLoadGuardTest, HookSeesEveryStepWithItsStage)
{
    ProgressRecord record;
    CTQLoadGuard::Instance().SetProgressHook(&RecordProgress, &record);
    CTQLoadGuard::Instance(0.5f, "objects");
    CTQLoadGuard::Instance(0.25f);
    CTQLoadGuard::Instance(1.0f, "done");

    EXPECT_EQ(record.progress, (std::vector<float>{0.5f, 0.75f, 1.0f}));
    EXPECT_EQ(record.stages, (std::vector<std::string>{"objects", "<none>", "done"}));
    EXPECT_EQ(CTQLoadGuard::Instance().GetStage(), "done");

    CTQLoadGuard::Instance().SetProgressHook(nullptr, &record);
    CTQLoadGuard::Instance(0.1f);
    EXPECT_EQ(record.progress.size(), 3u) << "a removed hook is not called";
}
} // namespace
