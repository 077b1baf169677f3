// Shows the frame strip model to the frame list and strip widgets.
#pragma once

#include "widgets/FrameViews.h"
#include "workspace/FrameStrip.h"

class TStripViewSource : public TFrameViewSource {
public:
    explicit TStripViewSource(const TFrameStrip& strip) : m_strip(strip) {}
    int FrameCount() const override { return m_strip.Count(); }
    std::string FrameName(int i) const override { return m_strip.FindFrameImage(i).Name; }
    std::string FrameEntryText(int i) const override { return m_strip.EntryText(i); }
    const TBitmap& FrameBitmap(int i) const override { return m_strip.FindFrameImage(i).Bitmap(); }
    std::uint64_t FrameVersion(int i) const override { return m_strip.FindFrameImage(i).Version; }
    int FrameLeft(int i) const override { return m_strip.FrameLeft(i); }
    bool FrameSelected(int i) const override { return m_strip.IsSelected(i); }
    int CurrentFrame() const override { return m_strip.ItemIndex(); }

private:
    const TFrameStrip& m_strip;
};
