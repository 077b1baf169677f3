// TShapeArrangement: how several shapes stand to each other, as plain records: which are
// registered (in z-order, back first), which are selected (in the order they were picked),
// their rectangles, group names and connectors. The shape controller keeps one, copies its
// shapes' rectangles and names in before an operation and its results back afterwards;
// the operations themselves (selection by group, dragging the selection with its
// connectors, alignment, z-order, deletion) are here.
#pragma once

#include "graphics/Types.h"

#include <array>
#include <map>
#include <string>
#include <vector>

using TShapeId = int;

// The four connectors of a shape, in the order a drag tests them.
enum class TShapeSide { North, East, South, West };
constexpr int kShapeSideCount = 4;

struct TArrangedShape {
    TShapeId Id = 0;
    TRect Bounds;
    bool Selected = false; // the shape's mark
    std::string GroupName;
    // By TShapeSide: the group name of the shapes that side pulls along.
    std::array<std::string, kShapeSideCount> Connectors;

    const std::string& Connector(TShapeSide side) const { return Connectors[static_cast<std::size_t>(side)]; }
};

// The Align/Size commands: the other selected shapes take the first one's edge or size.
enum class TShapeAlignment { Top, Left, Right, Bottom, EqualHeight, EqualWidth };

class TShapeArrangement {
public:
    // --- records and lists ------------------------------------------------------------------
    // Adds the record, or replaces the one with its id; the lists stay as they are.
    void Update(const TArrangedShape& shape);
    // nullptr when the id is unknown.
    const TArrangedShape* Find(TShapeId id) const;
    // Every record, by id.
    const std::map<TShapeId, TArrangedShape>& Records() const { return m_records; }
    // Appends a known shape to the registered shapes (once).
    void Register(TShapeId id);
    // The shape is gone: its record and its places in both lists.
    void Forget(TShapeId id);
    // Registered shapes in z-order bookkeeping order, back first.
    const std::vector<TShapeId>& Shapes() const { return m_shapes; }
    // Selected shapes, the reference of alignment first.
    const std::vector<TShapeId>& Selection() const { return m_selection; }

    // --- operations --------------------------------------------------------------------------
    // Shift+click on a known shape. Without a group name the shape alone is selected or
    // deselected. With one, selecting takes every registered shape of that group (the
    // clicked one only when it is registered) and deselecting drops every selected shape
    // of it.
    void ToggleSelection(TShapeId id);
    // After the dragged shape moved by (dx, dy) (its record holds its new rectangle): the
    // other selected shapes move as much, and each registered shape with a group name is
    // stretched by the first of the dragged shape's connectors (N, E, S, W) that names its
    // group, when the gap is more than 5 pixels.
    void MoveSelection(TShapeId dragged, int dx, int dy);
    // Needs at least two selected shapes; the first is the reference.
    void Align(TShapeAlignment how);
    // The group name the GroupName prompt proposes for the shape the menu is on: the first
    // selected shape's, or this shape's when nothing is selected.
    std::string GroupNameFor(TShapeId id) const;
    // Names the group of the whole selection, or of this shape when nothing is selected.
    // An empty name ungroups.
    void SetGroupName(TShapeId id, const std::string& name);
    void Connect(TShapeId id, TShapeSide side, const std::string& group);
    // A registered shape moves to the end (front) or start (back) of the registered list.
    void BringToFront(TShapeId id);
    void SendToBack(TShapeId id);
    // Empties the selection and returns the registered shapes among it, which leave the
    // arrangement: the host frees them. The others stay, still marked.
    std::vector<TShapeId> DeleteSelection();

private:
    TArrangedShape* find(TShapeId id);
    bool isSelected(TShapeId id) const;
    bool isRegistered(TShapeId id) const;

    std::map<TShapeId, TArrangedShape> m_records;
    std::vector<TShapeId> m_shapes;
    std::vector<TShapeId> m_selection;
};
