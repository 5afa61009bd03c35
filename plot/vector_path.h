// A path of vertices, each starting a sub-path (move) or continuing it (line). A vertex
// with a coordinate that is not finite is not stored; it lifts the pen, so the next line
// starts a new sub-path, as does a line on an empty path.
#pragma once

#include <cstddef>
#include <vector>

struct PathVertex {
    double x;
    double y;
    bool move;
};

class VectorPath {
public:
    VectorPath() { vertices_.reserve(256); }

    void move_to(double x, double y);
    void line_to(double x, double y);
    // A line by (dx, dy) from the last vertex, or from (0, 0) on an empty path.
    void line_rel(double dx, double dy);
    // Empties the path and keeps its storage.
    void clear();

    bool empty() const { return vertices_.empty(); }
    std::size_t size() const { return vertices_.size(); }
    const PathVertex& operator[](std::size_t i) const { return vertices_[i]; }
    const PathVertex* begin() const { return vertices_.data(); }
    const PathVertex* end() const { return vertices_.data() + vertices_.size(); }

private:
    void add(double x, double y, bool move);

    std::vector<PathVertex> vertices_;
    bool pen_lifted_ = true;
};
