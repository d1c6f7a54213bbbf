#pragma once

#include <Framekit/Display/CTQVisual.h>
#include <Framekit/FramekitExport.h>
#include <Geodex/CTQMatrix44.h>
#include <Geodex/CTQVector3.h>

#include <cstdint>
#include <deque>

class CTQDataStream;
class CTQTimer;

// The root visual a viewport shows: it holds the visuals of one world as its
// children, is updated once a frame and displayed through a viewport.
//
// On top of a plain visual it keeps a virtual coordinate system: a matrix from
// virtual to world coordinates, its inverse, and a stack on which the matrix
// can be saved and restored, so that 2D and virtual-space visuals can be placed
// in world space. Invariant: the inverse is the inverse of the matrix whenever
// HasValidInvMatrix() is true.
class FRAMEKIT_API CTQScene : public CTQVisual
{
public:
    TQ_DECLARE_CLASS_TYPE(CTQScene)

    CTQScene();
    ~CTQScene() override;

    // matrix × v and inverse × v (as points).
    virtual CTQVector3 MapVirtualToWorld(const CTQVector3& v) const;
    virtual CTQVector3 MapWorldToVirtual(const CTQVector3& v) const;
    virtual void DebugDump();

    void Display(std::int32_t viewport) override;

    void SetMatrix(const CTQMatrix44& matrix);
    // matrix = matrix × m.
    void ApplyMatrix(const CTQMatrix44& m);
    const CTQMatrix44& GetMatrix() const { return m_oMatrix; }
    const CTQMatrix44& GetInvMatrix() const { return m_oInvMatrix; }
    bool HasValidInvMatrix() const { return m_bInvMatrixValid; }
    void PushMatrix();
    // Restores the matrix saved last. False, changing nothing, when no matrix
    // is saved (a PopMatrix without its PushMatrix).
    bool PopMatrix();
    std::size_t GetMatrixStackDepth() const { return m_aMatrixStack.size(); }

    // Written by the object database, not created by it.
    std::int32_t GetSerializationMode() const override;
    // The visual part, matrix and inverse (versioned), inverse-valid (1 byte),
    // the bytes 'S' and 'd', a 32-bit count and the stacked matrices
    // (versioned) from the bottom up.
    void Serialize(CTQDataStream& s) override;

protected:
    // The global timer, for visuals that animate.
    virtual CTQTimer* GetTimerRef();

private:
    void CalcInvMatrix();
    void StoreStack(CTQDataStream& s);
    void LoadStack(CTQDataStream& s);

    CTQMatrix44 m_oMatrix;
    CTQMatrix44 m_oInvMatrix;
    bool m_bInvMatrixValid = true;
    std::deque<CTQMatrix44> m_aMatrixStack;
    CTQTimer* m_pTimer = nullptr;
};
