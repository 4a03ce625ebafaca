#include "picture.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "model/mesh.h"
#include "model/views.h"
#include "png_file.h"

namespace sandbox {

namespace {

using Vec3 = std::array<double, 3>;

struct Colour {
    double r, g, b;
};

// Weight ramp: grey for 0, fading into blue, then through green and yellow to red for 1.
Colour Ramp(double w) {
    static const Colour grey{0.62, 0.64, 0.68};
    static const Colour stops[] = {{0.15, 0.3, 0.95}, {0.1, 0.85, 0.35}, {0.98, 0.9, 0.1}, {0.95, 0.15, 0.1}};
    if (w <= 0.0) return grey;
    w = std::min(w, 1.0);
    if (w < 0.1) {
        const double f = w / 0.1;
        return {grey.r + (stops[0].r - grey.r) * f, grey.g + (stops[0].g - grey.g) * f,
                grey.b + (stops[0].b - grey.b) * f};
    }
    const double x = (w - 0.1) / 0.9 * 3.0;
    const int i = std::min(static_cast<int>(x), 2);
    const double f = x - i;
    return {stops[i].r + (stops[i + 1].r - stops[i].r) * f, stops[i].g + (stops[i + 1].g - stops[i].g) * f,
            stops[i].b + (stops[i + 1].b - stops[i].b) * f};
}

// Triangles drawn with a depth buffer, shaded by how squarely they face the eye.
class Canvas {
public:
    Canvas(int32_t w, int32_t h)
        : image(w, h, 38, 40, 46), depth_(static_cast<size_t>(w) * static_cast<size_t>(h),
                                          std::numeric_limits<double>::infinity()) {}

    // s*: screen (x, y, depth); w*: weights at the corners; shade in [0, 1].
    void triangle(const Vec3 &s0, const Vec3 &s1, const Vec3 &s2, double w0, double w1, double w2, double shade) {
        const double area = (s1[0] - s0[0]) * (s2[1] - s0[1]) - (s2[0] - s0[0]) * (s1[1] - s0[1]);
        if (area == 0.0 || !std::isfinite(area)) return;
        const int x0 = std::max(0, static_cast<int>(std::floor(std::min({s0[0], s1[0], s2[0]}))));
        const int x1 = std::min(image.width - 1, static_cast<int>(std::ceil(std::max({s0[0], s1[0], s2[0]}))));
        const int y0 = std::max(0, static_cast<int>(std::floor(std::min({s0[1], s1[1], s2[1]}))));
        const int y1 = std::min(image.height - 1, static_cast<int>(std::ceil(std::max({s0[1], s1[1], s2[1]}))));
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                const double px = x + 0.5, py = y + 0.5;
                const double b0 = ((s1[0] - px) * (s2[1] - py) - (s2[0] - px) * (s1[1] - py)) / area;
                const double b1 = ((s2[0] - px) * (s0[1] - py) - (s0[0] - px) * (s2[1] - py)) / area;
                const double b2 = 1.0 - b0 - b1;
                if (b0 < 0 || b1 < 0 || b2 < 0) continue;
                const double z = b0 * s0[2] + b1 * s1[2] + b2 * s2[2];
                double &d = depth_[static_cast<size_t>(y) * static_cast<size_t>(image.width) + static_cast<size_t>(x)];
                if (z >= d) continue;
                d = z;
                const Colour c = Ramp(b0 * w0 + b1 * w1 + b2 * w2);
                const double light = 0.35 + 0.65 * shade;
                image.set(x, y, Byte(c.r * light), Byte(c.g * light), Byte(c.b * light));
            }
    }

    // A polygon side drawn where it is not hidden behind another surface.
    void edge(const Vec3 &a, const Vec3 &b) {
        const int steps = static_cast<int>(std::max(std::fabs(b[0] - a[0]), std::fabs(b[1] - a[1]))) + 1;
        if (steps > 100000) return;
        for (int i = 0; i <= steps; ++i) {
            const double t = static_cast<double>(i) / steps;
            const int32_t x = static_cast<int32_t>(a[0] + (b[0] - a[0]) * t), y = static_cast<int32_t>(a[1] + (b[1] - a[1]) * t);
            if (x < 0 || y < 0 || x >= image.width || y >= image.height) continue;
            const double z = a[2] + (b[2] - a[2]) * t;
            const double d = depth_[static_cast<size_t>(y) * static_cast<size_t>(image.width) + static_cast<size_t>(x)];
            if (z > d + 1e-3 * std::max(1.0, std::fabs(d))) continue;
            uint8_t *p = &image.rgb[(static_cast<size_t>(y) * static_cast<size_t>(image.width) + static_cast<size_t>(x)) * 3];
            for (int c = 0; c < 3; ++c) p[c] = static_cast<uint8_t>(p[c] * 0.7);
        }
    }

    void line(double ax, double ay, double bx, double by, uint8_t r, uint8_t g, uint8_t b) {
        const int steps = static_cast<int>(std::max(std::fabs(bx - ax), std::fabs(by - ay))) + 1;
        if (steps > 100000) return;
        for (int i = 0; i <= steps; ++i) {
            const double t = static_cast<double>(i) / steps;
            image.set(static_cast<int32_t>(ax + (bx - ax) * t), static_cast<int32_t>(ay + (by - ay) * t), r, g, b);
        }
    }

    void circle(double cx, double cy, double radius, uint8_t r, uint8_t g, uint8_t b) {
        const int steps = std::clamp(static_cast<int>(radius * 6.0), 24, 4096);
        for (int i = 0; i < steps; ++i) {
            const double a0 = 2.0 * M_PI * i / steps, a1 = 2.0 * M_PI * (i + 1) / steps;
            line(cx + radius * std::cos(a0), cy + radius * std::sin(a0), cx + radius * std::cos(a1),
                 cy + radius * std::sin(a1), r, g, b);
        }
    }

    void dot(double x, double y, uint8_t r, uint8_t g, uint8_t b) {
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx) image.set(static_cast<int32_t>(x) + dx, static_cast<int32_t>(y) + dy, r, g, b);
    }

    Image image;

private:
    static uint8_t Byte(double v) { return static_cast<uint8_t>(std::clamp(v, 0.0, 1.0) * 255.0 + 0.5); }
    std::vector<double> depth_;
};

Vec3 Sub(const Vec3 &a, const Vec3 &b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }

}  // namespace

void WritePicture(const SessionRun &run, int32_t mouseX, int32_t mouseY, const std::string &path) {
    vhost::Host &host = const_cast<vhost::Host &>(run.loaded.host);
    const vhost::Viewport &view = host.scene.views.currentView();
    Canvas canvas(view.width, view.height);
    const Brush &brush = *run.brush;

    for (int32_t t = 0; t < brush.targetCount; ++t) {
        const vhost::Mesh *mesh = host.scene.meshes.find(brush.targetIds[t]);
        if (!mesh) continue;
        const size_t n = mesh->current.size();
        std::vector<Vec3> screen(n);
        for (size_t i = 0; i < n; ++i) vhost::WorldToScreen(host, mesh->current[i].data(), screen[i].data());
        const double *weights = brush.weights[t];
        for (const auto &polygon : mesh->polygons) {
            if (polygon.size() < 3) continue;
            // A fixed light over the shoulder, lit from both sides, is enough to read the shape.
            const Vec3 &a = mesh->current[static_cast<size_t>(polygon[0])];
            const Vec3 e1 = Sub(mesh->current[static_cast<size_t>(polygon[1])], a);
            const Vec3 e2 = Sub(mesh->current[static_cast<size_t>(polygon[2])], a);
            const Vec3 normal{e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
            const double len = std::sqrt(normal[0] * normal[0] + normal[1] * normal[1] + normal[2] * normal[2]);
            const double facing =
                len > 0 ? std::fabs(normal[0] * 0.4 + normal[1] * 0.7 + normal[2] * 0.59) / (len * 1.0) : 0.5;
            for (size_t k = 1; k + 1 < polygon.size(); ++k) {
                const size_t i0 = static_cast<size_t>(polygon[0]), i1 = static_cast<size_t>(polygon[k]),
                             i2 = static_cast<size_t>(polygon[k + 1]);
                if (screen[i0][2] <= 0 || screen[i1][2] <= 0 || screen[i2][2] <= 0) continue;  // behind the eye
                canvas.triangle(screen[i0], screen[i1], screen[i2], weights[i0], weights[i1], weights[i2], facing);
            }
        }
        for (const auto &polygon : mesh->polygons)
            for (size_t k = 0; k < polygon.size(); ++k) {
                const Vec3 &a = screen[static_cast<size_t>(polygon[k])];
                const Vec3 &b = screen[static_cast<size_t>(polygon[(k + 1) % polygon.size()])];
                if (a[2] > 0 && b[2] > 0) canvas.edge(a, b);
            }
        // Selected points as the host shows them (during a box drag that is the preview).
        for (size_t i = 0; i < n && i < mesh->selected.size(); ++i)
            if (mesh->selected[i] && screen[i][2] > 0) canvas.dot(screen[i][0], screen[i][1], 255, 255, 255);
    }
    if (brush.mode == 8 && brush.boxSelection) {
        const double ax = brush.anchor[0], ay = brush.anchor[1];
        canvas.line(ax, ay, mouseX, ay, 250, 250, 250);
        canvas.line(mouseX, ay, mouseX, mouseY, 250, 250, 250);
        canvas.line(mouseX, mouseY, ax, mouseY, 250, 250, 250);
        canvas.line(ax, mouseY, ax, ay, 250, 250, 250);
    } else if (brush.mode != 8) {
        canvas.circle(mouseX, mouseY, brush.radius, 250, 210, 60);
    }
    if (!WritePng(canvas.image, path)) throw SessionError(path + ": cannot write the picture");
}

}  // namespace sandbox
