// Runs a session as a client plug-in would: the module loaded into a simulated host, a brush made
// through the registry, the events sent through the host's mouse driver.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "loading/plugin_host.h"
#include "session.h"
#include "vanticAPI.h"

namespace sandbox {

struct TargetMesh {
    std::string name;
    KorrinItem id = 0;
};

class SessionRun {
public:
    // Builds the scene and the brush; throws SessionError for a mesh that cannot be made.
    explicit SessionRun(const Session &session);
    ~SessionRun();
    SessionRun(const SessionRun &) = delete;
    SessionRun &operator=(const SessionRun &) = delete;

    // Replays every event; after each, report(event index, its one-line summary).
    void replay(const std::string &outFolder, const std::function<void(size_t, const std::string &)> &report);

    // The one-line summary of the brush as it stands.
    std::string summary() const;

    vhost::PluginHost loaded;
    const Session &session;
    std::vector<TargetMesh> targets;
    KorrinItem action = 0;
    Brush *brush = nullptr;

private:
    void buildView();
    void buildTargets();
    void createBrush();
    void undo();

    // The client's undo snapshots: per slot, per target, the weights and the selection.
    struct Snapshot {
        std::vector<std::vector<double>> weights;
        std::vector<std::vector<int32_t>> selection;
    };
    static void StoreSnapshot(Brush *brush, uint64_t userData, int32_t slot);
    static void RestoreSnapshot(Brush *brush, uint64_t userData, int32_t slot);
    std::vector<Snapshot> snapshots_;
    std::vector<double> keyHistory_;  // the undo key after each stored stroke
};

}  // namespace sandbox
