// The sample scripts shipped in examples/scripts run to their end and draw.
#include "scripting/ScriptSession.h"

#include "graphics/FileWrite.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <set>

namespace {

std::string sampleScript(const std::string& name)
{
    const std::vector<std::uint8_t> bytes = ReadFileBytes(std::string(ANIVOR_EXAMPLES_DIR) + "/" + name);
    return std::string(bytes.begin(), bytes.end());
}

} // namespace

TEST(SampleScripts, EachDrawsAPicture)
{
    for (const char* name : {"starburst.js", "banner.js", "bezier-flower.js", "actor-path.js", "effect-chain.js"}) {
        TBitmapPictureTarget picture(SolidBitmap(320, 240, clWhite));
        TScriptSession session(&picture);
        session.se.TimeoutSeconds = 5;
        const auto error = session.RunScript(sampleScript(name));
        EXPECT_FALSE(error) << name << ": " << error->Text();
        std::set<TColor> colours;
        for (int y = 0; y < 240; y += 3)
            for (int x = 0; x < 320; x += 3)
                colours.insert(picture.Canvas().Pixel(x, y));
        EXPECT_GE(colours.size(), 4u) << name;
        EXPECT_EQ(picture.Changes, 1) << name;
        if (std::string(name) == "actor-path.js") {
            const std::vector<TPoint>& path = session.Gfx().ActorPath();
            ASSERT_EQ(path.size(), 41u);
            EXPECT_EQ(path.front(), TPoint(160, 120));
            EXPECT_EQ(path.back(), TPoint(160, 120));
        }
    }
}
