#include "ScriptSession.h"

TScriptSession::TScriptSession(TPictureTarget* target) : m_gfx(CogfxAnivor::Create())
{
    se.ScriptLanguage = "JScript";
    m_gfx->SetTargetPicture(target);
    se.AddNamedItem("gfx", m_gfx);
}

std::optional<TScriptError> TScriptSession::RunScript(const std::string& text, double timeoutSeconds)
{
    if (se.Running())
        throw Exception("A script is already running");
    if (BeforeRun)
        BeforeRun();
    m_gfx->BeginRun();
    const double timeout = se.TimeoutSeconds;
    if (timeoutSeconds > 0)
        se.TimeoutSeconds = timeoutSeconds;
    const auto finish = [this, timeout] {
        se.TimeoutSeconds = timeout;
        if (AfterRun)
            AfterRun();
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
