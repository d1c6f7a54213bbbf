#pragma once

// Shared by the display tests: an object database per test, stand-ins for a
// device layer (a display server with the infix "Probe" and a viewport that
// records what it is asked to display), a 3D visual that counts its
// recomputations, and helpers for matrices and stored bytes.

#include <Framekit/Display/Display.h>
#include <Framekit/ObjectModel/CTQObjectDatabase.h>

#include <gtest/gtest.h>

#include "Plinth/CapturingLogSink.h"
#include "Support/StreamBytes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace DisplayTest
{
using TestSupport::Bytes;

// A viewport of the probe device layer: keeps the ids it was told were
// displayed, with the viewport's current scene at that moment.
class CTQProbeViewport : public CTQViewport
{
public:
    TQ_DECLARE_CLASS_TYPE(CTQProbeViewport)
    void OnVisualDisplayed(CTQVisual& visual) override
    {
        displayed.push_back(visual.GetId());
        sceneWhileDisplayed.push_back(GetCurrentScene());
    }
    void OnDisplaySizeChanged(const CTQSize& size) override
    {
        resizes.push_back(size);
        SetSize(size);
    }
    using CTQViewport::NotifyPropertyChange;

    std::vector<std::int32_t> displayed;
    std::vector<std::int32_t> sceneWhileDisplayed;
    std::vector<CTQSize> resizes;
};

// A display server of the probe device layer.
class CTQProbeDisplayServer : public CTQDisplayServer
{
public:
    TQ_DECLARE_CLASS_TYPE(CTQProbeDisplayServer)
    std::int32_t NewScene() override { return CreateObject("CTQScene"); }
    std::int32_t NewCamera() override { return CreateObject("CTQCamera"); }
    std::int32_t NewViewport() override { return CreateObject("CTQViewport"); }
    std::int32_t NewPrimitive(int, std::int32_t) override { return CreateObject("CTQPrimitive"); }
    const char* GetDeviceClassInfix() const override { return "Probe"; }
    using CTQDisplayServer::GetModeTag;
};

// A 3D visual that counts how often each part of it was recomputed.
class CTestVisual3d : public CTQVisual3d
{
public:
    TQ_DECLARE_CLASS_TYPE(CTestVisual3d)
    void ComputeTransformMatrix() override
    {
        ++localCount;
        CTQVisual3d::ComputeTransformMatrix();
    }
    void ComputeWorldMatrix() override
    {
        ++worldCount;
        CTQVisual3d::ComputeWorldMatrix();
    }
    void ComputeMyBounds() override
    {
        ++boundsCount;
        CTQVisual3d::ComputeMyBounds();
    }
    void ComputeSystemBounds() override
    {
        ++systemCount;
        CTQVisual3d::ComputeSystemBounds();
    }
    void ResetCounts() { localCount = worldCount = boundsCount = systemCount = 0; }

    int localCount = 0;
    int worldCount = 0;
    int boundsCount = 0;
    int systemCount = 0;
};

// Keeps the messages logged while it lives.
using CWarningLog = CapturingLogSink;

// A fresh object database per test (it becomes the current one).
class DisplayFixture : public ::testing::Test
{
protected:
    template <class T>
    T* Get(std::int32_t id)
    {
        CTQObject* object = m_oDatabase.PeekObject(id);
        return object && object->IsOfType(T::GetClassType()) ? static_cast<T*>(object) : nullptr;
    }
    std::int32_t Create(const char* className) { return m_oDatabase.CreateObject(className); }
    // A new object of class T, with its id.
    template <class T>
    T* New(std::int32_t& id)
    {
        id = Create(T::GetClassType().GetName().GetString());
        return Get<T>(id);
    }
    template <class T>
    T* New()
    {
        std::int32_t id = -1;
        return New<T>(id);
    }

    CTQObjectDatabase m_oDatabase;
};

using TestSupport::ByteWriter;
using TestSupport::Load;
using TestSupport::Store;

inline void ExpectMatrixNear(const CTQMatrix44& actual, const CTQMatrix44& expected, float tolerance = 1e-5f)
{
    for (int row = 1; row <= 4; ++row)
        for (int col = 1; col <= 4; ++col)
            EXPECT_NEAR(actual(row, col), expected(row, col), tolerance) << "at (" << row << ", " << col << ")";
}

inline void ExpectVectorNear(const CTQVector3& actual, const CTQVector3& expected, float tolerance = 1e-5f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}
} // namespace DisplayTest
