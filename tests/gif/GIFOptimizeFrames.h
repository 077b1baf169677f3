// Frames written index by index for the optimizer tests.
#pragma once

#include "gif/GIFImage.h"

#include <string>
#include <vector>

struct FramePlan {
    int Left = 0;
    int Top = 0;
    // One character per pixel: '0'..'9' and 'a'..'z' are indices 0..35.
    std::vector<std::string> Rows{};
    std::vector<TColor> Table{}; // local table; empty: the frame uses the global one
    int Delay = -1;            // -1 with no disposal and no transparency: no graphic control
    int Disposal = 0;
    int Transparent = -1;
};

inline int IndexOfChar(char c) { return c >= 'a' ? c - 'a' + 10 : c - '0'; }
inline char CharOfIndex(int i) { return i < 10 ? static_cast<char>('0' + i) : i < 36 ? static_cast<char>('a' + i - 10) : '?'; }

inline std::vector<TGIFColor> GIFColors(const std::vector<TColor>& colors)
{
    std::vector<TGIFColor> out;
    for (TColor c : colors)
        out.push_back(ColorToGIFColor(c));
    return out;
}

inline TGIFSubImage* AddFrame(TGIFImage& gif, const FramePlan& plan)
{
    TGIFSubImage* f = gif.AddEmptyFrame();
    f->Left = plan.Left;
    f->Top = plan.Top;
    const int h = static_cast<int>(plan.Rows.size());
    const int w = h ? static_cast<int>(plan.Rows[0].size()) : 0;
    f->SetSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            f->ScanLine(y)[x] = static_cast<std::uint8_t>(IndexOfChar(plan.Rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]));
    f->ColorMap.Assign(GIFColors(plan.Table));
    if (plan.Delay >= 0 || plan.Disposal || plan.Transparent >= 0) {
        auto* gce = f->AddExtension<TGIFGraphicControlExtension>();
        gce->SetDelay(std::max(plan.Delay, 0));
        gce->SetDisposal(plan.Disposal);
        if (plan.Transparent >= 0) {
            gce->SetTransparent(true);
            gce->SetTransparentColorIndex(plan.Transparent);
        }
    }
    return f;
}

inline std::vector<std::string> FrameRows(const TGIFSubImage& f)
{
    std::vector<std::string> rows;
    for (int y = 0; y < f.Height(); ++y) {
        std::string r;
        for (int x = 0; x < f.Width(); ++x)
            r += CharOfIndex(f.ScanLine(y)[x]);
        rows.push_back(r);
    }
    return rows;
}
