#include "WizardMenu.h"

namespace {

TWizardMenuItem cmd(const char* caption, int kind)
{
    return TWizardMenuItem{TWizardMenuItem::Type::Command, caption, kind, {}};
}

TWizardMenuItem sub(const char* caption, std::vector<TWizardMenuItem> items)
{
    return TWizardMenuItem{TWizardMenuItem::Type::Submenu, caption, -1, std::move(items)};
}

TWizardMenuItem separator() { return TWizardMenuItem{TWizardMenuItem::Type::Separator, "", -1, {}}; }

std::vector<TWizardMenuItem> buildMenu()
{
    return {
        cmd("Transition", 0),
        cmd("Rotate Left-Right", 1),
        cmd("Rotate Top-Down", 2),
        sub("Blinds", {cmd("Blinds Down", 3), cmd("Blinds Right", 4)}),
        sub("Wipe", {cmd("Right", 5), cmd("Left", 6), cmd("Up", 8), cmd("Down", 7)}),
        sub("Curtain", {cmd("Open Horiz", 9), cmd("Close Horiz", 10), cmd("Open Vert", 11), cmd("Close Vert", 12)}),
        sub("Box", {cmd("In", 13), cmd("Out", 14)}),
        sub("Diagonal", {cmd("Down Right", 15), cmd("Down Left", 16), cmd("Up Right", 17), cmd("Up Left", 18)}),
        sub("Cross", {cmd("In", 19), cmd("Out", 20)}),
        sub("Circle", {cmd("CircleOut", 21)}),
        sub("Sweep", {cmd("Left", 22), cmd("Right", 23), cmd("Left-Right", 24)}),
        sub("Marquee", {cmd("Up", 25), cmd("Down", 26), cmd("Up-Down", 27), cmd("Left", 28), cmd("Right", 29),
                        cmd("Left-Right", 30)}),
        sub("Plasma", {cmd("Small", 31), cmd("Large", 32), cmd("Extra Large", 33), cmd("Large Turbo", 34)}),
        separator(),
        sub("Fold", {cmd("Right", 74)}),
        sub("CheckerBoard", {cmd("Right", 73)}),
        sub("Segment", {cmd("Top", 61), cmd("Left", 62), cmd("Right", 63), cmd("Bottom", 64)}),
        sub("Grow", {cmd("Center", 55), cmd("Top", 56), cmd("Bottom", 57)}),
        sub("Shrink", {cmd("Center", 58), cmd("Top", 59), cmd("Bottom", 60)}),
        sub("Effects",
            {
                sub("Blur", {cmd("Split", 37), cmd("Gaussian", 38)}),
                sub("Color", {cmd("Filter Blue", 76), cmd("Filter Green", 77), cmd("Filter Red", 78),
                              cmd("Keep Blue", 79), cmd("Keep Green", 80), cmd("Keep Red", 81)}),
                cmd("FishEye", 36),
                sub("Light", {cmd("Brightness", 49), cmd("Contrast", 52), cmd("Fade In", 66), cmd("Fade Out", 67),
                              cmd("Fade In-Out", 68), cmd("Saturation", 53), cmd("Split Light", 50),
                              cmd("Split Light Reverse", 51), cmd("Spot", 69), cmd("Spot Fade", 71),
                              cmd("Spot Large", 70), cmd("Spot Large Fade", 72)}),
                cmd("Mask MandelBrot", 75),
                sub("Texturize", {cmd("Mozaic", 46), cmd("Triangles", 84), cmd("Tile", 85), cmd("Tile Overlap", 86)}),
                sub("Shake", {cmd("Left-Right", 82), cmd("Up-Down", 83)}),
                sub("Noise", {cmd("Color", 47), cmd("Mono", 48)}),
                cmd("Smooth Rotate", 35),
                sub("Squeeze", {cmd("Top", 40), cmd("Bottom", 41), cmd("Diamond", 42), cmd("Round", 44),
                                cmd("Round Double", 45), cmd("Waste", 43)}),
                cmd("Tile", 54),
                cmd("Twist", 39),
                cmd("Wings", 65),
                cmd("Buttonize", 92),
                cmd("Dancing Spot", 93),
            }),
        sub("Text", {cmd("Type", 87), cmd("Grow", 88), cmd("Marquee", 89), cmd("Lines", 90), cmd("Accent", 91)}),
        sub("Actor", {cmd("Circle Left", 99), cmd("Circle Right", 100), cmd("Left", 95), cmd("Right", 94),
                      cmd("Down", 96), cmd("Up", 97), cmd("Path", 98), cmd("Quatro", 102), cmd("Swing", 101),
                      cmd("Spiral Left", 103), cmd("Spiral Right", 104)}),
    };
}

} // namespace

const std::vector<TWizardMenuItem>& WizardMenu()
{
    static const std::vector<TWizardMenuItem> menu = buildMenu();
    return menu;
}
