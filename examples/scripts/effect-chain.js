// Effect chain: bold shapes, then a run of whole-picture effects by name.
var w = gfx.Width, h = gfx.Height;
gfx.Clear();
gfx.PenClear();
var colours = ["#E53935", "#FDD835", "#43A047", "#1E88E5", "#8E24AA"];
for (var i = 0; i < 5; i++) {
  gfx.BrushColor = colours[i];
  var x = (i + 0.5) * w / 5;
  gfx.Ellipse(x - 28, h / 2 - 28 - (i % 2) * 20, x + 28, h / 2 + 28 - (i % 2) * 20);
}
gfx.Effect("blur", 1);
gfx.Effect("Twist", 12);
gfx.Effect("contrast", 30);
gfx.Effect("mirrorright", 0);
gfx.PenSolid();
gfx.PenColor = "#000000";
gfx.BrushColor = "#263238";
gfx.RoundRect(20, h - 40, w - 20, h - 12, 16, 16);
gfx.FontName = "Arial";
gfx.FontSize = 14;
gfx.FontStyle = "bold";
gfx.FontColor = "#FFFFFF";
gfx.BrushClear();
gfx.Text(30, h - 36, "blur, twist, contrast, mirror");
