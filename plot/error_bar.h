// The error bar that both canvases draw after a data marker: a cap of width 4s at y − e,
// the vertical stroke from y − e to y + e, and a cap at y + e, added through the canvas's
// own MoveTo and LineRel.
#pragma once

template <class PathBuilder>
void add_error_bar(PathBuilder& canvas, double x, double y, double size, double error)
{
    canvas.MoveTo(x - 2 * size, y - error);
    canvas.LineRel(4 * size, 0.0);
    canvas.MoveTo(x, y - error);
    canvas.LineRel(0.0, 2 * error);
    canvas.MoveTo(x - 2 * size, y + error);
    canvas.LineRel(4 * size, 0.0);
}
