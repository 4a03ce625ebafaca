// Every registered function called by a careless client: each pointer argument null in turn and in
// every combination. Nothing may crash, each returns its failure value, and no output is written.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "loading/plugin_host.h"
#include "model/host.h"
#include "model/mesh.h"
#include "vanticAPI.h"

namespace {

constexpr double kUnwritten = 7.25;
constexpr int32_t kUnwrittenInt = 77;

// Output buffers filled with a value no function writes; untouched() tells whether they still hold it.
struct Outputs {
    std::array<double, 16> d;
    std::array<int32_t, 8> i;
    Outputs() { reset(); }
    void reset() {
        d.fill(kUnwritten);
        i.fill(kUnwrittenInt);
    }
    bool untouched() const {
        return std::all_of(d.begin(), d.end(), [](double v) { return v == kUnwritten; }) &&
               std::all_of(i.begin(), i.end(), [](int32_t v) { return v == kUnwrittenInt; });
    }
};

// Which pointer positions a call passes as null: bit k set nulls pointer k.
struct Nulls {
    unsigned mask;
    template <class T>
    T *operator()(int k, T *p) const {
        return mask & (1u << k) ? nullptr : p;
    }
};

// One registered function: how many pointer arguments it takes, and a call with some of them null
// that reports whether the result was the failure value with nothing written.
struct Row {
    const char *name;
    int pointers;
    std::function<bool(Nulls, Outputs &)> call;
};

class NullArguments : public ::testing::Test {
protected:
    vhost::PluginHost loaded;
    vhost::Host &host = loaded.host;
    const KorrinItem grid = vhost::AddMesh(host, "grid", vhost::MakeGrid(1, 1, 1.0, 1.0));
    const KorrinItem effect = vhost::AddEffect(host, "effect", {grid});

    template <class F>
    F *fn(const char *name) const {
        return loaded.function<F>(name);
    }
};

#define FN(name) fn<name##_t>(#name)

TEST_F(NullArguments, EveryRegisteredFunctionRefusesNullPointers) {
    static constexpr const char *kKey = "NullClient";
    const KorrinItem action = static_cast<KorrinItem>(FN(vantic_CreateBrush)(kKey, 1));
    Brush *brush = FN(vantic_FetchBrush)(action, kKey, 1);
    ASSERT_NE(brush, nullptr);
    FN(vantic_BrushAddTarget)(brush, grid);
    brush->selection[0][1] = 1;
    const std::vector<int32_t> flags(brush->selection[0], brush->selection[0] + 4);
    auto flagsKept = [&] { return std::equal(flags.begin(), flags.end(), brush->selection[0]); };
    TargetList *list = FN(vantic_CreateTargetList)(effect, 2, 1, nullptr, nullptr, nullptr, 8, nullptr);
    TangentSpace *space = FN(vantic_CreateTangentSpace)(grid, 3);
    Rbf *rbf = FN(vantic_CreateRbf)(2);
    ASSERT_TRUE(list && space && rbf);

    // Inputs: a triangle in the xy-plane and a ray that hits it from the front.
    const double a[3] = {0, 0, 0}, b[3] = {1, 0, 0}, c[3] = {0, 1, 0}, n[3] = {0, 0, 1};
    const double o[3] = {0.2, 0.2, 5}, d[3] = {0, 0, -1}, p[3] = {0.2, 0.2, 1}, w[3] = {0.2, 0.3, 0.5};
    const double points[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    const int32_t edge[2] = {0, 1}, values[4] = {1, 1, 1, 1};

    const std::vector<Row> rows = {
        {"vantic_Normalize", 1, [&](Nulls z, Outputs &out) { return FN(vantic_Normalize)(z(0, out.d.data())), true; }},
        {"vantic_GetViewOrigin", 1,
         [&](Nulls z, Outputs &out) { return FN(vantic_GetViewOrigin)(z(0, out.d.data())), out.untouched(); }},
        {"vantic_GetViewDirection", 1,
         [&](Nulls z, Outputs &out) { return FN(vantic_GetViewDirection)(z(0, out.d.data())), out.untouched(); }},
        {"vantic_ComputeNormal", 4,
         [&](Nulls z, Outputs &out) {
             return FN(vantic_ComputeNormal)(z(0, a), z(1, b), z(2, c), z(3, out.d.data())), out.untouched();
         }},
        {"vantic_BarycentricCoordinates", 6,
         [&](Nulls z, Outputs &out) {
             return FN(vantic_BarycentricCoordinates)(z(0, p), z(1, a), z(2, b), z(3, c), z(4, n),
                                                      z(5, out.d.data())) == -1 &&
                    out.untouched();
         }},
        {"vantic_BarycentricToWorld", 5,
         [&](Nulls z, Outputs &out) {
             return !FN(vantic_BarycentricToWorld)(z(0, w), z(1, a), z(2, b), z(3, c), z(4, out.d.data())) &&
                    out.untouched();
         }},
        {"vantic_PointOnPlane", 4,
         [&](Nulls z, Outputs &out) {
             return FN(vantic_PointOnPlane)(z(0, p), z(1, n), z(2, a), z(3, out.d.data())) == 0.0 && out.untouched();
         }},
        {"vantic_RayIntersectPlane", 6,
         [&](Nulls z, Outputs &out) {
             return FN(vantic_RayIntersectPlane)(z(0, o), z(1, d), z(2, n), z(3, a), z(4, &out.d[0]), z(5, &out.d[4]),
                                                 0) == 0 &&
                    out.untouched();
         }},
        {"vantic_RayIntersectTriangle", 7,
         [&](Nulls z, Outputs &out) {
             return FN(vantic_RayIntersectTriangle)(z(0, o), z(1, d), z(2, a), z(3, b), z(4, c), z(5, &out.d[0]),
                                                    z(6, &out.d[4]), 0) == 0 &&
                    out.untouched();
         }},
        {"vantic_RayIntersectTriangle2", 7,
         [&](Nulls z, Outputs &out) {
             return FN(vantic_RayIntersectTriangle2)(z(0, o), z(1, d), z(2, a), z(3, b), z(4, c), z(5, &out.d[0]),
                                                     z(6, &out.d[4]), 0) == 0 &&
                    out.untouched();
         }},
        {"vantic_RayIntersectPolygon", 5,
         [&](Nulls z, Outputs &out) {
             return FN(vantic_RayIntersectPolygon)(z(0, o), z(1, d), grid, 0, z(2, &out.d[0]), z(3, out.i.data()),
                                                   z(4, &out.d[4]), 0) == 0 &&
                    out.untouched();
         }},
        {"vantic_RayIntersectTarget", 6,
         [&](Nulls z, Outputs &out) {
             return FN(vantic_RayIntersectTarget)(z(0, o), z(1, d), grid, z(2, &out.d[0]), z(3, &out.i[0]),
                                                  z(4, &out.i[4]), z(5, &out.d[4]), 0) == 0 &&
                    out.untouched();
         }},
        {"vantic_ComputeBestFitNormal", 2,
         [&](Nulls z, Outputs &out) {
             return FN(vantic_ComputeBestFitNormal)(z(0, points), 3, z(1, out.d.data())), out.untouched();
         }},
        {"vantic_GetNeighbourPoints", 1,
         [&](Nulls z, Outputs &out) { return !FN(vantic_GetNeighbourPoints)(grid, 0, z(0, out.i.data())); }},
        {"vantic_EffectTargetCount", 0, nullptr},
        {"vantic_PointOnTri", 6,
         [&](Nulls z, Outputs &out) {
             return FN(vantic_PointOnTri)(z(0, p), z(1, a), z(2, b), z(3, c), z(4, &out.d[0]), z(5, &out.d[4])) ==
                        0.0 &&
                    out.untouched();
         }},
        {"vantic_TriangulatePolyId", 1,
         [&](Nulls z, Outputs &out) { return !FN(vantic_TriangulatePolyId)(grid, 0, z(0, out.i.data()), 0); }},
        {"vantic_TriangulateTarget", 0, nullptr},
        {"vantic_FreeTriangle", 1, [&](Nulls, Outputs &) { return FN(vantic_FreeTriangle)(nullptr), true; }},
        {"vantic_FreeMesh", 1, [&](Nulls, Outputs &) { return FN(vantic_FreeMesh)(nullptr), true; }},

        {"vantic_CreateTangentSpace", 0, nullptr},
        {"vantic_FetchTangentSpace", 0, nullptr},
        // A null record means "the attached one": with none attached under this id nothing happens.
        {"vantic_DeleteTangentSpace", 1,
         [&](Nulls, Outputs &) { return FN(vantic_DeleteTangentSpace)(grid, 99, nullptr), true; }},
        {"vantic_TangentSpaceCalculate", 1,
         [&](Nulls, Outputs &) { return FN(vantic_TangentSpaceCalculate)(nullptr), true; }},
        {"vantic_TangentGetMatrix", 2,
         [&](Nulls z, Outputs &out) {
             return FN(vantic_TangentGetMatrix)(z(0, space), 0, z(1, out.d.data())), out.untouched();
         }},

        {"vantic_CreateBrush", 1, [&](Nulls, Outputs &) { return FN(vantic_CreateBrush)(nullptr, 1) == 0; }},
        {"vantic_FetchBrush", 1, [&](Nulls, Outputs &) { return !FN(vantic_FetchBrush)(action, nullptr, 1); }},
        {"vantic_DeleteBrush", 1,
         [&](Nulls, Outputs &) {
             return FN(vantic_DeleteBrush)(action, nullptr, 1) == 0 && FN(vantic_FetchBrush)(action, kKey, 1);
         }},
        {"vantic_BrushAddTarget", 1, [&](Nulls, Outputs &) { return FN(vantic_BrushAddTarget)(nullptr, grid), true; }},
        {"vantic_BrushRemoveTarget", 1,
         [&](Nulls, Outputs &) { return FN(vantic_BrushRemoveTarget)(nullptr, grid), true; }},
        {"vantic_BrushFindTargetOrder", 1,
         [&](Nulls, Outputs &) { return FN(vantic_BrushFindTargetOrder)(nullptr, grid) == -1; }},
        {"vantic_BrushSelectVertex", 1,
         [&](Nulls, Outputs &) { return FN(vantic_BrushSelectVertex)(nullptr, grid, 0), true; }},
        {"vantic_BrushDeselectVertex", 1,
         [&](Nulls, Outputs &) { return FN(vantic_BrushDeselectVertex)(nullptr, grid, 0), true; }},
        {"vantic_BrushSelectEdge", 2,
         [&](Nulls z, Outputs &) { return FN(vantic_BrushSelectEdge)(z(0, brush), grid, z(1, edge)), flagsKept(); }},
        {"vantic_BrushDeselectEdge", 2,
         [&](Nulls z, Outputs &) { return FN(vantic_BrushDeselectEdge)(z(0, brush), grid, z(1, edge)), flagsKept(); }},
        {"vantic_BrushSelectPolygon", 1,
         [&](Nulls, Outputs &) { return FN(vantic_BrushSelectPolygon)(nullptr, grid, 0), true; }},
        {"vantic_BrushDeselectPolygon", 1,
         [&](Nulls, Outputs &) { return FN(vantic_BrushDeselectPolygon)(nullptr, grid, 0), true; }},
        {"vantic_BrushSelectTarget", 1,
         [&](Nulls, Outputs &) { return FN(vantic_BrushSelectTarget)(nullptr, grid), true; }},
        {"vantic_BrushDeselectTarget", 1,
         [&](Nulls, Outputs &) { return FN(vantic_BrushDeselectTarget)(nullptr, grid), true; }},
        {"vantic_BrushSelectAll", 1, [&](Nulls, Outputs &) { return FN(vantic_BrushSelectAll)(nullptr), true; }},
        {"vantic_BrushDeselectAll", 1, [&](Nulls, Outputs &) { return FN(vantic_BrushDeselectAll)(nullptr), true; }},
        {"vantic_BrushInverSelection", 1,
         [&](Nulls, Outputs &) { return FN(vantic_BrushInverSelection)(nullptr), true; }},
        {"vantic_BrushSetSelection", 2,
         [&](Nulls z, Outputs &) {
             return FN(vantic_BrushSetSelection)(z(0, brush), grid, z(1, values)), flagsKept();
         }},
        {"vantic_BrushGetSelection", 1, [&](Nulls, Outputs &) { return !FN(vantic_BrushGetSelection)(nullptr, grid); }},
        {"vantic_BrushUpdateSelection", 1,
         [&](Nulls, Outputs &) { return FN(vantic_BrushUpdateSelection)(nullptr), true; }},
        {"vantic_BrushRayCast", 1, [&](Nulls, Outputs &) { return FN(vantic_BrushRayCast)(nullptr) == 0; }},
        {"vantic_BrushDragBoxSelection", 1,
         [&](Nulls, Outputs &) { return FN(vantic_BrushDragBoxSelection)(nullptr), true; }},
        {"vantic_BrushCalculateWeights", 1,
         [&](Nulls, Outputs &) { return FN(vantic_BrushCalculateWeights)(nullptr), true; }},
        {"vantic_BrushCheckUndo", 1, [&](Nulls, Outputs &) { return FN(vantic_BrushCheckUndo)(nullptr), true; }},

        // Null callbacks and user data are allowed: the list then only keeps the ids.
        {"vantic_CreateTargetList", 0, nullptr},
        {"vantic_DeleteTargetList", 1, [&](Nulls, Outputs &) { return FN(vantic_DeleteTargetList)(nullptr) == 0; }},
        {"vantic_FetchTargetList", 0, nullptr},
        {"vantic_TargetListAddTarget", 1,
         [&](Nulls, Outputs &) { return FN(vantic_TargetListAddTarget)(nullptr, grid) == 0; }},
        {"vantic_TargetListRemoveTarget", 1,
         [&](Nulls, Outputs &) { return FN(vantic_TargetListRemoveTarget)(nullptr, grid) == 0; }},
        {"vantic_TargetListReplaceTarget", 1,
         [&](Nulls, Outputs &) { return FN(vantic_TargetListReplaceTarget)(nullptr, grid, grid) == 0; }},
        {"vantic_TargetListSwitchTargetOrder", 1,
         [&](Nulls, Outputs &) { return FN(vantic_TargetListSwitchTargetOrder)(nullptr, grid, grid) == 0; }},
        {"vantic_FindTargetOrder", 1,
         [&](Nulls, Outputs &) { return FN(vantic_FindTargetOrder)(nullptr, grid) == -1; }},
        {"vantic_TargetListEffectUpdate", 1,
         [&](Nulls, Outputs &) { return FN(vantic_TargetListEffectUpdate)(nullptr) == 0; }},

        {"vantic_SaveVectorList", 2,
         [&](Nulls z, Outputs &) { return FN(vantic_SaveVectorList)(z(0, "list"), z(1, points), 3, 0), true; }},
        // Without a count there is no way to use the array: nothing is loaded.
        {"vantic_LoadVectorList", 2,
         [&](Nulls z, Outputs &out) {
             int32_t *count = z(1, &out.i[0]);
             return !FN(vantic_LoadVectorList)(z(0, "list"), count, 0) && (!count || *count == 0);
         }},
        {"vantic_DeleteVectorList", 1, [&](Nulls, Outputs &) { return FN(vantic_DeleteVectorList)(nullptr), true; }},

        {"vantic_CreateRbf", 0, nullptr},
        {"vantic_DeleteRbf", 1, [&](Nulls, Outputs &) { return FN(vantic_DeleteRbf)(nullptr), true; }},
        {"vantic_RbfSetDist", 1, [&](Nulls, Outputs &) { return FN(vantic_RbfSetDist)(nullptr, 0, 0, 2.0), true; }},
        {"vantic_RbfSolve", 1, [&](Nulls, Outputs &) { return FN(vantic_RbfSolve)(nullptr), true; }},
        {"vantic_RbfInterpolate", 1,
         [&](Nulls, Outputs &) { return FN(vantic_RbfInterpolate)(nullptr, 0, 1.0) == 0.0; }},
    };

    // The table covers every registered function, and nothing else.
    std::set<std::string> registered, listed;
    for (const vhost::RegisteredFunction &f : host.registry.functions) registered.insert(f.name);
    for (const Row &row : rows) listed.insert(row.name);
    EXPECT_EQ(listed, registered);
    EXPECT_EQ(rows.size(), 66u);

    for (const Row &row : rows) {
        if (!row.call) continue;  // no pointer arguments
        for (unsigned mask = 1; mask < (1u << row.pointers); ++mask) {
            Outputs out;
            EXPECT_TRUE(row.call(Nulls{mask}, out)) << row.name << " with null mask " << mask;
        }
    }

    FN(vantic_DeleteRbf)(rbf);
    FN(vantic_DeleteTangentSpace)(grid, 3, space);
    FN(vantic_DeleteTargetList)(list);
    EXPECT_EQ(FN(vantic_DeleteBrush)(action, kKey, 1), 1);
}

}  // namespace
