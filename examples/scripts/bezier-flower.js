// Bezier flower: petals as closed Bezier curves turned around the centre, rotated
// ellipses for the leaves and a Pie for the heart.
var w = gfx.Width, h = gfx.Height;
var cx = w / 2, cy = h / 2 - 10;
gfx.Clear();
gfx.PenColor = "#2E7D32";
gfx.PenWidth = 4;
gfx.Line(cx, cy, cx, h);
gfx.PenWidth = 1;
gfx.BrushColor = "#66BB6A";
gfx.EllipseRotate(cx - 22, cy + 60, 22, 8, -0.6, true);
gfx.EllipseRotate(cx + 22, cy + 75, 22, 8, 0.6, true);
function petal(angle, len, width) {
  var ca = Math.cos(angle), sa = Math.sin(angle);
  function p(u, v) { return [Math.round(cx + u * ca - v * sa), Math.round(cy + u * sa + v * ca)]; }
  var pts = [].concat(p(0, 0), p(len * 0.3, -width), p(len, -width), p(len, 0),
                      p(len, width), p(len * 0.3, width), p(0, 0));
  gfx.PolyBezier(pts);
}
var petals = 12, len = Math.min(w, h) / 2.6;
for (var layer = 0; layer < 2; layer++) {
  gfx.PenColor = layer == 0 ? "#AD1457" : "#F06292";
  gfx.PenWidth = 2;
  for (var i = 0; i < petals; i++)
    petal(2 * Math.PI * (i + layer / 2) / petals, len * (1 - layer * 0.35), 9 - layer * 3);
}
gfx.PenWidth = 1;
gfx.PenColor = "#E65100";
gfx.BrushColor = "#FFB300";
gfx.Ellipse(cx - 12, cy - 12, cx + 13, cy + 13);
gfx.BrushColor = "#FF6F00";
gfx.Pie(cx - 12, cy - 12, cx + 13, cy + 13, cx + 12, cy, cx, cy - 12);
