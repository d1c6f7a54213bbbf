#include <Framekit/ObjectModel/CTQApplication.h>

#include <Plinth/CTQString.h>

#include <gtest/gtest.h>

#include <memory>

namespace
{
// An application whose profile reads and writes succeed or fail on demand and
// are counted.
class CTestApplication : public CTQApplication
{
public:
    int Run() override { return 0; }
    bool ReadProfileSettings() override
    {
        ++m_nReads;
        return m_bReadSucceeds;
    }
    bool WriteProfileSettings() override
    {
        ++m_nWrites;
        return m_bWriteSucceeds;
    }

    bool m_bReadSucceeds = true;
    bool m_bWriteSucceeds = true;
    int m_nReads = 0;
    int m_nWrites = 0;
};

// Keeps the base's profile operations.
class CPlainApplication : public CTQApplication
{
public:
    int Run() override { return 3; }
};
} // namespace

TEST(CTQApplication, ConstructingMakesCurrentAndOnlyTheCurrentOneClearsIt)
{
    auto first = std::make_unique<CPlainApplication>();
    EXPECT_EQ(TQGetApplication(), first.get());
    auto second = std::make_unique<CPlainApplication>();
    EXPECT_EQ(TQGetApplication(), second.get());
    first.reset();
    EXPECT_EQ(TQGetApplication(), second.get());
    second.reset();
    EXPECT_EQ(TQGetApplication(), nullptr);
}

TEST(CTQApplication, InitInstanceReadsTheProfileAndKeepsTheHandle)
{
    CTestApplication app;
    EXPECT_EQ(app.GetInstanceHandle(), 0u);
    EXPECT_TRUE(app.InitInstance(0xCAFE0001u, "-windowed"));
    EXPECT_EQ(app.m_nReads, 1);
    EXPECT_EQ(app.m_nWrites, 0);
    EXPECT_EQ(app.GetInstanceHandle(), 0xCAFE0001u);
}

TEST(CTQApplication, InitInstanceFailsAndKeepsNoHandleWhenTheProfileCannotBeRead)
{
    CTestApplication app;
    app.m_bReadSucceeds = false;
    EXPECT_FALSE(app.InitInstance(42, ""));
    EXPECT_EQ(app.m_nReads, 1);
    EXPECT_EQ(app.GetInstanceHandle(), 0u);
}

TEST(CTQApplication, ExitInstanceWritesTheProfileAndReportsItsResult)
{
    CTestApplication app;
    EXPECT_EQ(app.ExitInstance(), 0);
    EXPECT_EQ(app.m_nWrites, 1);
    app.m_bWriteSucceeds = false;
    EXPECT_EQ(app.ExitInstance(), -1);
    EXPECT_EQ(app.m_nWrites, 2);
}

TEST(CTQApplication, TheBaseProfileOperationsSucceed)
{
    CPlainApplication app;
    EXPECT_TRUE(app.InitInstance(7, ""));
    EXPECT_EQ(app.GetInstanceHandle(), 7u);
    EXPECT_EQ(app.ExitInstance(), 0);
}
