// The automation server: the drawing object served to other programs on the D-Bus
// session bus, as bus name org.anivor.Anivor13, object /gfxAnivor, interface
// org.anivor.Anivor13.gfxAnivor. Every member is one D-Bus method taking variants
// ("v"): a method under its own name, a put member as Set<Name>, a get member as
// Get<Name>; RunScript(text) runs a script and answers its error text, "" when it ran
// through (a script is stopped after 20 s, before the caller's call times out). The
// object answers with an error, instead of re-entering, while a script runs or a modal
// prompt of the program is open, and instead of drawing where nothing would keep it while
// no frame is open in the frame editor.
#pragma once

#include <functional>
#include <memory>
#include <string>

class TAutomationObject;
class TScriptSession;

inline constexpr const char* kAutomationService = "org.anivor.Anivor13";
inline constexpr const char* kAutomationPath = "/gfxAnivor";
inline constexpr const char* kAutomationInterface = "org.anivor.Anivor13.gfxAnivor";
inline constexpr const char* kNoFrameError = "org.anivor.Anivor13.Error.NoFrame";

class TAutomationServer {
public:
    explicit TAutomationServer(TScriptSession& session);
    ~TAutomationServer();
    TAutomationServer(const TAutomationServer&) = delete;
    TAutomationServer& operator=(const TAutomationServer&) = delete;

    // Serves the object on the session bus; false, with the reason in `why`, when there
    // is no session bus or the name is taken by another program.
    bool Start(std::string* why = nullptr);
    // True while calls must wait (a modal prompt of the program is open).
    std::function<bool()> Refuse;
    // True while a frame is open in the frame editor (unset: always). Without one, RunScript
    // and the members that draw on or read the picture (TgfxAnivor::UsesPicture) are
    // refused with kNoFrameError, since what they drew would be lost; the pen, brush and
    // font settings, the text measures and ActorWizardPath are served.
    std::function<bool()> FrameOpen;

    // The introspection data of the interface.
    static std::string InterfaceXml(const TAutomationObject& object);

private:
    class TBusObject;
    std::unique_ptr<TBusObject> m_object;
    bool m_started = false;
};

// The D-Bus activation file for the user ($XDG_DATA_HOME/dbus-1/services/
// org.anivor.Anivor13.service; under $ANIVOR_HOME when that is set), which starts
// `program` with /AUTOMATION when a client asks for the name.
std::string ActivationFilePath();
// Writes it (atomically); throws Exception when it cannot.
void RegisterServer(const std::string& program);
// Writes it only when it is missing or says something else (another program path): true
// when it was written. Throws as RegisterServer.
bool RegisterServerIfStale(const std::string& program);
// Removes it; a missing file is fine.
void UnregisterServer();
