// The arrangement of shapes without any control: alignment, sizes and z-order on hand-computed
// rectangles, selection by group, connectors pulling shapes along, grouping and deletion.
#include "shapes/ShapeArrangement.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

TArrangedShape Shape(TShapeId id, TRect bounds, const std::string& group = "")
{
    TArrangedShape s;
    s.Id = id;
    s.Bounds = bounds;
    s.GroupName = group;
    return s;
}

// Shapes 1 (10, 10) 50 x 40, 2 (90, 30) 60 x 45 and 3 (170, 50) 70 x 50, all registered.
TShapeArrangement Three()
{
    TShapeArrangement a;
    const TRect bounds[] = {Bounds(10, 10, 50, 40), Bounds(90, 30, 60, 45), Bounds(170, 50, 70, 50)};
    for (TShapeId id = 1; id <= 3; ++id) {
        a.Update(Shape(id, bounds[id - 1]));
        a.Register(id);
    }
    return a;
}

} // namespace

TEST(ShapeArrangement, AlignsSizesAndStacksByHandComputedRectangles)
{
    using A = TShapeAlignment;
    struct Case {
        const char* name;
        std::vector<TShapeId> picked; // selection order: the first is the reference
        std::function<void(TShapeArrangement&)> run;
        TRect one, two, three;
        std::vector<TShapeId> stack; // registered, back first
    };
    auto align = [](A how) { return [how](TShapeArrangement& a) { a.Align(how); }; };
    const std::vector<TShapeId> plain{1, 2, 3};
    const Case cases[] = {
        {"top", {1, 2, 3}, align(A::Top), {10, 10, 60, 50}, {90, 10, 150, 55}, {170, 10, 240, 60}, plain},
        {"left", {1, 2, 3}, align(A::Left), {10, 10, 60, 50}, {10, 30, 70, 75}, {10, 50, 80, 100}, plain},
        // right edges on the reference's right edge, 60
        {"right", {1, 2, 3}, align(A::Right), {10, 10, 60, 50}, {0, 30, 60, 75}, {-10, 50, 60, 100}, plain},
        // bottom edges on 50
        {"bottom", {1, 2, 3}, align(A::Bottom), {10, 10, 60, 50}, {90, 5, 150, 50}, {170, 0, 240, 50}, plain},
        {"equal height", {1, 2, 3}, align(A::EqualHeight), {10, 10, 60, 50}, {90, 30, 150, 70}, {170, 50, 240, 90}, plain},
        {"equal width", {1, 2, 3}, align(A::EqualWidth), {10, 10, 60, 50}, {90, 30, 140, 75}, {170, 50, 220, 100}, plain},
        // the reference is the first picked, not the first registered
        {"top to the third", {3, 1}, align(A::Top), {10, 50, 60, 90}, {90, 30, 150, 75}, {170, 50, 240, 100}, plain},
        {"right to the second", {2, 3}, align(A::Right), {10, 10, 60, 50}, {90, 30, 150, 75}, {80, 50, 150, 100}, plain},
        {"one picked: nothing", {2}, align(A::Left), {10, 10, 60, 50}, {90, 30, 150, 75}, {170, 50, 240, 100}, plain},
        {"none picked: nothing", {}, align(A::EqualWidth), {10, 10, 60, 50}, {90, 30, 150, 75}, {170, 50, 240, 100}, plain},
        {"bring the first to front", {}, [](TShapeArrangement& a) { a.BringToFront(1); }, {10, 10, 60, 50},
         {90, 30, 150, 75}, {170, 50, 240, 100}, {2, 3, 1}},
        {"send the last to back", {}, [](TShapeArrangement& a) { a.SendToBack(3); }, {10, 10, 60, 50},
         {90, 30, 150, 75}, {170, 50, 240, 100}, {3, 1, 2}},
        {"front, then back", {}, [](TShapeArrangement& a) { a.BringToFront(2); a.SendToBack(3); }, {10, 10, 60, 50},
         {90, 30, 150, 75}, {170, 50, 240, 100}, {3, 1, 2}},
        {"an unregistered shape keeps the stack", {},
         [](TShapeArrangement& a) {
             a.Update(Shape(9, Bounds(0, 0, 5, 5)));
             a.BringToFront(9);
             a.SendToBack(9);
         },
         {10, 10, 60, 50}, {90, 30, 150, 75}, {170, 50, 240, 100}, plain},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TShapeArrangement a = Three();
        for (TShapeId id : c.picked)
            a.ToggleSelection(id);
        c.run(a);
        EXPECT_EQ(a.Find(1)->Bounds, c.one);
        EXPECT_EQ(a.Find(2)->Bounds, c.two);
        EXPECT_EQ(a.Find(3)->Bounds, c.three);
        EXPECT_EQ(a.Shapes(), c.stack);
    }
}

TEST(ShapeArrangement, SelectsAloneOrByGroupThroughTheRegisteredShapes)
{
    TShapeArrangement a = Three();
    a.Update(Shape(4, Bounds(0, 0, 9, 9))); // known, not registered
    a.ToggleSelection(4);
    a.ToggleSelection(2);
    EXPECT_EQ(a.Selection(), (std::vector<TShapeId>{4, 2}));
    EXPECT_TRUE(a.Find(4)->Selected);
    a.ToggleSelection(4);
    EXPECT_EQ(a.Selection(), std::vector<TShapeId>{2});
    EXPECT_FALSE(a.Find(4)->Selected);

    // Groups: 1 and 3 "pair", 4 "pair" but unregistered.
    for (TShapeId id : {1, 3, 4}) {
        TArrangedShape s = *a.Find(id);
        s.GroupName = "pair";
        a.Update(s);
    }
    a.ToggleSelection(4); // the clicked shape is not registered: only 1 and 3 come
    EXPECT_EQ(a.Selection(), (std::vector<TShapeId>{2, 1, 3}));
    EXPECT_FALSE(a.Find(4)->Selected);
    EXPECT_TRUE(a.Find(3)->Selected);
    a.ToggleSelection(1); // the whole group goes, 2 stays
    EXPECT_EQ(a.Selection(), std::vector<TShapeId>{2});
    EXPECT_FALSE(a.Find(1)->Selected);
    EXPECT_FALSE(a.Find(3)->Selected);
    a.ToggleSelection(99); // unknown: nothing
    EXPECT_EQ(a.Selection(), std::vector<TShapeId>{2});

    // Grouping names the selection, or the shape itself when nothing is selected.
    EXPECT_EQ(a.GroupNameFor(1), "");
    a.SetGroupName(1, "team");
    EXPECT_EQ(a.Find(2)->GroupName, "team");
    EXPECT_EQ(a.Find(1)->GroupName, "pair");
    a.ToggleSelection(2);
    EXPECT_TRUE(a.Selection().empty());
    EXPECT_EQ(a.GroupNameFor(1), "pair");
    a.SetGroupName(1, ""); // ungrouped
    EXPECT_EQ(a.Find(1)->GroupName, "");
    EXPECT_EQ(a.Find(3)->GroupName, "pair");
}

TEST(ShapeArrangement, DraggingMovesTheSelectionAndConnectorsPullGroupsAlong)
{
    struct Case {
        const char* name;
        TShapeSide side;
        TRect pulled, expected;
    };
    // The dragged shape stands at (15, 13)-(65, 53). E and S pull from a 5-pixel gap on,
    // N and W from 6.
    const Case cases[] = {
        {"east: left edge to 65", TShapeSide::East, {100, 100, 150, 150}, {65, 100, 150, 150}},
        {"east: right edge 70 still pulled", TShapeSide::East, {20, 0, 70, 20}, {65, 0, 70, 20}},
        {"east: right edge 69 too close", TShapeSide::East, {20, 0, 69, 20}, {20, 0, 69, 20}},
        {"south: top edge to 53", TShapeSide::South, {0, 100, 50, 150}, {0, 53, 50, 150}},
        {"south: bottom edge 57 too close", TShapeSide::South, {0, 20, 50, 57}, {0, 20, 50, 57}},
        {"west: right edge to 15", TShapeSide::West, {-100, 0, -80, 20}, {-100, 0, 15, 20}},
        {"west: left edge 10 too close", TShapeSide::West, {10, 0, 30, 20}, {10, 0, 30, 20}},
        {"north: bottom edge to 13", TShapeSide::North, {0, -100, 20, -80}, {0, -100, 20, 13}},
        {"north: top edge 7 pulled", TShapeSide::North, {0, 7, 20, 30}, {0, 7, 20, 13}},
        {"north: top edge 8 too close", TShapeSide::North, {0, 8, 20, 30}, {0, 8, 20, 30}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TShapeArrangement a;
        TArrangedShape dragged = Shape(1, {15, 13, 65, 53});
        a.Update(dragged);
        a.Update(Shape(2, c.pulled, "bar"));
        a.Register(1);
        a.Register(2);
        a.Connect(1, c.side, "bar");
        a.MoveSelection(1, 5, 3);
        EXPECT_EQ(a.Find(2)->Bounds, c.expected);
        EXPECT_EQ(a.Find(1)->Bounds, TRect(15, 13, 65, 53));
    }

    // The selection moves by the drag; the first connector naming a group wins; shapes
    // without a group, and unregistered ones, are never pulled.
    TShapeArrangement a;
    a.Update(Shape(1, {15, 13, 65, 53}));
    a.Update(Shape(2, {90, 30, 150, 75}));
    a.Update(Shape(3, {0, -100, 20, -80}, "bar"));
    a.Update(Shape(4, {0, -100, 20, -80}));
    a.Update(Shape(5, {0, -100, 20, -80}, "bar"));
    for (TShapeId id : {1, 2, 3, 4})
        a.Register(id);
    a.ToggleSelection(1);
    a.ToggleSelection(2);
    a.Connect(1, TShapeSide::South, "bar");
    a.Connect(1, TShapeSide::North, "bar");
    a.MoveSelection(1, 5, 3);
    EXPECT_EQ(a.Find(1)->Bounds, TRect(15, 13, 65, 53));
    EXPECT_EQ(a.Find(2)->Bounds, TRect(95, 33, 155, 78));
    EXPECT_EQ(a.Find(3)->Bounds, TRect(0, -100, 20, 13)); // north, not south
    EXPECT_EQ(a.Find(4)->Bounds, TRect(0, -100, 20, -80));
    EXPECT_EQ(a.Find(5)->Bounds, TRect(0, -100, 20, -80));
}

TEST(ShapeArrangement, DeletesTheRegisteredSelectedShapesOnly)
{
    TShapeArrangement a = Three();
    a.Update(Shape(4, Bounds(0, 0, 9, 9)));
    a.ToggleSelection(1);
    a.ToggleSelection(4);
    a.ToggleSelection(3);
    EXPECT_EQ(a.DeleteSelection(), (std::vector<TShapeId>{1, 3}));
    EXPECT_TRUE(a.Selection().empty());
    EXPECT_EQ(a.Shapes(), std::vector<TShapeId>{2});
    EXPECT_EQ(a.Find(1), nullptr);
    ASSERT_NE(a.Find(4), nullptr);
    EXPECT_TRUE(a.Find(4)->Selected); // not registered: stays, still marked
    EXPECT_TRUE(a.DeleteSelection().empty());
    a.Forget(2);
    EXPECT_TRUE(a.Shapes().empty());
    a.Register(2); // forgotten: no longer known
    EXPECT_TRUE(a.Shapes().empty());
}
