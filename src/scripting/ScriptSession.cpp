#include "ScriptSession.h"

#include "ScriptProcess.h"

#include "graphics/MemoryBudget.h"

TScriptSession::TScriptSession(TPictureTarget* target) : m_gfx(CogfxAnivor::Create())
{
    se.ScriptLanguage = "JScript";
    m_gfx->SetTargetPicture(target);
    se.AddNamedItem("gfx", m_gfx);
}

TScriptSession::~TScriptSession() = default;

bool TScriptSession::ScriptRunning() const
{
    return (m_process && m_process->Running()) || se.Running();
}

void TScriptSession::StartScript(const std::string& text, double timeoutSeconds, TScriptDone done)
{
    if (ScriptRunning())
        throw Exception("A script is already running");
    if (!m_process)
        m_process = std::make_unique<TScriptProcess>();

    TScriptRequest request;
    request.Code = text;
    request.TimeoutSeconds = timeoutSeconds > 0 ? timeoutSeconds : se.TimeoutSeconds;
    const std::uint64_t inUse = MemoryBudget::InUse();
    const std::uint64_t limit = MemoryBudget::Limit();
    request.MemoryRoom = se.MemoryLimit ? se.MemoryLimit : (limit > inUse ? limit - inUse : 0);
    TPictureTarget* const target = m_gfx->TargetPicture();
    static const TBitmap none;
    if (target)
        request.Canvas = TCanvasState::Of(target->Canvas());
    m_process->Start(request, target ? target->Picture() : none, [this, target, done](TScriptOutcome outcome) {
        m_hold.reset();
        try {
            // The target is the one the run started with: the windows took no input meanwhile.
            if (target && m_gfx->TargetPicture() == target) {
                if (outcome.Drawn)
                    target->Picture() = std::move(outcome.Picture);
                if (outcome.Completed)
                    outcome.Canvas.ApplyTo(target->Canvas());
            }
        } catch (const std::exception& e) {
            TScriptError error;
            error.Description = std::string("The script's picture cannot be taken over: ") + e.what();
            outcome.Error = error;
            outcome.Drawn = false;
        }
        if (outcome.ActorPathSet)
            m_gfx->SetActorPath(std::move(outcome.ActorPath));
        m_gfx->EndRun(outcome.Drawn);
        if (done)
            done(outcome.Error);
    });
    m_gfx->BeginRun();
    m_hold = std::make_unique<TScriptInputHold>([this] { StopScript(); });
}

std::optional<TScriptError> TScriptSession::RunScript(const std::string& text, double timeoutSeconds)
{
    std::optional<TScriptError> result;
    StartScript(text, timeoutSeconds, [&result](const std::optional<TScriptError>& error) { result = error; });
    m_process->Wait();
    return result;
}

void TScriptSession::StopScript()
{
    if (m_process)
        m_process->Stop();
    se.Stop();
}

std::optional<TScriptError> TScriptSession::RunInProcess(const std::string& text, double timeoutSeconds)
{
    if (ScriptRunning())
        throw Exception("A script is already running");
    m_gfx->BeginRun();
    const double timeout = se.TimeoutSeconds;
    if (timeoutSeconds > 0)
        se.TimeoutSeconds = timeoutSeconds;
    const auto finish = [this, timeout] {
        se.TimeoutSeconds = timeout;
        m_gfx->EndRun();
    };
    try {
        std::optional<TScriptError> error = se.Execute(text);
        finish();
        return error;
    } catch (...) {
        finish();
        throw;
    }
}

TBitmapPictureTarget::TBitmapPictureTarget(TBitmap bitmap) : m_bitmap(std::move(bitmap)), m_canvas(m_bitmap)
{
    if (m_bitmap.PixelFormat() != TPixelFormat::pf24bit)
        m_bitmap.SetPixelFormat(TPixelFormat::pf24bit);
}
