#pragma once

// Shared by the display tests: an object database per test, stand-ins for a
// device layer (a display server with the infix "Probe" and a viewport that
// records what it is asked to display), a 3D visual that counts its
// recomputations, and helpers for matrices and stored bytes.

#include <Framekit/Display/Display.h>
#include <Framekit/ObjectModel/CTQObjectDatabase.h>
#include <Plinth/CTQDataStream.h>
#include <Plinth/Log.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace DisplayTest
{
using Bytes = std::vector<std::uint8_t>;

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

// Keeps the warnings logged while it lives.
class CWarningLog
{
public:
    CWarningLog() { m_pfnPrevious = TQSetLogSink(&CWarningLog::Sink, this); }
    ~CWarningLog() { TQSetLogSink(m_pfnPrevious, nullptr); }
    CWarningLog(const CWarningLog&) = delete;
    CWarningLog& operator=(const CWarningLog&) = delete;
    bool Contains(const char* text) const
    {
        for (const std::string& line : lines)
            if (line.find(text) != std::string::npos)
                return true;
        return false;
    }
    std::vector<std::string> lines;

private:
    static void Sink(const TQLogMessage& message, void* user)
    {
        static_cast<CWarningLog*>(user)->lines.emplace_back(message.text);
    }
    PFN_TQLogSink m_pfnPrevious = nullptr;
};

// A fresh object database per test (it becomes the current one).
class DisplayFixture : public ::testing::Test
{
protected:
    template <class T>
    T* Get(std::int32_t id)
    {
        CTQObject* object = m_oDatabase.QueryObject(id);
        if (!object)
            return nullptr;
        object->Release();
        return object->IsOfType(T::GetClassType()) ? static_cast<T*>(object) : nullptr;
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

// Bytes written by an object's Serialize.
template <class T>
Bytes Store(T& object)
{
    CTQDataStream s(CTQDataStream::eStoring);
    object.Serialize(s);
    return Bytes(s.GetBuffer(), s.GetBuffer() + s.GetSize());
}

// Serialize run loading from the given bytes; whether the stream stayed sound.
template <class T>
bool Load(T& object, const Bytes& bytes)
{
    CTQDataStream s(CTQDataStream::eLoading, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    object.Serialize(s);
    return !s.IsFailed();
}

// Little-endian values, as the data stream stores them.
class ByteWriter
{
public:
    ByteWriter& U8(std::uint8_t v)
    {
        m_aBytes.push_back(v);
        return *this;
    }
    ByteWriter& I32(std::int32_t v)
    {
        const auto u = static_cast<std::uint32_t>(v);
        for (int shift = 0; shift < 32; shift += 8)
            m_aBytes.push_back(static_cast<std::uint8_t>(u >> shift));
        return *this;
    }
    ByteWriter& F32(float v)
    {
        std::int32_t bits = 0;
        std::memcpy(&bits, &v, 4);
        return I32(bits);
    }
    // A versioned bracket around what the callback writes.
    template <class TFn>
    ByteWriter& Bracket(std::int32_t version, TFn fn)
    {
        ByteWriter inner;
        fn(inner);
        I32(version);
        I32(static_cast<std::int32_t>(inner.m_aBytes.size()));
        m_aBytes.insert(m_aBytes.end(), inner.m_aBytes.begin(), inner.m_aBytes.end());
        return *this;
    }
    // The CTQObject part of an object with this id and no resource, bracketed.
    ByteWriter& ObjectPart(std::int32_t id)
    {
        return Bracket(0x100, [id](ByteWriter& w) { w.I32(id).I32(-1); });
    }
    const Bytes& Get() const { return m_aBytes; }

private:
    Bytes m_aBytes;
};

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
