// A brush in a simulated host, made and driven the way a client plug-in does it: through the
// registered functions of the loaded module. Shared by the picking, weight and tool tests.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "loading/plugin_host.h"
#include "model/host.h"
#include "model/mesh.h"
#include "model/tools.h"
#include "model/views.h"
#include "vanticAPI.h"

namespace brushtest {

using vhost::Vec3;

// The three kinds of view the brush must work in, each looking along -z at the origin from 10 units.
enum class ViewKind { Perspective, Axis, Camera };

inline const char *Name(ViewKind kind) {
    switch (kind) {
        case ViewKind::Perspective: return "Perspective";
        case ViewKind::Axis: return "Axis";
        case ViewKind::Camera: return "Camera";
    }
    return "?";
}

inline void UseView(vhost::Host &host, ViewKind kind) {
    vhost::ViewStore &views = host.scene.views;
    switch (kind) {
        case ViewKind::Perspective:
            views.current = "Perspective";
            views.currentView().dolly = 10.0;  // eye at (0, 0, 10)
            break;
        case ViewKind::Axis:
            views.current = "Front";  // type -3: eye plane at z = +100000, looking along -z
            views.currentView().dolly = 10.0;
            break;
        case ViewKind::Camera:
            vhost::AddCamera(host, "Camera", {0.0, 0.0, 10.0}, {0.0, 0.0, 0.0});
            views.current = "Camera";
            break;
    }
}

// Screen position (x, y in pixels) of a world point in the current view.
inline Vec3 Project(const vhost::Host &host, const Vec3 &world) {
    Vec3 s{};
    vhost::WorldToScreen(host, world.data(), s.data());
    return s;
}

// The world point the host puts under a pixel.
inline Vec3 Unproject(const vhost::Host &host, double x, double y) {
    const double screen[3] = {x, y, 0.0};
    Vec3 w{};
    vhost::ScreenToWorld(host, screen, w.data());
    return w;
}

inline double Distance(const Vec3 &a, const Vec3 &b) {
    return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) + (a[2] - b[2]) * (a[2] - b[2]));
}

class BrushScene {
public:
    explicit BrushScene(ViewKind view = ViewKind::Perspective) {
        UseView(host, view);
        action = static_cast<KorrinItem>(fn<vantic_CreateBrush_t>("vantic_CreateBrush")(kKey, kDataId));
        brush = fn<vantic_FetchBrush_t>("vantic_FetchBrush")(action, kKey, kDataId);
    }
    ~BrushScene() { fn<vantic_DeleteBrush_t>("vantic_DeleteBrush")(action, kKey, kDataId); }
    BrushScene(const BrushScene &) = delete;
    BrushScene &operator=(const BrushScene &) = delete;

    template <class F>
    F *fn(const char *name) const {
        return plugin.function<F>(name);
    }

    KorrinItem addTarget(const std::string &name, const vhost::MeshData &mesh) {
        const KorrinItem id = vhost::AddMesh(host, name, mesh);
        fn<vantic_BrushAddTarget_t>("vantic_BrushAddTarget")(brush, id);
        return id;
    }

    vhost::Mesh &mesh(KorrinItem id) { return *host.scene.meshes.find(id); }

    // The per-point arrays of the target at index t, as vectors over n points.
    std::vector<double> weights(int32_t t, size_t n) const { return {brush->weights[t], brush->weights[t] + n}; }
    std::vector<int32_t> selection(int32_t t, size_t n) const {
        return {brush->selection[t], brush->selection[t] + n};
    }

    int32_t rayCast() { return fn<vantic_BrushRayCast_t>("vantic_BrushRayCast")(brush); }
    void calculateWeights() { fn<vantic_BrushCalculateWeights_t>("vantic_BrushCalculateWeights")(brush); }

    int32_t press(int32_t x, int32_t y, int32_t button = 0) { return vhost::Press(host, action, x, y, button); }
    int32_t drag(int32_t x, int32_t y, int32_t button = 0) { return vhost::Drag(host, action, x, y, button); }
    int32_t release(int32_t x, int32_t y, int32_t button = 0) { return vhost::Release(host, action, x, y, button); }

    static constexpr const char *kKey = "BrushTestClient";
    static constexpr int32_t kDataId = 7;

    vhost::PluginHost plugin;
    vhost::Host &host = plugin.host;
    KorrinItem action = 0;
    Brush *brush = nullptr;
};

// A client's own array put in place of the module's array of target t, with guard entries past the
// n entries it must have. The module must read and write it and never touch the guards, however far
// the host mesh grew; the module's array comes back on destruction.
template <class T>
class ClientArray {
public:
    ClientArray(T **&outer, int32_t t, size_t n, T guard)
        : outer_(outer), t_(t), module_(outer[t]), n_(n), guard_(guard), data_(n + 16, guard) {
        std::copy(module_, module_ + n, data_.begin());
        outer_[t_] = data_.data();
    }
    ~ClientArray() { outer_[t_] = module_; }
    ClientArray(const ClientArray &) = delete;
    ClientArray &operator=(const ClientArray &) = delete;

    bool guardsKept() const {
        return std::all_of(data_.begin() + static_cast<std::ptrdiff_t>(n_), data_.end(),
                           [&](T v) { return v == guard_; });
    }

private:
    T **&outer_;
    int32_t t_;
    T *module_;
    size_t n_;
    T guard_;
    std::vector<T> data_;
};

}  // namespace brushtest
