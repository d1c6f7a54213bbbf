#pragma once

#include <Framekit/Display/CTQShader.h>
#include <FramekitHeadless/HeadlessExport.h>

// A shader of the headless layer: it only knows whether it is active.
class FRAMEKITHEADLESS_API CTQHeadlessShader : public CTQShader
{
public:
    TQ_DECLARE_CLASS_TYPE(CTQHeadlessShader)

    bool Activate() override;
    void Deactivate() override;
    bool IsActive() const { return m_bActive; }

private:
    bool m_bActive = false;
};
