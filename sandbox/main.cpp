// vantic-sandbox: loads the built module into a simulated host exactly as the host application
// would, acts as a client plug-in through the registry, and replays a brush session.
#include <cstdio>
#include <filesystem>
#include <new>
#include <string>

#include <CLI/CLI.hpp>

#include "outputs.h"
#include "picture.h"
#include "session.h"
#include "session_run.h"

namespace {

void PrintHandshake(const sandbox::SessionRun &run) {
    const auto &registry = run.loaded.host.registry;
    std::printf("module: %s, interface 0x%X, entry %d, %zu functions, %zu module(s)\n", run.loaded.module.nameBuffer,
                static_cast<unsigned>(run.loaded.module.api()), run.loaded.entryResult, registry.functions.size(),
                registry.modules.size());
}

// The handshake and the whole registry, as a client plug-in finds it.
void PrintRegistry(const sandbox::SessionRun &run) {
    const auto &registry = run.loaded.host.registry;
    std::printf("plug-in name: %s\n", run.loaded.module.nameBuffer);
    std::printf("registered functions (name, result-type code):\n");
    for (size_t i = 0; i < registry.functions.size(); ++i) {
        const auto &f = registry.functions[i];
        std::printf("  %-36s %2d  %s", f.name.c_str(), f.resultType, f.category.c_str());
        std::printf(i % 2 ? "\n" : "    ");
    }
    if (registry.functions.size() % 2) std::printf("\n");
    for (const auto &m : registry.modules)
        std::printf("module: %s (type %d, flags 0x%X)\n", m.name.c_str(), m.type, static_cast<unsigned>(m.flags));
}

void PrintMessages(const sandbox::SessionRun &run) {
    const auto &messages = run.loaded.host.messages.entries;
    std::printf("host messages: %zu\n", messages.size());
    for (const auto &m : messages)
        std::printf("  [%s] %s (code %d): %s\n", m.kind.c_str(), m.source.c_str(), m.code, m.text.c_str());
}

// Runs a session; with an output folder, also writes CSV, scene files and pictures there.
int Run(const sandbox::Session &session, const std::string &out, bool showRegistry) {
    // Everything that could stop the run half-way is checked before the first event.
    if (out.empty())
        for (const sandbox::SessionEvent &e : session.events)
            if (e.kind == sandbox::EventKind::Save)
                throw sandbox::SessionError(session.source + ": 'save' needs an output folder (--out)");
    if (!out.empty()) sandbox::PrepareOutputFolder(out);
    sandbox::SessionRun run(session);
    PrintHandshake(run);
    if (showRegistry) PrintRegistry(run);
    std::printf("session: %s, %zu target(s), mode %d, %zu event(s)\n", session.source.c_str(), run.targets.size(),
                run.brush->mode, session.events.size());
    run.replay(out, [&](size_t i, const std::string &line) {
        std::printf("%3zu %s\n", i + 1, line.c_str());
        if (!out.empty() && session.pictureEachEvent) {
            char name[32];
            std::snprintf(name, sizeof name, "event-%03zu.png", i + 1);
            sandbox::WritePicture(run, run.brush->mouseX, run.brush->mouseY,
                                  (std::filesystem::path(out) / name).string());
        }
    });
    PrintMessages(run);
    if (!out.empty()) {
        sandbox::WriteCsv(run, out);
        const std::string picture = (std::filesystem::path(out) / "viewport.png").string();
        sandbox::WritePicture(run, run.brush->mouseX, run.brush->mouseY, picture);
        std::printf("wrote %s (and weights.csv, selection.csv)\n", picture.c_str());
    }
    return 0;
}

}  // namespace

int main(int argc, char **argv) {
    CLI::App app{"vantic-sandbox: run scripted brush sessions of the vanticAPI module in a simulated host"};
    app.require_subcommand(1);
    std::string demoOut = "vantic-demo";
    CLI::App *demo = app.add_subcommand("demo", "run the built-in session: weight painting on a sphere");
    demo->add_option("--out", demoOut, "folder for the picture and CSV files")->capture_default_str();
    std::string script, out;
    CLI::App *run = app.add_subcommand("run", "run a session script (JSON)");
    run->add_option("session", script, "the session script")->required();
    run->add_option("--out", out, "folder for pictures, CSV files and saved scenes");
    CLI11_PARSE(app, argc, argv);

    try {
        if (demo->parsed()) return Run(sandbox::DemoSession(), demoOut, true);
        return Run(sandbox::LoadSession(script), out, false);
    } catch (const sandbox::SessionError &e) {
        std::fprintf(stderr, "vantic-sandbox: %s\n", e.what());
    } catch (const std::bad_alloc &) {
        std::fprintf(stderr, "vantic-sandbox: %s: out of memory\n", demo->parsed() ? "demo" : script.c_str());
    } catch (const std::exception &e) {
        std::fprintf(stderr, "vantic-sandbox: %s\n", e.what());
    }
    return 1;
}
