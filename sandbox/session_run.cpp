#include "session_run.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "model/mesh.h"
#include "model/scene_file.h"
#include "model/tools.h"
#include "model/views.h"

namespace sandbox {

namespace {

constexpr const char *kBrushKey = "SandboxBrush";
constexpr int32_t kBrushDataId = 1;
constexpr double kDegrees = 3.14159265358979323846 / 180.0;

std::string Vec(const double *v) {
    char text[96];
    std::snprintf(text, sizeof text, "(%.4f, %.4f, %.4f)", v[0], v[1], v[2]);
    return text;
}

int32_t PointCount(const vhost::Host &host, KorrinItem mesh) {
    auto &meshes = const_cast<vhost::Host &>(host).scene.meshes;
    const vhost::Mesh *m = meshes.find(mesh);
    return m ? static_cast<int32_t>(m->base.size()) : 0;
}

vhost::MeshData MakeTarget(const TargetSettings &t) {
    vhost::MeshData data;
    try {
        if (!t.obj.empty())
            data = vhost::LoadObj(t.obj);
        else if (t.generator == "grid")
            data = vhost::MakeGrid(t.columns, t.rows, t.width, t.height);
        else if (t.generator == "cube")
            data = vhost::MakeCube(t.size);
        else if (t.generator == "sphere")
            data = vhost::MakeSphere(t.radius, t.segments, t.rings);
        else
            data = vhost::MakeTube(t.radius, t.height, t.segments, t.rings);
    } catch (const std::exception &e) {
        throw SessionError(e.what());  // the loader names the file and the line
    }
    for (auto &p : data.points)
        for (int i = 0; i < 3; ++i) p[i] += t.offset[i];
    return data;
}

}  // namespace

SessionRun::SessionRun(const Session &s) : session(s) {
    if (loaded.entryResult != 0)
        throw SessionError("the module refused to load (korrinEntry " + std::to_string(loaded.entryResult) + ")");
    buildView();
    buildTargets();
    createBrush();
}

SessionRun::~SessionRun() {
    if (action) loaded.function<vantic_DeleteBrush_t>("vantic_DeleteBrush")(action, kBrushKey, kBrushDataId);
}

void SessionRun::buildView() {
    const ViewSettings &v = session.view;
    vhost::ViewStore &views = loaded.host.scene.views;
    vhost::Viewport *view = views.find(v.name);
    if (!view) {
        views.viewports.push_back(views.currentView());
        view = &views.viewports.back();
        view->name = v.name;
    }
    if (v.type) view->type = *v.type;
    view->move = v.move;
    view->rotate = v.rotate;
    view->dolly = v.dolly;
    view->gridSize = v.gridSize;
    view->width = v.pixelSize[0];
    view->height = v.pixelSize[1];
    views.current = v.name;
    if (view->type == 0) {
        const std::array<double, 3> turn{v.cameraRotation[0] * kDegrees, v.cameraRotation[1] * kDegrees,
                                         v.cameraRotation[2] * kDegrees};
        views.activeCamera = vhost::AddCamera(loaded.host, "Camera", v.cameraPosition, turn);
    }
}

void SessionRun::buildTargets() {
    for (const TargetSettings &t : session.targets)
        targets.push_back({t.name, vhost::AddMesh(loaded.host, t.name, MakeTarget(t))});
}

void SessionRun::createBrush() {
    action = loaded.function<vantic_CreateBrush_t>("vantic_CreateBrush")(kBrushKey, kBrushDataId);
    brush = loaded.function<vantic_FetchBrush_t>("vantic_FetchBrush")(action, kBrushKey, kBrushDataId);
    if (!brush) throw SessionError("the module could not make a brush");
    const BrushSettings &b = session.brush;
    brush->mode = b.mode;
    brush->pickMode = b.pickMode;
    brush->weightMode = b.weightMode;
    brush->radius = b.radius;
    brush->falloff = b.falloff;
    brush->undoLevels = b.undoLevels;
    brush->undoStore = &SessionRun::StoreSnapshot;
    brush->undoRestore = &SessionRun::RestoreSnapshot;
    brush->undoUserData = reinterpret_cast<uint64_t>(this);
    snapshots_.resize(static_cast<size_t>(b.undoLevels));
    auto *add = loaded.function<vantic_BrushAddTarget_t>("vantic_BrushAddTarget");
    for (const TargetMesh &t : targets) add(brush, t.id);
}

void SessionRun::StoreSnapshot(Brush *brush, uint64_t userData, int32_t slot) {
    auto *run = reinterpret_cast<SessionRun *>(userData);
    if (slot < 0 || static_cast<size_t>(slot) >= run->snapshots_.size()) return;
    Snapshot &s = run->snapshots_[static_cast<size_t>(slot)];
    s.weights.clear();
    s.selection.clear();
    for (int32_t t = 0; t < brush->targetCount; ++t) {
        const int32_t n = PointCount(run->loaded.host, brush->targetIds[t]);
        s.weights.emplace_back(brush->weights[t], brush->weights[t] + n);
        s.selection.emplace_back(brush->selection[t], brush->selection[t] + n);
    }
}

void SessionRun::RestoreSnapshot(Brush *brush, uint64_t userData, int32_t slot) {
    auto *run = reinterpret_cast<SessionRun *>(userData);
    if (slot < 0 || static_cast<size_t>(slot) >= run->snapshots_.size()) return;
    const Snapshot &s = run->snapshots_[static_cast<size_t>(slot)];
    for (int32_t t = 0; t < brush->targetCount && static_cast<size_t>(t) < s.weights.size(); ++t) {
        std::copy(s.weights[t].begin(), s.weights[t].end(), brush->weights[t]);
        std::copy(s.selection[t].begin(), s.selection[t].end(), brush->selection[t]);
    }
}

// The host's own undo sets the brush's key back to where it was before the last stroke; the brush
// notices and asks the client to restore that slot.
void SessionRun::undo() {
    auto &keys = loaded.host.scene.channels.objects[brush->toolObject].keys;
    const double before = keyHistory_.empty() ? 0.0 : keyHistory_.back();
    if (!keyHistory_.empty()) keyHistory_.pop_back();
    keys[{0, 15}] = {keyHistory_.empty() ? before - 1.0 : keyHistory_.back(), 0.0, 0.0};
    loaded.function<vantic_BrushCheckUndo_t>("vantic_BrushCheckUndo")(brush);
}

void SessionRun::replay(const std::string &outFolder,
                        const std::function<void(size_t, const std::string &)> &report) {
    for (size_t i = 0; i < session.events.size(); ++i) {
        const SessionEvent &e = session.events[i];
        std::string what;
        switch (e.kind) {
        case EventKind::Press:
            vhost::Press(loaded.host, action, e.x, e.y, e.button);
            keyHistory_.push_back(static_cast<double>(brush->undoIndex));
            what = "press";
            break;
        case EventKind::Drag:
            vhost::Drag(loaded.host, action, e.x, e.y, e.button);
            what = "drag";
            break;
        case EventKind::Release:
            vhost::Release(loaded.host, action, e.x, e.y, e.button);
            what = "release";
            break;
        case EventKind::Undo:
            undo();
            report(i, "undo: brush slot " + std::to_string(brush->undoIndex) + "; " + summary());
            continue;
        case EventKind::Save: {
            const std::string path = (std::filesystem::path(outFolder) / e.file).string();
            vhost::SaveScene(loaded.host, path);
            report(i, "save: " + path);
            continue;
        }
        }
        char head[64];
        std::snprintf(head, sizeof head, "%s (%d, %d) button %d: ", what.c_str(), e.x, e.y, e.button);
        report(i, head + summary());
    }
}

std::string SessionRun::summary() const {
    std::ostringstream out;
    const Brush &b = *brush;
    std::string hitName = "nothing";
    for (const TargetMesh &t : targets)
        if (t.id == b.hitTarget) hitName = t.name;
    if (b.hitTarget)
        out << "hit " << hitName << " polygon " << b.hitPolygon << " point " << b.hitPoint << " edge ("
            << b.hitEdge[0] << ", " << b.hitEdge[1] << ") at " << Vec(b.hitPosition);
    else
        out << "hit nothing";
    out << "; anchor " << Vec(b.anchor) << " delta " << Vec(b.delta);
    size_t weighted = 0;
    double low = 0.0, high = 0.0;
    for (int32_t t = 0; t < b.targetCount; ++t) {
        const int32_t n = PointCount(loaded.host, b.targetIds[t]);
        for (int32_t p = 0; p < n; ++p) {
            const double w = b.weights[t][p];
            if (w <= 0.0) continue;
            low = weighted ? std::min(low, w) : w;
            high = weighted ? std::max(high, w) : w;
            ++weighted;
        }
    }
    char stats[96];
    std::snprintf(stats, sizeof stats, "; weights > 0: %zu (min %.4f, max %.4f)", weighted, low, high);
    out << stats << "; selected:";
    for (int32_t t = 0; t < b.targetCount; ++t) {
        const int32_t n = PointCount(loaded.host, b.targetIds[t]);
        out << " " << targets[static_cast<size_t>(t)].name << " "
            << std::count_if(b.selection[t], b.selection[t] + n, [](int32_t s) { return s != 0; });
    }
    return out.str();
}

}  // namespace sandbox
