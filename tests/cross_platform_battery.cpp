// A fixed battery of calls through the loaded module's registry, each outcome written as text with every
// double in "%a", so the native build and the Windows DLL (under its own ABI and C runtime) can be
// compared byte for byte.
//
//   cross_platform_battery OUT [EXPECTED]   writes OUT; with EXPECTED, fails unless both files are equal
#include <cfloat>
#include <cinttypes>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "brush_scene.h"
#include "model/scene_file.h"

namespace {

using brushtest::BrushScene;
using brushtest::ViewKind;

constexpr double kInf = std::numeric_limits<double>::infinity();

class Report {
public:
    void line(const char *format, ...) __attribute__((format(printf, 2, 3))) {
        char buffer[1024];
        va_list args;
        va_start(args, format);
        std::vsnprintf(buffer, sizeof buffer, format, args);
        va_end(args);
        text += buffer;
        text += '\n';
    }
    void numbers(const char *label, const double *v, size_t n) {
        text += label;
        for (size_t i = 0; i < n; ++i) {
            // Not-a-number by its bits: C runtimes print its sign and payload each their own way.
            char buffer[64];
            uint64_t bits = 0;
            std::memcpy(&bits, &v[i], sizeof bits);
            if (std::isnan(v[i]))
                std::snprintf(buffer, sizeof buffer, " nan:%016" PRIx64, bits);
            else
                std::snprintf(buffer, sizeof buffer, " %a", v[i]);
            text += buffer;
        }
        text += '\n';
    }
    std::string text;
};

void Geometry(Report &r, const vhost::PluginHost &plugin) {
    auto normalize = plugin.function<vantic_Normalize_t>("vantic_Normalize");
    auto normal = plugin.function<vantic_ComputeNormal_t>("vantic_ComputeNormal");
    auto bestFit = plugin.function<vantic_ComputeBestFitNormal_t>("vantic_ComputeBestFitNormal");
    auto barycentric = plugin.function<vantic_BarycentricCoordinates_t>("vantic_BarycentricCoordinates");
    auto toWorld = plugin.function<vantic_BarycentricToWorld_t>("vantic_BarycentricToWorld");
    auto onPlane = plugin.function<vantic_PointOnPlane_t>("vantic_PointOnPlane");
    auto rayPlane = plugin.function<vantic_RayIntersectPlane_t>("vantic_RayIntersectPlane");
    auto rayTriangle = plugin.function<vantic_RayIntersectTriangle_t>("vantic_RayIntersectTriangle");
    auto rayTriangle2 = plugin.function<vantic_RayIntersectTriangle2_t>("vantic_RayIntersectTriangle2");
    auto pointOnTri = plugin.function<vantic_PointOnTri_t>("vantic_PointOnTri");

    const double vectors[][3] = {{3, 4, 12}, {1e-300, 2e-300, -3e-300}, {1e300, 1e300, 0}, {0, 0, 0},
                                 {-0.0, 5e-324, 0}, {0.1, 0.2, 0.3}};
    for (const auto &v : vectors) {
        double n[3] = {v[0], v[1], v[2]};
        normalize(n);
        r.numbers("normalize", n, 3);
    }
    const double a[3] = {0.1, 0.2, 0.3}, b[3] = {1.7, -0.4, 0.9}, c[3] = {-0.6, 1.3, 0.05};
    double n[3];
    normal(a, b, c, n);
    r.numbers("normal", n, 3);
    const double cloud[] = {0, 0, 0, 1, 0, 0.01, 1, 1, -0.02, 0, 1, 0.015, 0.5, 0.5, 0.3, 0.25, 0.75, -0.1};
    bestFit(cloud, 6, n);
    r.numbers("bestFit", n, 3);

    const double points[][3] = {{0.2, 0.3, 0.1}, {1.7, -0.4, 0.9}, {5, 5, 5}, {0.55, 0.45, 0.475}};
    for (const auto &p : points) {
        double w[3] = {}, world[3] = {}, foot[3] = {}, closest[3] = {};
        const int32_t inside = barycentric(p, a, b, c, n, w);
        toWorld(w, a, b, c, world);
        const double distance = onPlane(p, n, a, foot);
        const double nearest = pointOnTri(p, a, b, c, closest, w);
        r.line("barycentric %" PRId32, inside);
        r.numbers("  weights world", world, 3);
        r.numbers("  foot", foot, 3);
        r.numbers("  closest", closest, 3);
        r.numbers("  distances", std::vector<double>{distance, nearest}.data(), 2);
    }

    const double origins[][3] = {{0.3, 0.3, 5}, {0.3, 0.3, -5}, {1e8, -1e8, 1e8}, {0.1, 0.2, 0.3}};
    const double directions[][3] = {{0, 0, -1}, {0.01, -0.02, 1}, {-1, 1, -1}, {1, 0, 0}};
    for (const auto &o : origins) {
        for (const auto &d : directions) {
            double t = -7, hit[3] = {}, w[3] = {};
            const int32_t plane = rayPlane(o, d, n, a, &t, hit, 0);
            r.numbers(plane ? "plane hit" : "plane miss", std::vector<double>{t, hit[0], hit[1], hit[2]}.data(), 4);
            for (int32_t cull = 0; cull < 2; ++cull) {
                t = -7;
                const int32_t first = rayTriangle(o, d, a, b, c, &t, w, cull);
                r.numbers(first ? "triangle hit" : "triangle miss", std::vector<double>{t, w[0], w[1], w[2]}.data(), 4);
                t = -7;
                const int32_t second = rayTriangle2(o, d, a, b, c, &t, w, cull);
                r.numbers(second ? "triangle2 hit" : "triangle2 miss",
                          std::vector<double>{t, w[0], w[1], w[2]}.data(), 4);
            }
        }
    }
}

void Triangulation(Report &r, vhost::PluginHost &plugin) {
    auto triangulate = plugin.function<vantic_TriangulateTarget_t>("vantic_TriangulateTarget");
    auto freeMesh = plugin.function<vantic_FreeMesh_t>("vantic_FreeMesh");
    // A concave comb, a polygon with collinear and repeated corners, a tube of quads.
    const std::vector<vhost::MeshData> meshes = {
        vhost::MakePolygon({{0, 0, 0}, {4, 0, 0}, {4, 3, 0}, {3, 1, 0}, {2, 3, 0}, {1, 1, 0}, {0, 3, 0}}),
        vhost::MakePolygon({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {2, 2, 0}, {2, 2, 0}, {0, 2, 1e-12}, {0, 1, 0}}),
        vhost::MakeTube(0.5, 2.0, 7, 3)};
    int32_t index = 0;
    for (const vhost::MeshData &m : meshes) {
        const KorrinItem id = vhost::AddMesh(plugin.host, "triangulated" + std::to_string(index++), m);
        TriangleMesh *tm = triangulate(id, 0);
        if (!tm) {
            r.line("triangulation null");
            continue;
        }
        for (int32_t p = 0; p < tm->polygonCount; ++p) {
            std::string corners;
            for (int32_t t = 0; t < tm->polygons[p].triangleCount; ++t)
                for (int32_t k = 0; k < 3; ++k) {
                    // Two appends: GCC 12 at -O3 warns falsely on " " + std::to_string(...).
                    corners += ' ';
                    corners += std::to_string(tm->polygons[p].triangles[t].corners[k]);
                }
            r.line("polygon %" PRId32 ":%s", p, corners.c_str());
        }
        freeMesh(tm);
    }
}

// The host's sphere comes from its C runtime's sin and cos, which differ in the last bits between
// platforms; snapped to multiples of 2^-30 it is the same mesh everywhere, so only the module is compared.
vhost::MeshData SnappedSphere() {
    vhost::MeshData m = vhost::MakeSphere(1.0, 24, 12);
    for (vhost::Vec3 &p : m.points)
        for (double &c : p) c = std::ldexp(std::nearbyint(std::ldexp(c, 30)), -30);
    return m;
}

// The eye and direction of rotated perspective views (the module's own trigonometry). Quarter turns
// (90, -90 degrees) and angles next to whole turns are not in the battery: there the Windows runtime's
// sin and cos differ from glibc's in the last bits, and so do the module's results.
void ViewQueries(Report &r) {
    vhost::PluginHost plugin;
    auto origin = plugin.function<vantic_GetViewOrigin_t>("vantic_GetViewOrigin");
    auto direction = plugin.function<vantic_GetViewDirection_t>("vantic_GetViewDirection");
    const double rotations[][2] = {{20, 15}, {-137.5, 61.25}, {33.3, -48.7}};
    for (const auto &rotation : rotations) {
        plugin.host.scene.views.current = "Perspective";
        plugin.host.scene.views.currentView().rotate = {rotation[0], rotation[1], 0.0};
        plugin.host.scene.views.currentView().dolly = 2.5;
        double o[3] = {}, d[3] = {};
        origin(o);
        direction(d);
        r.numbers("view origin", o, 3);
        r.numbers("view direction", d, 3);
    }
}

void PicksAndWeights(Report &r) {
    for (ViewKind view : {ViewKind::Perspective, ViewKind::Axis, ViewKind::Camera}) {
        BrushScene scene(view);
        const KorrinItem sphere = scene.addTarget("sphere", SnappedSphere());
        const KorrinItem grid = scene.addTarget("grid", vhost::MakeGrid(9, 7, 3.0, 2.0));
        const size_t spherePoints = scene.mesh(sphere).base.size(), gridPoints = scene.mesh(grid).base.size();
        Brush *b = scene.brush;
        b->radius = 60.0;
        b->falloff = 0.35;
        const int32_t pixels[][2] = {{320, 240}, {300, 220}, {351, 263}, {390, 240}, {10, 10}};
        for (const auto &pixel : pixels) {
            for (int32_t weightMode = 0; weightMode < 2; ++weightMode) {
                b->mouseX = pixel[0];
                b->mouseY = pixel[1];
                b->weightMode = weightMode;
                const int32_t hit = scene.rayCast();
                r.line("%s pick (%" PRId32 ", %" PRId32 ") mode %" PRId32 ": hit %" PRId32 " target %" PRIu32
                       " polygon %" PRId32 " point %" PRIu32 " edge %" PRIu32 "-%" PRIu32,
                       brushtest::Name(view), pixel[0], pixel[1], weightMode, hit, b->hitTarget, b->hitPolygon,
                       b->hitPoint, b->hitEdge[0], b->hitEdge[1]);
                r.numbers("  position", b->hitPosition, 3);
                r.numbers("  barycentric", b->hitBarycentric, 3);
                r.numbers("  distance", &b->hitDistance, 1);
                if (!hit) continue;
                scene.calculateWeights();
                r.numbers("  sphere weights", b->weights[0], spherePoints);
                r.numbers("  grid weights", b->weights[1], gridPoints);
            }
        }
        // A stroke through the host: the drawn brush's channels follow the hit (the module's atan2).
        b->weightMode = 0;
        scene.press(330, 230);
        scene.drag(352, 251);
        for (int32_t code : {KORRIN_CHANNEL_TOOL_POSITION, KORRIN_CHANNEL_TOOL_SIZE_U, KORRIN_CHANNEL_TOOL_ROTATION}) {
            const vhost::Channel3 value = scene.host.scene.channels.objects[b->toolObject].values[code];
            r.numbers("  tool channel", value.data(), 3);
        }
        scene.release(352, 251);
    }
}

void RbfSolve(Report &r, const vhost::PluginHost &plugin) {
    auto create = plugin.function<vantic_CreateRbf_t>("vantic_CreateRbf");
    auto setDist = plugin.function<vantic_RbfSetDist_t>("vantic_RbfSetDist");
    auto solve = plugin.function<vantic_RbfSolve_t>("vantic_RbfSolve");
    auto interpolate = plugin.function<vantic_RbfInterpolate_t>("vantic_RbfInterpolate");
    auto remove = plugin.function<vantic_DeleteRbf_t>("vantic_DeleteRbf");
    constexpr int32_t n = 7;
    const double nodes[n][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 0.5}, {0.3, 0.9, 0.1}, {2, -1, 0.7}};
    Rbf *rbf = create(n);
    for (int32_t i = 0; i < n; ++i) {
        for (int32_t j = 0; j < n; ++j) {
            const double dx = nodes[i][0] - nodes[j][0], dy = nodes[i][1] - nodes[j][1], dz = nodes[i][2] - nodes[j][2];
            const double d = std::sqrt(dx * dx + dy * dy + dz * dz);
            setDist(rbf, i, j, std::sqrt(d * d + 0.25) + (i < j ? 1e-3 * i : 0.0));  // multiquadric, not symmetric
        }
    }
    std::fflush(stdout);
    solve(rbf);
    std::fflush(stdout);
    r.numbers("rbf weights", rbf->weights, n);
    for (int32_t i = 0; i < n; ++i) r.numbers("rbf factors", rbf->matrix->rows[i], n);
    const double values[] = {interpolate(rbf, 0, 2.5), interpolate(rbf, 6, -1e-3), interpolate(rbf, n, 1.0)};
    r.numbers("rbf interpolate", values, 3);
    remove(rbf);
}

void VectorLists(Report &r) {
    const std::vector<double> awkward = {
        0.0, -0.0, 0.0,                                   // all zero: "Z"
        -0.0, 1.0, 0.0,                                   // signed zero component
        1e300, -1e300, DBL_MAX,                           // long fixed text
        -DBL_MAX, DBL_MIN, 4.9406564584124654e-324,       // extremes
        kInf, -kInf, std::nan(""),                        // non-finite
        0.0000005, 0.0000015, 0.0000025,                  // six-decimal ties
        2.5e-7, -0.0000005, 1.0000005,                    // ties and below half of the last place
        0.1234565, 999999.9999995, 123456789012.5,        //
        1.0 / 3.0, -2.0 / 3.0, 0x1.fffffffffffffp-1,      //
    };
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("vantic-battery-" + std::to_string(::getpid()) + ".scene");
    {
        vhost::PluginHost saving;
        auto save = saving.function<vantic_SaveVectorList_t>("vantic_SaveVectorList");
        const KorrinHandle stream = vhost::BeginSave(saving.host, path.string());
        save("Awkward", awkward.data(), static_cast<int32_t>(awkward.size() / 3), stream);
        vhost::EndSave(saving.host);
    }
    std::ifstream file(path, std::ios::binary);
    const std::string saved((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    file.close();
    r.line("saved scene:\n%s", saved.c_str());

    vhost::PluginHost loading;
    auto load = loading.function<vantic_LoadVectorList_t>("vantic_LoadVectorList");
    auto release = loading.function<vantic_DeleteVectorList_t>("vantic_DeleteVectorList");
    const KorrinHandle stream = vhost::BeginLoad(loading.host, path.string());
    int32_t count = 0;
    double *v = load("Awkward", &count, stream);
    r.line("loaded %" PRId32 " vectors", count);
    if (v) r.numbers("loaded", v, 3 * static_cast<size_t>(count));
    release(v);
    vhost::EndLoad(loading.host);
    std::filesystem::remove(path);
}

std::string ReadFile(const char *path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

int main(int argc, char **argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: cross_platform_battery OUT [EXPECTED]\n");
        return 2;
    }
    Report report;
    {
        vhost::PluginHost plugin;
        report.line("entry %" PRId32 " api 0x%" PRIx32, plugin.entryResult, static_cast<uint32_t>(plugin.module.api()));
        Geometry(report, plugin);
        Triangulation(report, plugin);
        RbfSolve(report, plugin);
    }
    ViewQueries(report);
    PicksAndWeights(report);
    VectorLists(report);

    std::ofstream out(argv[1], std::ios::binary);
    out << report.text;
    out.close();
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 2;
    }
    if (argc == 3) {
        const std::string expected = ReadFile(argv[2]);
        if (expected != report.text) {
            size_t at = 0, line = 1;
            while (at < expected.size() && at < report.text.size() && expected[at] == report.text[at])
                if (report.text[at++] == '\n') ++line;
            std::fprintf(stderr, "%s differs from %s from line %zu on\n", argv[1], argv[2], line);
            return 1;
        }
        std::printf("%s equals %s (%zu bytes)\n", argv[1], argv[2], expected.size());
    }
    return 0;
}
