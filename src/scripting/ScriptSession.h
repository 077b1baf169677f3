// TScriptSession: the drawing object and the script host that runs scripts with it,
// as the frame editor, the automation server and anivor-cli use them. Creating it
// creates the object (CogfxAnivor) and registers it with the host under "gfx".
//
// Scripts run in a runner process of their own (ScriptProcess.h): the picture, the
// canvas's pen, brush and font go there and come back when the script ends, so a crash,
// a hang or a memory bomb ends that process only. RunInProcess runs a script in this
// process instead, on the host's worker thread: the runner itself does that.
#pragma once

#include "gfxAnivor.h"

#include "graphics/Bitmap.h"
#include "graphics/canvas/Canvas.h"
#include "platform/script/ScriptHost.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

class TScriptProcess;

class TScriptSession {
public:
    explicit TScriptSession(TPictureTarget* target = nullptr);
    ~TScriptSession();
    TScriptSession(const TScriptSession&) = delete;
    TScriptSession& operator=(const TScriptSession&) = delete;

    TgfxAnivor& Gfx() { return *m_gfx; }
    std::shared_ptr<TgfxAnivor> GfxObject() const { return m_gfx; }
    TActiveScriptWindow se;

    using TScriptDone = std::function<void(const std::optional<TScriptError>& error)>;
    // Starts a script in a runner process and returns at once. When it ends, what it drew
    // is put on the target picture and shown as one undo step (also when it ended at an
    // error or was stopped, not when the runner died), its pen, brush, font and actor path
    // are taken over, and `done` gets its error. Meanwhile the windows take no input but
    // Esc and the stop controls, and the object is Busy. A timeout above 0 replaces the
    // host's (se.TimeoutSeconds; 0: none); the memory room is se.MemoryLimit, else the
    // budget's free room. Throws Exception when a script runs or no runner can start.
    void StartScript(const std::string& text, double timeoutSeconds, TScriptDone done);
    // StartScript and wait for the end (the command line, tests).
    std::optional<TScriptError> RunScript(const std::string& text, double timeoutSeconds = 0);
    void StopScript();
    bool ScriptRunning() const;

    // Runs a script in this process on the host's worker thread; its drawing is shown,
    // as one undo step, when it ends. A timeout above 0 replaces the host's for this run.
    std::optional<TScriptError> RunInProcess(const std::string& text, double timeoutSeconds = 0);

private:
    std::shared_ptr<TgfxAnivor> m_gfx;
    std::unique_ptr<TScriptProcess> m_process;
    std::unique_ptr<TScriptInputHold> m_hold;
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
