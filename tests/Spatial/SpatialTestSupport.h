#pragma once

// Shared by the spatial tests: an object database per test with a headless
// display (server, 800 x 600 viewport, camera, scene), boxes to file, a
// quadtree and an octree whose protected operations the tests reach, and
// helpers for stored bytes.

#include <Framekit/Display/Display.h>
#include <Framekit/GameTime/CTQEnvironmentServer.h>
#include <Framekit/ObjectModel/CTQObjectDatabase.h>
#include <Framekit/Spatial/Spatial.h>
#include <FramekitHeadless/HeadlessDisplay.h>

#include <gtest/gtest.h>

#include "Plinth/CapturingLogSink.h"
#include "Support/StreamBytes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace SpatialTest
{
using TestSupport::Bytes;

// A quadtree whose protected operations the tests call.
class CTestQuadtree : public CTQObjectQuadtree
{
public:
    TQ_DECLARE_CLASS_TYPE(CTestQuadtree)
    using CTQObjectQuadtree::AddObject;
    using CTQObjectQuadtree::CheckInFrustrum;
    using CTQObjectQuadtree::Init;
    using CTQObjectQuadtree::RemoveObject;
    using CTQObjectQuadtree::SetGridDimensions;
    using CTQObjectQuadtree::SetGridOffset;
    using CTQObjectQuadtree::SetLeafDimensions;
};

// An octree whose clip test the tests call.
class CTestOcttree : public CTQObjectOcttree
{
public:
    TQ_DECLARE_CLASS_TYPE(CTestOcttree)
    using CTQObjectOcttree::CheckInFrustrum;
};

// A visual that counts the calls a container makes on it.
class CCountingVisual3d : public CTQVisual3d
{
public:
    TQ_DECLARE_CLASS_TYPE(CCountingVisual3d)
    void Precache(std::int32_t viewport) override
    {
        ++precached;
        CTQVisual3d::Precache(viewport);
    }
    void BlindDisplay(std::int32_t) override { ++blindDisplayed; }
    int precached = 0;
    int blindDisplayed = 0;
};

// Keeps the messages logged while it lives.
using CWarningLog = CapturingLogSink;

// A fresh object database per test with a headless display: an 800 x 600
// viewport with the frustum (-1, 1, -1, 1, 1, 200) and a camera at the origin
// looking along +Y (+Z up), showing one scene.
class SpatialFixture : public ::testing::Test
{
protected:
    void SetUp() override;

    template <class T>
    T* Get(std::int32_t id)
    {
        CTQObject* object = m_oDatabase.PeekObject(id);
        return object && object->IsOfType(T::GetClassType()) ? static_cast<T*>(object) : nullptr;
    }
    std::int32_t Create(const char* className) { return m_oDatabase.CreateObject(className); }
    template <class T>
    T* New(std::int32_t& id)
    {
        id = Create(T::GetClassType().GetName().GetString());
        return Get<T>(id);
    }
    // A 3D visual whose world box is centre ± half (each half at least 0.05),
    // updated.
    std::int32_t MakeBox(const CTQVector3& centre, const CTQVector3& half, const char* className = "CTQVisual3d");
    // A quadtree of nx x ny patches of the given size with the grid's lower
    // corner at (ox, oy).
    CTestQuadtree* MakeQuadtree(std::int32_t& id, int nx, int ny, float leafW, float leafH, float ox, float oy);
    bool IsAlive(std::int32_t id) { return Get<CTQObject>(id) != nullptr; }

    CTQEnvironmentServer m_oEnvironment;
    CTQObjectDatabase m_oDatabase;
    CTQHeadlessDisplayServer* server = nullptr;
    CTQHeadlessViewport* viewport = nullptr;
    CTQCamera* camera = nullptr;
    CTQScene* scene = nullptr;
    std::int32_t m_nServerId = -1;
    std::int32_t viewportId = -1;
    std::int32_t cameraId = -1;
    std::int32_t sceneId = -1;
};

using TestSupport::ByteWriter;
using TestSupport::Load;
using TestSupport::Store;

inline void ExpectVectorNear(const CTQVector3& actual, const CTQVector3& expected, float tolerance = 1e-4f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}
} // namespace SpatialTest
