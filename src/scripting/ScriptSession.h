// TScriptSession: the drawing object and the script host that runs scripts with it,
// as the frame editor, the automation server and anivor-cli use them. Creating it
// creates the object (CogfxAnivor) and registers it with the host under "gfx".
#pragma once

#include "gfxAnivor.h"

#include "graphics/Bitmap.h"
#include "graphics/canvas/Canvas.h"
#include "platform/script/ScriptHost.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

class TScriptSession {
public:
    explicit TScriptSession(TPictureTarget* target = nullptr);

    TgfxAnivor& Gfx() { return *m_gfx; }
    std::shared_ptr<TgfxAnivor> GfxObject() const { return m_gfx; }
    TActiveScriptWindow se;

    // Runs a script on the target picture; its drawing is shown, and recorded as one undo
    // step, when it ends, also when it ends at an error or is stopped. Returns the error.
    // A timeout above 0 replaces the host's for this run.
    std::optional<TScriptError> RunScript(const std::string& text, double timeoutSeconds = 0);
    // Around each run, on the calling thread (the frame editor's view lets go of the
    // picture meanwhile).
    std::function<void()> BeforeRun;
    std::function<void()> AfterRun;

private:
    std::shared_ptr<TgfxAnivor> m_gfx;
};

// A picture of its own for drawing without a window (anivor-cli, tests).
class TBitmapPictureTarget : public TPictureTarget {
public:
    explicit TBitmapPictureTarget(TBitmap bitmap);
    TCanvas& Canvas() override { return m_canvas; }
    TBitmap& Picture() override { return m_bitmap; }
    void PictureChanged() override { ++Changes; }
    int Changes = 0;

private:
    TBitmap m_bitmap;
    TCanvas m_canvas;
};
