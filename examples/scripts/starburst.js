// Starburst: rays from the middle of the frame in a rainbow, with a bright core.
function hex(r, g, b) {
  function h(v) { v = Math.max(0, Math.min(255, Math.round(v))); return (v < 16 ? "0" : "") + v.toString(16); }
  return "#" + h(r) + h(g) + h(b);
}
var w = gfx.Width, h = gfx.Height;
var cx = w / 2, cy = h / 2;
var reach = Math.sqrt(cx * cx + cy * cy);
gfx.BrushColor = "#101030";
gfx.PenClear();
gfx.Rectangle(0, 0, w + 1, h + 1);
gfx.PenSolid();
var rays = 180;
for (var i = 0; i < rays; i++) {
  var a = 2 * Math.PI * i / rays;
  var t = i / rays;
  gfx.PenColor = hex(128 + 127 * Math.cos(2 * Math.PI * t),
                     128 + 127 * Math.cos(2 * Math.PI * (t - 1 / 3)),
                     128 + 127 * Math.cos(2 * Math.PI * (t - 2 / 3)));
  gfx.PenWidth = (i % 3 == 0) ? 3 : 1;
  var len = reach * (i % 2 == 0 ? 1 : 0.6);
  gfx.Line(cx, cy, cx + len * Math.cos(a), cy + len * Math.sin(a));
}
gfx.PenWidth = 1;
for (var r = 30; r > 0; r -= 3) {
  gfx.BrushColor = hex(255, 255 - r * 4, 80 - r * 2);
  gfx.PenColor = hex(255, 255 - r * 4, 80 - r * 2);
  gfx.Ellipse(cx - r, cy - r, cx + r, cy + r);
}
