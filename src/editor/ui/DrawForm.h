// TDrawF: the frame editor "Anivor Draw", the modal window in which one frame of the strip
// is drawn on. Created once at start-up and kept for the whole run, so tools, pen, brush,
// gadgets and the selection carry over from one editing to the next.
//
// The window holds widgets and wiring only: the picture with its undo history is a
// TDrawPicture, the tools a TDrawTools, the gadget pictures come from GradTextRender.
// Every menu item and tool-bar button is a command of the window's table, found by its id
// (`editor.rectangle`, `editor.select`, `editor.erase-frame`, `editor.zoom-4`, ...), and
// runs inside the command guard.
#pragma once

#include "editor/Actors.h"
#include "editor/DrawPicture.h"
#include "editor/DrawTools.h"
#include "editor/TTFToVector.h"
#include "editor/Zoom.h"
#include "platform/CommandTable.h"

#include <QDialog>
#include <QKeySequence>

#include <functional>
#include <string>

class QAction;
class QFrame;
class QLabel;
class QStatusBar;
class QMenu;
class QMenuBar;
class QScrollArea;
class QToolBar;
class QToolButton;
class TFrameStrip;
class TGammaPanel;
class TGradText;
class TPictureView;
class TActorView;
class TCommandActions;
class TTextGadget;
class TqorArrayButton;
class TqorShape;
class TqorShapeController;

class TDrawF : public QDialog {
    Q_OBJECT
public:
    // The window placement is kept in `settingsFile` (section "DrawF").
    explicit TDrawF(QWidget* parent, const std::string& settingsFile);
    ~TDrawF() override;

    // --- hand-over with the main window ---------------------------------------------------
    // Shows frame `index` of the strip modally; on "Update Frame" writes the picture back
    // (when it differs from the frame's) and returns true. Esc and the close box ask "Update the frame?" while the picture has
    // changes the frame does not have (Update, Discard, Cancel); Discard, or closing with
    // nothing to write back, leaves the frame as it was and returns false.
    bool EditFrame(TFrameStrip& strip, int index);
    // The two halves of EditFrame, around the modal run. Each editing starts at x1.
    void BeginEdit(TFrameStrip& strip, int index);
    void FinishEdit();
    // Whether Update Frame would change the frame being edited.
    bool HasUnwrittenChanges() const;
    // Esc and the close box: asks first when there is something to write back.
    void reject() override;

    // Saves the window placement (at the end of the run).
    void FormDestroy();

    // --- what other parts reach ----------------------------------------------------------------
    // The window's commands by id; Action throws std::logic_error for an unknown id.
    const TCommandTable& Commands() const { return m_commands; }
    QAction* Action(const QString& id) const;
    // Enabled and checked states, changing captions and hints as the state stands now.
    void UpdateCommands();
    TDrawPicture& Picture() { return m_picture; }
    TDrawTools& Tools() { return m_tools; }
    // The picture as scripts draw on it: the same canvas, pen, brush and font as the tools.
    TPictureTarget& ScriptTarget() { return m_picture; }
    // The three actors and the recorded actor path (the actor wizards read actor 0 and the
    // path; scripts replace the path).
    TActors& Actors() { return m_actors; }
    // View > Script (F2): shows the script editor; the item stays disabled until set.
    void SetScriptWindow(std::function<void()> show);

    // The zoom in force: the view shows the picture, the gadgets and the actors magnified
    // k times; the picture keeps the frame's pixels.
    const TZoom& Zoom() const { return m_zoom; }
    void zoom1Click();
    void zoom2Click();
    void zoom4Click();

    // Components, by their names.
    QMenuBar* MainMenu1 = nullptr;
    QToolBar* drawbar = nullptr;
    QToolButton* btndraw = nullptr;
    QScrollArea* ScrollBox1 = nullptr;
    QWidget* ScrollContent = nullptr;
    TPictureView* pic = nullptr;
    TTextGadget* tex = nullptr;
    TGradText* GradText1 = nullptr;
    TqorShape* qorShape1 = nullptr;
    TqorShapeController* qorShapeController1 = nullptr;
    QFrame* Panel1 = nullptr;
    TGammaPanel* gamma = nullptr;
    TqorArrayButton* qorArrayButton1 = nullptr;
    TActorView* actor = nullptr;
    TActorView* actor2 = nullptr;
    TActorView* actor3 = nullptr;
    QMenu* drawpop = nullptr;
    QMenu* picpop = nullptr;
    QMenu* linepop = nullptr;
    QMenu* texpop = nullptr;
    QMenu* gradpop = nullptr;
    // The status bar: how many points the actor path holds.
    QStatusBar* StatusBar1 = nullptr;
    QLabel* PathStatus = nullptr;
    TTTFToVectorConverter TTF;

protected:
    // Paints the smart shape magnified while zoomed (its own painting is at the view's size).
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createToolBar();
    void createLayout();
    void wirePicture();
    void placeWindow();
    void showStatus();

    // Tools and commands.
    // A drawpop item that arms `tool` and shows its glyph on btndraw.
    void chooseTool(const char* id, const char* caption, const char* tool);
    void setBrushStyle(TBrushStyle style);
    void gammaChange();
    // Shows everything magnified k times; the gadgets, the shape and the actors keep
    // their places on the picture, the middle of the view stays in the middle.
    void setZoom(int k);
    void undo();
    void redo();
    void updateContentSize();
    // Gadgets.
    void toggleGadget(QWidget* gadget);
    // Where a gadget's top-left corner lies on the picture, in picture pixels.
    TPoint gadgetPlace(const QWidget* gadget) const;
    void zoomGadget(QWidget* gadget, const TZoom& from);
    void textCaption();
    void textFont();
    void textColor();
    void textStyle(unsigned style);
    void textPaint(bool shadow);
    void gradCaption();
    void gradFont();
    void gradColor(bool begin);
    void gradPaint();
    // The smart shape's place in the window: its button, mouse modes, Size to frame and
    // Paint shape (DrawFormShape.cpp).
    void createShapeActions();
    void createShape();
    // The shape's rectangle on the picture (its bounds are the view's), and back.
    TRect shapePlace(const TZoom& zoom) const;
    void placeShape(const TRect& place);
    void zoomShape(const TZoom& from);
    // Paints the shape as it lands on the picture, its top-left at `at`.
    void paintShapeOn(TCanvas& canvas, TPoint at) const;
    void paintShapeMagnified(const QRect& area);
    // The actors and their array button (DrawFormActors.cpp).
    void createActors();
    void qorArrayButton1ArrayButtonClicked(int ACol, int ARow);
    TActorView* actorView(int i) const;
    void syncActor(int i);
    void paintActor(int i);

    std::string m_settingsFile;
    TDrawPicture m_picture;
    TDrawTools m_tools;
    TActors m_actors;
    TFrameStrip* m_strip = nullptr;
    std::string m_frameName;
    TZoom m_zoom;
    TCommandTable m_commands;
    TCommandActions* m_actions = nullptr;
    std::function<void()> m_showScript; // View > Script
    bool m_showPath = true;             // View > Actor Path
};
