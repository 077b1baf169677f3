// The drawing object as scripts use it: each case runs a small script through the host on
// a picture of its own and looks at the pixels.
#include "scripting/ScriptSession.h"

#include "graphics/MemoryBudget.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QThread>

#include <cmath>

namespace {

const TColor kRed = 0x0000FF, kGreen = 0x00FF00, kBlack = 0;

struct ScriptRun {
    explicit ScriptRun(int w = 100, int h = 100) : picture(SolidBitmap(w, h, clWhite)), session(&picture) {}
    std::optional<TScriptError> operator()(const std::string& code) { return session.RunInProcess(code); }
    TColor px(int x, int y) { return picture.Canvas().Pixel(x, y); }
    TCanvas& canvas() { return picture.Canvas(); }
    // The box around the pixels that are not white.
    TRect inked()
    {
        TRect r(1 << 30, 1 << 30, -1, -1);
        for (int y = 0; y < picture.Picture().Height(); ++y)
            for (int x = 0; x < picture.Picture().Width(); ++x)
                if (px(x, y) != clWhite)
                    r = TRect(std::min(r.Left, x), std::min(r.Top, y), std::max(r.Right, x + 1), std::max(r.Bottom, y + 1));
        return r;
    }
    TBitmapPictureTarget picture;
    TScriptSession session;
};

TEST(GfxScript, ColoursFromHexTextOnlyAndFontStyleWords)
{
    ScriptRun run;
    ASSERT_FALSE(run("gfx.PenColor = '#FF0000'; gfx.Line(0, 10, 50, 10);"
                     "gfx.PenColor = '#ff0000'; gfx.Line(0, 20, 50, 20);"));
    EXPECT_EQ(run.px(5, 10), kRed);
    EXPECT_EQ(run.px(5, 20), kRed);
    for (const QVariant& black : {QVariant("FF0000"), QVariant("#F00"), QVariant("#GG0000"), QVariant(255), QVariant()})
        EXPECT_EQ(ParseHexColor(black), kBlack) << black.toString().toStdString();
    EXPECT_EQ(ParseHexColor(QVariant("#0a0B0c")), TColor(0x0C0B0A));
    ASSERT_FALSE(run("gfx.PenColor = 'FF0000'; gfx.Line(0, 30, 50, 30); gfx.FontColor = '#00FF00';"));
    EXPECT_EQ(run.px(5, 30), kBlack);
    EXPECT_EQ(run.canvas().Font.Color, kGreen);

    // Key words: case-sensitive substrings, each flag set or cleared, strike-out kept.
    EXPECT_EQ(FontStyleFromWords("bold italic", fsUnderline | fsStrikeOut), unsigned(fsBold | fsItalic | fsStrikeOut));
    EXPECT_EQ(FontStyleFromWords("", fsBold | fsItalic | fsUnderline | fsStrikeOut), 0u);
    EXPECT_EQ(FontStyleFromWords("Bold, underline", fsBold), unsigned(fsUnderline));
    ASSERT_FALSE(run("gfx.FontStyle = 'bold+italic'; gfx.FONTNAME = 'Arial'; gfx.fontsize = 12;"));
    EXPECT_EQ(run.canvas().Font.Style, unsigned(fsBold | fsItalic));
    EXPECT_EQ(run.canvas().Font.Name, "Arial");
    EXPECT_EQ(run.canvas().Font.Size(), 12);
}

TEST(GfxScript, BrushStatesAndClear)
{
    ScriptRun run;
    ASSERT_FALSE(run("gfx.BrushClear(); gfx.BrushColor = '#00FF00'; gfx.Rectangle(10, 10, 30, 30);"));
    EXPECT_EQ(run.px(20, 20), kGreen);
    EXPECT_EQ(run.px(10, 10), kBlack); // the outline in the pen colour

    ASSERT_FALSE(run("gfx.BrushClear(); gfx.Rectangle(40, 40, 60, 60);"));
    EXPECT_EQ(run.px(50, 50), clWhite);
    EXPECT_EQ(run.px(40, 50), kBlack);

    ASSERT_FALSE(run("gfx.BrushClear(); gfx.Clear();"));
    EXPECT_EQ(run.inked().Right, -1); // all white
    EXPECT_EQ(run.canvas().Brush.Style(), TBrushStyle::bsSolid);
    EXPECT_EQ(run.canvas().Brush.Color(), clWhite);
}

TEST(GfxScript, RotatedTextAndRotatedEllipse)
{
    EXPECT_EQ(TextRotateEscapement(45.5), 455);
    EXPECT_EQ(TextRotateEscapement(90), 900);
    ScriptRun run(200, 200);
    ASSERT_FALSE(run("gfx.FontSize = 20; gfx.TextRotate(100, 150, 'WWWWW', 90);"));
    const TRect up = run.inked();
    EXPECT_GT(up.Height(), 2 * up.Width()); // the text runs upwards
    EXPECT_LE(up.Bottom, 151);
    EXPECT_LT(up.Top, 100);

    ScriptRun flat(100, 100), upright(100, 100);
    ASSERT_FALSE(flat("gfx.EllipseRotate(50, 50, 40, 20, 0, false);"));
    ASSERT_FALSE(upright("gfx.EllipseRotate(50, 50, 40, 20, Math.PI / 2, false);"));
    const TRect f = flat.inked(), u = upright.inked();
    EXPECT_NEAR(f.Width(), 80, 2);
    EXPECT_NEAR(f.Height(), 40, 2);
    EXPECT_NEAR((f.Left + f.Right) / 2.0, 50, 1.5);
    EXPECT_NEAR(u.Width(), 40, 2);
    EXPECT_NEAR(u.Height(), 80, 2);
    EXPECT_EQ(flat.px(50, 50), clWhite); // outlined only
}

TEST(GfxScript, PointListsAndActorPath)
{
    ScriptRun run;
    ASSERT_FALSE(run("gfx.BrushColor = '#00FF00'; gfx.Polygon([0, 0, 40, 0, 40, 40]);"));
    EXPECT_EQ(run.px(30, 10), kGreen);
    EXPECT_EQ(run.px(10, 30), clWhite);
    ScriptRun none;
    ASSERT_FALSE(none("gfx.Polygon([0, 0, 10]); gfx.PolyLine([]); gfx.PolyBezier([0, 0, 5, 5, 9, 9]);"));
    EXPECT_EQ(none.inked().Right, -1);
    ASSERT_FALSE(none("gfx.PolyBezier([0, 50, 30, 0, 60, 100, 90, 50]); gfx.PolyLine([0, 90, '50', 90.5]);"));
    EXPECT_EQ(none.px(20, 90), kBlack);
    EXPECT_NE(none.inked().Right, -1);

    struct Sink : TActorPathSink {
        void SetActorPath(const std::vector<TPoint>& p) override { points = p; ++calls; }
        std::vector<TPoint> points;
        int calls = 0;
    } sink;
    run.session.Gfx().SetActorPathSink(&sink);
    ASSERT_FALSE(run("gfx.ActorWizardPath([1, 2, 3, 4, 5.5, 6]);"));
    EXPECT_EQ(sink.points, (std::vector<TPoint>{{1, 2}, {3, 4}, {6, 6}}));
    ASSERT_FALSE(run("gfx.ActorWizardPath([1, 2, 3]);"));
    EXPECT_TRUE(run.session.Gfx().ActorPath().empty());
    EXPECT_EQ(sink.calls, 2);
    const auto e = run("gfx.Polygon(5);");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Description, "Type mismatch");
}

TEST(GfxScript, EffectsByName)
{
    ScriptRun run(20, 20);
    ASSERT_FALSE(run("gfx.Effect('Invert', 0);"));
    EXPECT_EQ(run.px(3, 3), kBlack);
    ASSERT_FALSE(run("gfx.Clear(); gfx.BrushColor = '#000000'; gfx.Rectangle(0, 0, 10, 20); gfx.Effect('blur', -1);"));
    EXPECT_EQ(run.px(10, 10), clWhite);
    ASSERT_FALSE(run("gfx.Effect('no such effect', 'whatever');"));
    EXPECT_EQ(run.px(10, 10), clWhite);
    ASSERT_FALSE(run("gfx.Effect('BLUR', 0);"));
    EXPECT_NE(run.px(10, 10), clWhite); // the edge is soft now
    EXPECT_NE(run.px(9, 10), kBlack);
}

TEST(GfxScript, SizesTextMetricsAndConversions)
{
    ScriptRun run(123, 45);
    ASSERT_FALSE(run("if (gfx.Width !== 123 || gfx.height !== 45) throw new Error('size');"
                     "if (gfx.TextWidth('') !== 0) throw new Error('empty width');"
                     "if (!(gfx.TextWidth('abc') > 0 && gfx.TextHeight('abc') > 0)) throw new Error('text');"));
    // Numeric texts are numbers; halves go to the even neighbour.
    EXPECT_EQ(VariantToInt(QVariant(2.5)), 2);
    EXPECT_EQ(VariantToInt(QVariant(3.5)), 4);
    EXPECT_EQ(VariantToInt(QVariant(-2.5)), -2);
    EXPECT_EQ(VariantToInt(QVariant(" 12.5 ")), 12);
    EXPECT_EQ(VariantToInt(QVariant(true)), -1);
    EXPECT_EQ(VariantToInt(QVariant()), 0);
    EXPECT_EQ(VariantToText(QVariant(42.0)), "42");
    EXPECT_EQ(VariantToText(QVariant(0.5)), "0.5");
    for (const QVariant& bad : {QVariant("abc"), QVariant(""), QVariant::fromValue(nullptr), QVariant(QVariantList{1})})
        EXPECT_EQ(ThrownMessage([&] { VariantToInt(bad); }), "Type mismatch");
    for (double bad : {double(NAN), double(INFINITY), 1e300, 2147483648.0})
        EXPECT_EQ(ThrownMessage([&] { VariantToInt(QVariant(bad)); }), "Overflow");
    ASSERT_FALSE(run("gfx.Line('10', 20.5, 60, 20.5);"));
    EXPECT_EQ(run.px(30, 20), kBlack);
}

TEST(GfxScript, ErrorsStopTheScriptAndKeepTheDrawing)
{
    ScriptRun run;
    int reported = 0;
    run.session.se.OnError = [&](TActiveScriptSite&, int line, int pos, const std::string& src, const std::string& d) {
        ++reported;
        EXPECT_EQ(line, 2);
        EXPECT_EQ(pos, 6);
        EXPECT_EQ(src, "  gfx.Line(0, 0, 'abc', 9);");
        EXPECT_EQ(d, "Type mismatch");
    };
    auto e = run("gfx.Line(0, 5, 50, 5);\r\nvar x = 1;\r\n  gfx.Line(0, 0, 'abc', 9);\r\ngfx.Line(0, 60, 50, 60);");
    ASSERT_TRUE(e);
    EXPECT_EQ(reported, 1);
    EXPECT_EQ(e->Text(), "Line 3, position 7: Type mismatch\n  gfx.Line(0, 0, 'abc', 9);");
    EXPECT_EQ(run.px(10, 5), kBlack);    // before the failure
    EXPECT_EQ(run.px(10, 60), clWhite);  // after it
    EXPECT_EQ(run.picture.Changes, 1);   // shown once, as one step
    run.session.se.OnError = nullptr;

    // A syntax error runs nothing.
    ScriptRun syntax;
    e = syntax("gfx.Line(0, 5, 50, 5);\nvar = ;");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Line, 1);
    EXPECT_NE(e->Description.find("SyntaxError"), std::string::npos);
    EXPECT_EQ(syntax.inked().Right, -1);
    EXPECT_EQ(syntax.picture.Changes, 0);

    // A script may catch a member's failure and go on.
    EXPECT_FALSE(run("try { gfx.Line(); } catch (err) { if (err.message.indexOf('arguments') < 0) throw err; }"));
    for (const char* bad : {"gfx.Line(NaN, 0, 1, 1);", "gfx.Rectangle(Infinity, 0, 1, 1);", "gfx.Ellipse(1e300, 0, 1, 1);",
                            "gfx.EllipseRotate(NaN, 1, 1, 1, 0, true);", "gfx.EllipseRotate(1, 1, 1e300, 1, 0, true);",
                            "gfx.TextRotate(1, 1, 'a', Infinity);", "gfx.Line(1, 2);", "gfx.Rectangle();",
                            "gfx.PenWidth = 1e9;", "gfx.FontSize = -1e6;", "gfx.NoSuchMember(1);", "gfx.Width = 5;",
                            "var p = gfx.PenColor;", "gfx.Polygon(new Array(1e8));"}) {
        e = run(bad);
        EXPECT_TRUE(e) << bad;
    }
}

TEST(GfxScript, EachRunStartsAfreshAndNamesIgnoreCase)
{
    ScriptRun run;
    ASSERT_FALSE(run("var survivor = 1; function helper() {}"));
    EXPECT_FALSE(run("if (typeof survivor !== 'undefined' || typeof helper !== 'undefined') throw new Error('kept');"));
    // Running the same script twice draws twice (not-xor: the second run undoes the first).
    const char* twice = "gfx.PenWidth = 1; gfx.Line(0, 50, 90, 50);";
    run.canvas().Pen.Mode = TPenMode::pmNotXor;
    ASSERT_FALSE(run(twice));
    EXPECT_EQ(run.px(10, 50), kBlack);
    ASSERT_FALSE(run(twice));
    EXPECT_EQ(run.px(10, 50), clWhite);
    run.canvas().Pen.Mode = TPenMode::pmCopy;

    EXPECT_EQ(run.session.se.Registry().GetNamedItem("GFX"), run.session.GfxObject());
    ASSERT_FALSE(run("GFX.LINE(0, 70, 50, 70); Gfx.penCOLOR = '#FF0000'; gfx.line(0, 80, 50, 80);"));
    EXPECT_EQ(run.px(10, 70), kBlack);
    EXPECT_EQ(run.px(10, 80), kRed);

    // A second object under the same name: the first one is found.
    auto other = std::make_shared<TgfxAnivor>();
    run.session.se.AddNamedItem("Gfx", other);
    EXPECT_EQ(run.session.se.Registry().GetNamedItem("gfx"), run.session.GfxObject());
    ASSERT_FALSE(run("gfx.PenColor = '#000000'; gfx.Line(0, 90, 50, 90);"));
    EXPECT_EQ(run.px(10, 90), kBlack);

    TActiveScriptSite plain;
    EXPECT_EQ(plain.ScriptLanguage, "VBScript");
    EXPECT_NE(ThrownMessage([&] { plain.Execute("1"); }).find("Class not registered"), std::string::npos);
    EXPECT_FALSE(run(""));
}

TEST(GfxScript, RunawayScriptsAreStopped)
{
    // Stopped from outside within a second, keeping what was drawn.
    ScriptRun run;
    QElapsedTimer clock;
    QThread* stopper = QThread::create([&] {
        QThread::msleep(200);
        run.session.se.Stop();
    });
    stopper->start();
    clock.start();
    auto e = run("gfx.Line(0, 5, 50, 5); var i = 0; while (true) { i++; }");
    stopper->wait();
    delete stopper;
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Description, "The script was stopped");
    EXPECT_LT(clock.elapsed(), 1200);
    EXPECT_EQ(run.px(10, 5), kBlack);

    // A loop that keeps calling the object is stopped too.
    run.session.se.TimeoutSeconds = 0.3;
    clock.restart();
    e = run("for (;;) { try { gfx.Line(0, 0, 1, 1); } catch (x) {} }");
    ASSERT_TRUE(e);
    EXPECT_NE(e->Description.find("longer than 0.3 seconds"), std::string::npos);
    EXPECT_LT(clock.elapsed(), 1500);

    e = run("function down(n) { return down(n + 1) + 1; } down(0);");
    ASSERT_TRUE(e);
    EXPECT_NE(e->Description.find("RangeError"), std::string::npos);

    // Memory a script piles up is held to the room left in the budget.
    run.session.se.TimeoutSeconds = 20;
    run.session.se.MemoryLimit = 64u << 20;
    clock.restart();
    e = run("var a = []; for (;;) a.push({ n: a.length, s: 'x' + a.length });");
    ASSERT_TRUE(e);
    EXPECT_NE(e->Description.find("more memory"), std::string::npos) << e->Description;
    EXPECT_LT(clock.elapsed(), 5000);
    run.session.se.MemoryLimit = 0;
    EXPECT_FALSE(run("gfx.Line(0, 9, 50, 9);")); // the host works on
}

} // namespace
