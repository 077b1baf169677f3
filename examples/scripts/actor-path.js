// Actor path: a figure eight across the frame for the Actor/Path wizard, drawn as a
// dotted trail so you can see where the actor will go.
var w = gfx.Width, h = gfx.Height;
var points = [];
var steps = 40;
for (var i = 0; i <= steps; i++) {
  var t = 2 * Math.PI * i / steps;
  points.push(Math.round(w / 2 + (w / 2 - 20) * Math.sin(t)));
  points.push(Math.round(h / 2 + (h / 2 - 20) * Math.sin(t) * Math.cos(t)));
}
gfx.ActorWizardPath(points);
gfx.PenColor = "#9E9E9E";
gfx.PolyLine(points);
gfx.PenColor = "#1565C0";
gfx.BrushColor = "#42A5F5";
for (var k = 0; k < points.length; k += 2)
  gfx.Ellipse(points[k] - 3, points[k + 1] - 3, points[k] + 4, points[k + 1] + 4);
gfx.BrushColor = "#E53935";
gfx.Ellipse(points[0] - 6, points[1] - 6, points[0] + 7, points[1] + 7);
