#pragma once

#include "ResourceTestSupport.h"

#include <Framekit/Resources/CTQLocalResourceDatabase.h>
#include <Framekit/Resources/CTQResourceClassDatabase.h>

#include <gtest/gtest.h>

#include <memory>

// A current resource class database and local resource database per test. When
// the test ends both are destroyed, and no counted resource may outlive them.
class ResourceFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_nAliveBefore = CTestCountedRes::s_nAlive;
        classes = std::make_unique<CTQResourceClassDatabase>();
        db = std::make_unique<CTQLocalResourceDatabase>();
    }
    void TearDown() override
    {
        db.reset();
        classes.reset();
        EXPECT_EQ(Alive(), 0) << "a resource was leaked";
        EXPECT_EQ(TQGetResourceDatabase(), nullptr);
        EXPECT_EQ(TQGetResourceClassDatabase(), nullptr);
    }

    // A counted resource entered under a fixed id.
    CTQResource* Make(std::int32_t id, const char* name = "r")
    {
        EXPECT_EQ(db->CreateResourceWithFixedId(id, name, "CTestCountedRes"), id);
        CTQResource* resource = db->QueryResource(id);
        db->ReleaseResource(id);
        return resource;
    }

    // Counted resources made by this test and still alive (a leak in one test does
    // not spill into the next).
    int Alive() const { return CTestCountedRes::s_nAlive - m_nAliveBefore; }

    std::unique_ptr<CTQResourceClassDatabase> classes;
    std::unique_ptr<CTQLocalResourceDatabase> db;

private:
    int m_nAliveBefore = 0;
};
