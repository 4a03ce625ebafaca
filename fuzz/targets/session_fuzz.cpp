// Session scripts from any bytes: refused with one line naming the script, or read; a small script
// that only uses generated meshes is also run through the module, event by event.
#include <dlfcn.h>

#include <string>

#include "fuzz_support.h"
#include "fuzz_targets.h"
#include "session.h"
#include "session_run.h"

namespace vfuzz {

namespace {

// Small enough to run thousands of times a second: few events, coarse meshes, no files.
bool SmallSession(const sandbox::Session &session) {
    if (session.events.size() > 16 || session.targets.size() > 2) return false;
    for (const sandbox::TargetSettings &t : session.targets)
        if (!t.obj.empty() || t.columns * t.rows > 64 || t.segments * t.rings > 64) return false;
    for (const sandbox::SessionEvent &e : session.events)
        if (e.kind == sandbox::EventKind::Save) return false;
    return session.view.pixelSize[0] * session.view.pixelSize[1] <= 640 * 480;
}

}  // namespace

int Session(const uint8_t *data, size_t size) {
    // Each run loads the module into a fresh host. Opened once for good here, it stays mapped between
    // runs, as the fuzzer's coverage counters inside it must.
    static void *pinned = dlopen(VANTIC_MODULE_PATH, RTLD_NOW | RTLD_NODELETE);
    (void)pinned;
    // A script in a folder that does not exist: its OBJ targets name no file.
    const std::string path = "/nonexistent/fuzz.json";
    sandbox::Session session;
    try {
        session = sandbox::ParseSession(std::string(reinterpret_cast<const char *>(data), size), path);
    } catch (const sandbox::SessionError &e) {
        const std::string what = e.what();
        if (what.find('\n') != std::string::npos || what.compare(0, path.size(), path) != 0)
            Broken("a script problem is not one line naming the script");
        return 0;
    }
    if (!SmallSession(session)) return 0;
    try {
        sandbox::SessionRun run(session);
        run.replay("", [](size_t, const std::string &) {});
    } catch (const sandbox::SessionError &) {
        // a mesh the generators refuse
    }
    return 0;
}

}  // namespace vfuzz
