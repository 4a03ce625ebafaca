// The public test host: a thin C face over the simulated host, so client authors' tests never see
// the host's internal headers, which stay free to change.
#include <vantic/testhost.h>  // the public face, included as its clients include it

#include <array>
#include <deque>
#include <stdexcept>
#include <string>
#include <type_traits>

#include "loading/module_loader.h"
#include "model/host.h"
#include "model/mesh.h"
#include "model/tools.h"
#include "model/views.h"

struct VanticTestHost {
    explicit VanticTestHost(const char *modulePath) : module(false, modulePath), entryResult(module.entry(host)) {}

    vhost::Host host;  // first in, last out: the module is unloaded before its host goes
    vhost::LoadedModule module;
    int32_t entryResult;
    std::deque<vhost::Message> messageCopies;  // stable texts: the log's own vector may move them
};

namespace {

constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;

std::string &LastError() {
    static std::string text;
    return text;
}

std::string Text(const char *s) { return s ? s : ""; }

// Adds a mesh made by make(); answers 0 with the reason kept when the host refuses it.
template <class Make>
uint32_t AddMade(VanticTestHost *host, const char *name, Make make) {
    try {
        return vhost::AddMesh(host->host, Text(name), make());
    } catch (const std::exception &e) {
        LastError() = e.what();
        return 0;
    }
}

const vhost::Mesh *FindMesh(const VanticTestHost *host, uint32_t mesh) {
    return const_cast<VanticTestHost *>(host)->host.scene.meshes.find(mesh);
}

vhost::Viewport &View(VanticTestHost *host) { return host->host.scene.views.currentView(); }

}  // namespace

extern "C" {

VanticTestHost *vtesthost_Create(const char *modulePath) {
    if (!modulePath) {
        LastError() = "no module path given";
        return nullptr;
    }
    try {
        return new VanticTestHost(modulePath);
    } catch (const std::exception &e) {
        LastError() = e.what();
        return nullptr;
    }
}

int32_t vtesthost_EntryResult(const VanticTestHost *host) { return host->entryResult; }

void vtesthost_Destroy(VanticTestHost *host) { delete host; }

const char *vtesthost_LastError(void) { return LastError().c_str(); }

VanticTestFunction vtesthost_Function(const VanticTestHost *host, const char *name) {
    if (!name) return nullptr;
    return host->host.function<std::remove_pointer_t<VanticTestFunction>>(name);
}

int32_t vtesthost_FunctionCount(const VanticTestHost *host) {
    return static_cast<int32_t>(host->host.registry.functions.size());
}

uint32_t vtesthost_AddObj(VanticTestHost *host, const char *name, const char *path) {
    return AddMade(host, name, [&] { return vhost::LoadObj(Text(path)); });
}

uint32_t vtesthost_AddGrid(VanticTestHost *host, const char *name, int32_t columns, int32_t rows, double width,
                           double height) {
    return AddMade(host, name, [&] { return vhost::MakeGrid(columns, rows, width, height); });
}

uint32_t vtesthost_AddCube(VanticTestHost *host, const char *name, double size) {
    return AddMade(host, name, [&] { return vhost::MakeCube(size); });
}

uint32_t vtesthost_AddSphere(VanticTestHost *host, const char *name, double radius, int32_t segments,
                             int32_t rings) {
    return AddMade(host, name, [&] { return vhost::MakeSphere(radius, segments, rings); });
}

uint32_t vtesthost_AddTube(VanticTestHost *host, const char *name, double radius, double height,
                           int32_t segments, int32_t rings) {
    return AddMade(host, name, [&] { return vhost::MakeTube(radius, height, segments, rings); });
}

uint32_t vtesthost_AddMesh(VanticTestHost *host, const char *name, const double *points, int32_t pointCount,
                           const int32_t *cornerCounts, int32_t polygonCount, const int32_t *corners) {
    return AddMade(host, name, [&] {
        if (pointCount < 0 || polygonCount < 0) throw std::invalid_argument("mesh " + Text(name) + ": negative count");
        if ((pointCount && !points) || (polygonCount && (!cornerCounts || !corners)))
            throw std::invalid_argument("mesh " + Text(name) + ": null array");
        vhost::MeshData data;
        for (int32_t i = 0; i < pointCount; ++i) data.points.push_back({points[3 * i], points[3 * i + 1], points[3 * i + 2]});
        const int32_t *corner = corners;
        for (int32_t p = 0; p < polygonCount; ++p) {
            if (cornerCounts[p] < 0)
                throw std::invalid_argument("mesh " + Text(name) + ": polygon " + std::to_string(p) + " has a negative corner count");
            data.polygons.emplace_back(corner, corner + cornerCounts[p]);
            corner += cornerCounts[p];
        }
        return data;
    });
}

int32_t vtesthost_PointCount(const VanticTestHost *host, uint32_t mesh) {
    const vhost::Mesh *m = FindMesh(host, mesh);
    return m ? static_cast<int32_t>(m->base.size()) : -1;
}

int32_t vtesthost_PointPosition(const VanticTestHost *host, uint32_t mesh, int32_t point, double *position) {
    const vhost::Mesh *m = FindMesh(host, mesh);
    if (!m || point < 0 || static_cast<size_t>(point) >= m->current.size() || !position) return 0;
    for (int i = 0; i < 3; ++i) position[i] = m->current[static_cast<size_t>(point)][i];
    return 1;
}

void vtesthost_UseView(VanticTestHost *host, const char *name) {
    vhost::ViewStore &views = host->host.scene.views;
    const std::string wanted = Text(name);
    if (!views.find(wanted)) {
        vhost::Viewport copy = views.currentView();
        copy.name = wanted;
        views.viewports.push_back(copy);
    }
    views.current = wanted;
}

void vtesthost_SetViewType(VanticTestHost *host, int32_t type) { View(host).type = type; }

void vtesthost_MoveView(VanticTestHost *host, double x, double y, double z) { View(host).move = {x, y, z}; }

void vtesthost_RotateView(VanticTestHost *host, double heading, double pitch, double bank) {
    View(host).rotate = {heading, pitch, bank};
}

void vtesthost_DollyView(VanticTestHost *host, double dolly) { View(host).dolly = dolly; }

void vtesthost_SetGridSize(VanticTestHost *host, double gridSize) { View(host).gridSize = gridSize; }

void vtesthost_SetPixelSize(VanticTestHost *host, int32_t width, int32_t height) {
    if (width < 1 || height < 1) return;
    View(host).width = width;
    View(host).height = height;
}

uint32_t vtesthost_AddCamera(VanticTestHost *host, const char *name, const double *position,
                             const double *headingPitchBank) {
    if (!name || !position || !headingPitchBank) {
        LastError() = "a camera needs a name, a position and a rotation";
        return 0;
    }
    const std::array<double, 3> turn{headingPitchBank[0] * kRadiansPerDegree, headingPitchBank[1] * kRadiansPerDegree,
                                     headingPitchBank[2] * kRadiansPerDegree};
    const KorrinItem camera = vhost::AddCamera(host->host, name, {position[0], position[1], position[2]}, turn);
    host->host.scene.views.activeCamera = camera;
    return camera;
}

void vtesthost_WorldToScreen(const VanticTestHost *host, const double *world, double *screen) {
    vhost::WorldToScreen(host->host, world, screen);
}

int32_t vtesthost_Press(VanticTestHost *host, uint32_t action, int32_t x, int32_t y, int32_t button) {
    return vhost::Press(host->host, action, x, y, button);
}

int32_t vtesthost_Drag(VanticTestHost *host, uint32_t action, int32_t x, int32_t y, int32_t button) {
    return vhost::Drag(host->host, action, x, y, button);
}

int32_t vtesthost_Release(VanticTestHost *host, uint32_t action, int32_t x, int32_t y, int32_t button) {
    return vhost::Release(host->host, action, x, y, button);
}

int32_t vtesthost_MessageCount(const VanticTestHost *host) {
    return static_cast<int32_t>(host->host.messages.entries.size());
}

int32_t vtesthost_Message(const VanticTestHost *host, int32_t index, VanticTestMessage *message) {
    const auto &entries = host->host.messages.entries;
    if (index < 0 || static_cast<size_t>(index) >= entries.size() || !message) return 0;
    auto &copies = const_cast<VanticTestHost *>(host)->messageCopies;
    while (copies.size() <= static_cast<size_t>(index)) copies.push_back(entries[copies.size()]);
    const vhost::Message &m = copies[static_cast<size_t>(index)];
    *message = VanticTestMessage{m.item, m.code, m.source.c_str(), m.text.c_str(), m.kind.c_str()};
    return 1;
}

int32_t vtesthost_PointSelected(const VanticTestHost *host, uint32_t mesh, int32_t point) {
    const vhost::Mesh *m = FindMesh(host, mesh);
    if (!m || point < 0 || static_cast<size_t>(point) >= m->selected.size()) return -1;
    return m->selected[static_cast<size_t>(point)] != 0;
}

void *vtesthost_AttachedData(const VanticTestHost *host, uint32_t item, const char *key, uint32_t dataId) {
    return key ? host->host.data.get(item, key, dataId) : nullptr;
}

}  // extern "C"
