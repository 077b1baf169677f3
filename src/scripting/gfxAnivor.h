// TgfxAnivor: the drawing object scripts and other programs call ("gfx"). It keeps no
// drawing state of its own: pen, brush and font are those of the target picture's
// canvas (the frame editor's, shared with its tools), everything lands on that picture,
// and ActorWizardPath hands a point list to whoever follows the actor path.
#pragma once

#include "graphics/Types.h"
#include "graphics/canvas/PictureTarget.h"
#include "platform/script/Automation.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The colour of "#RRGGBB" (either letter case) as 0x00BBGGRR; anything else is black.
TColor ParseHexColor(const QVariant& value);
// The font style after the key words "bold", "italic", "underline" (case-sensitive
// substrings; other words ignored; strike-out kept from `style`).
unsigned FontStyleFromWords(const std::string& words, unsigned style);
// The numbers of a script array (or any list value), each converted to an integer.
std::vector<int> ScriptArrayToIntegers(const QVariant& value);
// Pairs x1, y1, x2, y2, ... as points; an odd or empty count gives no points.
std::vector<TPoint> ScriptArrayToPoints(const QVariant& value);
// TextRotate's escapement: the angle in tenths of a degree, rounded.
int TextRotateEscapement(double degrees);

// Where ActorWizardPath's points go: the frame editor's actor path, read later by the
// Actor/Path wizard.
class TActorPathSink {
public:
    virtual ~TActorPathSink() = default;
    virtual void SetActorPath(const std::vector<TPoint>& points) = 0;
};

class TgfxAnivor : public TAutomationObject {
public:
    TgfxAnivor();

    // The picture the members draw on (TargetPicture); nullptr: members that draw fail
    // with "There is no picture to draw on".
    void SetTargetPicture(TPictureTarget* target) { m_target = target; }
    TPictureTarget* TargetPicture() const { return m_target; }

    // The actor path: the last list ActorWizardPath set, also handed to the sink.
    const std::vector<TPoint>& ActorPath() const { return m_actorPath; }
    void SetActorPathSink(TActorPathSink* sink) { m_actorSink = sink; }
    // What ActorWizardPath does with its points (also for a path a runner process set).
    void SetActorPath(std::vector<TPoint> points);

    // Whether a member draws on or reads the picture: everything but the pen, brush and
    // font settings, the text measures and ActorWizardPath. Those stay harmless without a
    // frame to edit; the others need one.
    static bool UsesPicture(const TAutomationMember& member);

    // While a script runs (on the host's worker thread or in a runner process) the
    // picture's change is not shown member by member: EndRun reports it once, as one undo
    // step (`drawnElsewhere`: a runner drew). Other callers (D-Bus) are refused meanwhile
    // (Busy).
    void BeginRun();
    void EndRun(bool drawnElsewhere = false);
    bool Busy() const { return m_busy; }

private:
    TCanvas& canvas();
    void changed();
    void addMembers();

    TPictureTarget* m_target = nullptr;
    TActorPathSink* m_actorSink = nullptr;
    std::vector<TPoint> m_actorPath;
    std::atomic<bool> m_busy{false};
    bool m_drawn = false;
};

// CogfxAnivor: hands out the object, as the class factory does for every client.
struct CogfxAnivor {
    static std::shared_ptr<TgfxAnivor> Create();
};
