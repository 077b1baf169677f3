// Text banner: a striped ribbon with a title, a slanted tag and text running up the side.
var w = gfx.Width, h = gfx.Height;
gfx.Clear();
gfx.PenClear();
for (var y = 0; y < h; y += 8) {
  gfx.BrushColor = (y / 8) % 2 == 0 ? "#FFE9A8" : "#FFD970";
  gfx.Rectangle(0, y, w + 1, y + 9);
}
gfx.PenSolid();
gfx.PenColor = "#803000";
gfx.PenWidth = 2;
gfx.BrushColor = "#C0392B";
var top = h / 2 - 28;
gfx.Polygon([10, top, w - 10, top, w - 24, top + 28, w - 10, top + 56, 10, top + 56, 24, top + 28]);
gfx.FontName = "Arial";
gfx.FontSize = 24;
gfx.FontStyle = "bold";
gfx.FontColor = "#FFFFFF";
gfx.BrushClear();
var title = "Anivor 13";
gfx.Text((w - gfx.TextWidth(title)) / 2, top + 28 - gfx.TextHeight(title) / 2, title);
gfx.FontSize = 12;
gfx.FontStyle = "bold italic";
gfx.FontColor = "#1F3A93";
gfx.TextRotate(w - 70, 30, "scripted!", 20);
gfx.FontStyle = "";
gfx.FontColor = "#555555";
gfx.TextRotate(6, top - 8, "made with gfx", 90);
