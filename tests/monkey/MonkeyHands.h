// The monkey's hands: one random thing a user could do in the windows as they stand, sent
// through the window system as a user's input would be (so modal windows block the others
// and a click outside closes a menu). An open menu is answered first, then the modal window
// on top; otherwise any shown window, the main window most often. The actions: a command of
// the window, a click into its menu bar, a key with or without modifiers, a click, a
// double-click, a drag, the wheel, files dropped on the strip, a new window size, closing.
#pragma once

#include "MonkeyFiles.h"
#include "MonkeyRandom.h"

#include <QPoint>

#include <functional>
#include <string>

class QObject;
class QWidget;
class TAnivorF;

class TMonkeyHands {
public:
    TMonkeyHands(TMonkeyRandom& random, const TMonkeyFiles& files, TAnivorF& main);

    // Does one action; `announce` gets its description before it is done, so a crash or a
    // hang in it shows what it was.
    void Act(const std::function<void(const std::string&)>& announce);
    // Closes the open menu or the modal window on top, as a user would (Esc, then the
    // window's close button); false when none is open.
    bool CloseOne(const std::function<void(const std::string&)>& announce);

private:
    void actOnPopup(QWidget* popup, const std::function<void(const std::string&)>& announce);
    void actOnWindow(QWidget* window, const std::function<void(const std::string&)>& announce);
    QWidget* chooseWindow();
    // A shown, enabled widget of `window` and a point in it, in the window's coordinates.
    QWidget* chooseWidget(QWidget* window);
    QPoint pointIn(QWidget* window, QWidget* widget);
    bool command(QWidget* window, const std::function<void(const std::string&)>& announce);
    bool menuBar(QWidget* window, const std::function<void(const std::string&)>& announce);
    void key(QWidget* window, const std::function<void(const std::string&)>& announce);
    void click(QWidget* window, const std::function<void(const std::string&)>& announce);
    void drag(QWidget* window, const std::function<void(const std::string&)>& announce);
    void wheel(QWidget* window, const std::function<void(const std::string&)>& announce);
    void drop(const std::function<void(const std::string&)>& announce);

    TMonkeyRandom& m_random;
    const TMonkeyFiles& m_files;
    TAnivorF& m_main;
    QWidget* m_closing = nullptr; // the modal window CloseOne last tried
    int m_closeTries = 0;
};

// A readable name of a widget for the log: its class and object name.
std::string WidgetName(const QObject* widget);
