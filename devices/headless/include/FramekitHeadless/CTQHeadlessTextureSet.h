#pragma once

#include <Framekit/Display/CTQTextureSet.h>
#include <FramekitHeadless/HeadlessExport.h>

#include <cstdint>

// A texture set of the headless layer: selecting it only counts and remembers
// the stage it was selected at.
class FRAMEKITHEADLESS_API CTQHeadlessTextureSet : public CTQTextureSet
{
public:
    TQ_DECLARE_CLASS_TYPE(CTQHeadlessTextureSet)

    bool Select(std::uint32_t firstStage) override;

    std::uint32_t GetSelectCount() const { return m_nSelectCount; }
    std::uint32_t GetLastStage() const { return m_nLastStage; }

private:
    std::uint32_t m_nSelectCount = 0;
    std::uint32_t m_nLastStage = 0;
};
