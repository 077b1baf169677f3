#include "ShapeArrangement.h"

#include <algorithm>

namespace {

bool contains(const std::vector<TShapeId>& list, TShapeId id)
{
    return std::find(list.begin(), list.end(), id) != list.end();
}

void removeFrom(std::vector<TShapeId>& list, TShapeId id)
{
    list.erase(std::remove(list.begin(), list.end(), id), list.end());
}

TRect moved(const TRect& r, int dx, int dy) { return TRect(r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy); }

// The rectangle `s` takes when the dragged shape `d` pulls it by its connector on `side`,
// or `s` itself when the gap is 5 pixels or less.
TRect pulled(const TRect& s, const TRect& d, TShapeSide side)
{
    switch (side) {
    case TShapeSide::North: // s reaches down to d's top
        return s.Top + 5 < d.Top ? TRect(s.Left, s.Top, s.Right, d.Top) : s;
    case TShapeSide::East: // s's left edge follows d's right edge
        return d.Right - 1 < s.Right - 5 ? TRect(d.Right, s.Top, s.Right, s.Bottom) : s;
    case TShapeSide::South: // s's top edge follows d's bottom edge
        return d.Bottom - 1 < s.Bottom - 5 ? TRect(s.Left, d.Bottom, s.Right, s.Bottom) : s;
    case TShapeSide::West: // s reaches right to d's left
        return s.Left + 5 < d.Left ? TRect(s.Left, s.Top, d.Left, s.Bottom) : s;
    }
    return s;
}

} // namespace

void TShapeArrangement::Update(const TArrangedShape& shape) { m_records[shape.Id] = shape; }

const TArrangedShape* TShapeArrangement::Find(TShapeId id) const
{
    const auto it = m_records.find(id);
    return it == m_records.end() ? nullptr : &it->second;
}

TArrangedShape* TShapeArrangement::find(TShapeId id)
{
    const auto it = m_records.find(id);
    return it == m_records.end() ? nullptr : &it->second;
}

bool TShapeArrangement::isSelected(TShapeId id) const { return contains(m_selection, id); }
bool TShapeArrangement::isRegistered(TShapeId id) const { return contains(m_shapes, id); }

void TShapeArrangement::Register(TShapeId id)
{
    if (find(id) && !isRegistered(id))
        m_shapes.push_back(id);
}

void TShapeArrangement::Forget(TShapeId id)
{
    m_records.erase(id);
    removeFrom(m_shapes, id);
    removeFrom(m_selection, id);
}

void TShapeArrangement::ToggleSelection(TShapeId id)
{
    TArrangedShape* shape = find(id);
    if (!shape)
        return;
    const std::string group = shape->GroupName;
    if (!isSelected(id)) {
        if (group.empty()) {
            shape->Selected = true;
            m_selection.push_back(id);
            return;
        }
        for (TShapeId other : m_shapes) {
            TArrangedShape& s = m_records.at(other);
            if (s.GroupName == group && !isSelected(other)) {
                s.Selected = true;
                m_selection.push_back(other);
            }
        }
    } else if (group.empty()) {
        shape->Selected = false;
        removeFrom(m_selection, id);
    } else {
        for (std::size_t i = m_selection.size(); i-- > 0;) {
            TArrangedShape& s = m_records.at(m_selection[i]);
            if (s.GroupName == group) {
                s.Selected = false;
                m_selection.erase(m_selection.begin() + static_cast<std::ptrdiff_t>(i));
            }
        }
    }
}

void TShapeArrangement::MoveSelection(TShapeId dragged, int dx, int dy)
{
    const TArrangedShape* d = Find(dragged);
    if (!d)
        return;
    for (TShapeId id : m_selection)
        if (id != dragged)
            m_records.at(id).Bounds = moved(m_records.at(id).Bounds, dx, dy);
    for (TShapeId id : m_shapes) {
        TArrangedShape& s = m_records.at(id);
        if (id == dragged || s.GroupName.empty())
            continue;
        for (int side = 0; side < kShapeSideCount; ++side)
            if (d->Connectors[static_cast<std::size_t>(side)] == s.GroupName) {
                s.Bounds = pulled(s.Bounds, d->Bounds, static_cast<TShapeSide>(side));
                break;
            }
    }
}

void TShapeArrangement::Align(TShapeAlignment how)
{
    if (m_selection.size() < 2)
        return;
    const TRect ref = m_records.at(m_selection.front()).Bounds;
    for (std::size_t i = 1; i < m_selection.size(); ++i) {
        TRect& r = m_records.at(m_selection[i]).Bounds;
        int l = r.Left, t = r.Top, w = r.Width(), h = r.Height();
        switch (how) {
        case TShapeAlignment::Top: t = ref.Top; break;
        case TShapeAlignment::Left: l = ref.Left; break;
        case TShapeAlignment::Right: l = ref.Right - w; break;
        case TShapeAlignment::Bottom: t = ref.Bottom - h; break;
        case TShapeAlignment::EqualHeight: h = ref.Height(); break;
        case TShapeAlignment::EqualWidth: w = ref.Width(); break;
        }
        r = Bounds(l, t, w, h);
    }
}

std::string TShapeArrangement::GroupNameFor(TShapeId id) const
{
    if (!m_selection.empty())
        return m_records.at(m_selection.front()).GroupName;
    const TArrangedShape* shape = Find(id);
    return shape ? shape->GroupName : std::string();
}

void TShapeArrangement::SetGroupName(TShapeId id, const std::string& name)
{
    if (m_selection.empty()) {
        if (TArrangedShape* shape = find(id))
            shape->GroupName = name;
        return;
    }
    for (TShapeId s : m_selection)
        m_records.at(s).GroupName = name;
}

void TShapeArrangement::Connect(TShapeId id, TShapeSide side, const std::string& group)
{
    if (TArrangedShape* shape = find(id))
        shape->Connectors[static_cast<std::size_t>(side)] = group;
}

void TShapeArrangement::BringToFront(TShapeId id)
{
    if (!isRegistered(id))
        return;
    removeFrom(m_shapes, id);
    m_shapes.push_back(id);
}

void TShapeArrangement::SendToBack(TShapeId id)
{
    if (!isRegistered(id))
        return;
    removeFrom(m_shapes, id);
    m_shapes.insert(m_shapes.begin(), id);
}

std::vector<TShapeId> TShapeArrangement::DeleteSelection()
{
    std::vector<TShapeId> doomed;
    for (TShapeId id : m_selection)
        if (isRegistered(id))
            doomed.push_back(id);
    m_selection.clear();
    for (TShapeId id : doomed)
        Forget(id);
    return doomed;
}
