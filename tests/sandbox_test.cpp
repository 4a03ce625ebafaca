// The sandbox as a newcomer meets it: the example sessions run and their outcome is what the module
// computes; bad scripts give one clear line and a non-zero exit; the picture is a real PNG.
#include <gtest/gtest.h>

#include <png.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "model/views.h"
#include "outputs.h"
#include "session.h"
#include "session_run.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = 0;
    std::string out, err;
};

// Runs the sandbox binary, capturing both streams.
Outcome RunSandbox(const std::string &arguments) {
    const fs::path dir = fs::temp_directory_path() / ("vantic-sandbox-test-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string out = (dir / "stdout.txt").string(), err = (dir / "stderr.txt").string();
    const std::string command = std::string(VANTIC_SANDBOX_PATH) + " " + arguments + " >" + out + " 2>" + err;
    Outcome o;
    const int raw = std::system(command.c_str());
    o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    auto slurp = [](const std::string &path) {
        std::ifstream in(path);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    };
    o.out = slurp(out);
    o.err = slurp(err);
    return o;
}

std::string Example(const std::string &name) { return std::string(VANTIC_SOURCE_DIR) + "/examples/sessions/" + name; }

fs::path FreshFolder(const std::string &name) {
    const fs::path dir = fs::temp_directory_path() / ("vantic-sandbox-" + name + "-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    return dir;
}

// target,point,value rows of a CSV the sandbox wrote.
std::vector<std::pair<int32_t, double>> ReadCsv(const fs::path &path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);  // header
    std::vector<std::pair<int32_t, double>> rows;
    while (std::getline(in, line)) {
        const auto a = line.find(','), b = line.rfind(',');
        rows.emplace_back(std::stoi(line.substr(a + 1, b - a - 1)), std::stod(line.substr(b + 1)));
    }
    return rows;
}

TEST(Sandbox, DemoRunsWithoutFilesAndWritesAPicture) {
    const fs::path out = FreshFolder("demo");
    const Outcome o = RunSandbox("demo --out " + out.string());
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_NE(o.out.find("press"), std::string::npos);
    EXPECT_NE(o.out.find("viewport.png"), std::string::npos);
    EXPECT_TRUE(fs::exists(out / "viewport.png"));
}

TEST(Sandbox, WeightPaintingFallsOffWithDistanceFromTheHit) {
    // Replayed in-process to read the hit, then the same script through the binary for the CSV.
    const sandbox::Session session = sandbox::LoadSession(Example("weight_painting_sphere.json"));
    sandbox::SessionRun run(session);
    run.replay("", [](size_t, const std::string &) {});
    const fs::path out = FreshFolder("weights");
    const Outcome o = RunSandbox("run " + Example("weight_painting_sphere.json") + " --out " + out.string());
    ASSERT_EQ(o.status, 0) << o.err;
    const auto weights = ReadCsv(out / "weights.csv");
    const vhost::Mesh *mesh = run.loaded.host.scene.meshes.find(run.targets[0].id);
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(weights.size(), mesh->base.size());
    // The same weights as the in-process run, and with falloff 0.5 they never grow with the distance
    // from the last hit (the anchor), reaching 1 at the centre.
    std::vector<std::pair<double, double>> byDistance;
    for (const auto &[point, w] : weights) {
        EXPECT_DOUBLE_EQ(w, run.brush->weights[0][point]);
        const auto &p = mesh->current[static_cast<size_t>(point)];
        const double d = std::hypot(p[0] - run.brush->anchor[0], p[1] - run.brush->anchor[1], p[2] - run.brush->anchor[2]);
        byDistance.emplace_back(d, w);
    }
    std::sort(byDistance.begin(), byDistance.end());
    EXPECT_EQ(byDistance.front().second, 1.0);
    for (size_t i = 1; i < byDistance.size(); ++i) EXPECT_LE(byDistance[i].second, byDistance[i - 1].second + 1e-12);
    EXPECT_GT(std::count_if(weights.begin(), weights.end(), [](auto &r) { return r.second > 0 && r.second < 1; }), 0);
}

TEST(Sandbox, EdgeLoopOnATubeSelectsOneRing) {
    const fs::path out = FreshFolder("loop");
    const Outcome o = RunSandbox("run " + Example("edge_loop_tube.json") + " --out " + out.string());
    ASSERT_EQ(o.status, 0) << o.err;
    const sandbox::Session session = sandbox::LoadSession(Example("edge_loop_tube.json"));
    sandbox::SessionRun run(session);
    const vhost::Mesh *mesh = run.loaded.host.scene.meshes.find(run.targets[0].id);
    std::vector<size_t> selected;
    for (const auto &[point, flag] : ReadCsv(out / "selection.csv"))
        if (flag) selected.push_back(static_cast<size_t>(point));
    ASSERT_FALSE(selected.empty());
    // A ring around the tube: exactly the points at the height of the first selected one.
    const double height = mesh->base[selected.front()][1];
    std::vector<size_t> ring;
    for (size_t i = 0; i < mesh->base.size(); ++i)
        if (mesh->base[i][1] == height) ring.push_back(i);
    EXPECT_EQ(selected, ring);
    EXPECT_LT(ring.size(), mesh->base.size());
}

struct BadInput {
    const char *name;
    const char *script;    // written to bad.json
    const char *expected;  // in the one line of stderr
};

class SandboxErrors : public ::testing::TestWithParam<BadInput> {};

TEST_P(SandboxErrors, OneLineNamingTheFileAndNonZeroExit) {
    const fs::path dir = FreshFolder(std::string("bad-") + GetParam().name);
    fs::create_directories(dir);
    std::ofstream(dir / "broken.obj") << "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 x\n";
    std::ofstream(dir / "wrapping.obj") << "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 4294967297\n";
    std::ofstream(dir / "huge.obj") << "v 0 0 0\nv 1 0 1e308\nv 0 1 0\nf 1 2 3\n";
    const fs::path script = dir / "bad.json";
    std::ofstream(script) << GetParam().script;
    const Outcome o = RunSandbox("run " + script.string());
    EXPECT_NE(o.status, 0);
    EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 1) << o.err;
    EXPECT_NE(o.err.find(GetParam().expected), std::string::npos) << o.err;
    EXPECT_EQ(o.out, "") << "nothing runs partially";
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, SandboxErrors,
    ::testing::Values(
        BadInput{"json", "{\n  \"targets\": [\n  {\"generator\": \"grid\"}\n", "bad.json:4: invalid JSON"},
        BadInput{"key", "{\n\"targets\": [{\"generator\": \"grid\"}],\n\"brush\": {\"size\": 3},\n\"events\": []}",
                 "bad.json:3: unknown key 'size' in brush"},
        BadInput{"keyWithNewline", "{\"targets\": [{\"generator\": \"grid\", \"ro\\nws\": 2}], \"events\": []}",
                 "bad.json: unknown key 'ro\\nws' in targets"},
        BadInput{"type", "{\"targets\": [{\"generator\": \"grid\"}],\n\"brush\": {\"radius\": \"big\"},\n\"events\": []}",
                 "bad.json:2: 'radius' must be a number"},
        BadInput{"range", "{\"targets\": [{\"generator\": \"grid\", \"columns\": 3000000000}], \"events\": []}",
                 "bad.json:1: 'columns' must be an integer"},
        BadInput{"missing", "{\"targets\": [{\"obj\": \"nowhere.obj\"}], \"events\": []}", "mesh file not found"},
        BadInput{"obj", "{\"targets\": [{\"obj\": \"broken.obj\"}], \"events\": []}", "broken.obj"},
        BadInput{"objIndex", "{\"targets\": [{\"obj\": \"wrapping.obj\"}], \"events\": []}",
                 "wrapping.obj:4: face 1 uses vertex 4294967297"},
        BadInput{"objCoordinate", "{\"targets\": [{\"obj\": \"huge.obj\"}], \"events\": []}",
                 "huge.obj:2: coordinate '1e308'"},
        BadInput{"overflow", "{\"targets\": [{\"generator\": \"grid\"}],\n\"brush\": {\"radius\": 1e400},\n\"events\": []}",
                 "bad.json:2: number out of range: 1e400"},
        BadInput{"radius", "{\"targets\": [{\"generator\": \"grid\"}],\n\"brush\": {\"radius\": -40},\n\"events\": []}",
                 "bad.json:2: 'radius' must be at least 0"},
        BadInput{"falloff", "{\"targets\": [{\"generator\": \"grid\"}], \"brush\": {\"falloff\": -1}, \"events\": []}",
                 "'falloff' must be between 0 and 1"},
        BadInput{"undoLevels", "{\"targets\": [{\"generator\": \"grid\"}], \"brush\": {\"undoLevels\": 100000000}, \"events\": []}",
                 "'undoLevels' must lie between 1 and 1000"},
        BadInput{"dolly", "{\"targets\": [{\"generator\": \"grid\"}], \"view\": {\"dolly\": 0}, \"events\": []}",
                 "'dolly' must be greater than 0"},
        BadInput{"gridSize", "{\"targets\": [{\"generator\": \"grid\"}], \"view\": {\"gridSize\": 0}, \"events\": []}",
                 "'gridSize' must be greater than 0"},
        BadInput{"viewType", "{\"targets\": [{\"generator\": \"grid\"}], \"view\": {\"type\": 99}, \"events\": []}",
                 "'type' must be a view type"},
        BadInput{"offset", "{\"targets\": [{\"generator\": \"grid\", \"offset\": [0, 1e300, 0]}], \"events\": []}",
                 "'offset' must lie within 1e100"},
        BadInput{"button", "{\"targets\": [{\"generator\": \"grid\"}], \"events\": [{\"press\": [1, 2], \"button\": 7}]}",
                 "'button' must be 0, 1 or 2"},
        BadInput{"undoFalse", "{\"targets\": [{\"generator\": \"grid\"}], \"events\": [{\"undo\": false}]}",
                 "'undo' must be true"},
        BadInput{"saveWithoutOut", "{\"targets\": [{\"generator\": \"grid\"}], \"events\": [{\"save\": \"a.scn\"}]}",
                 "bad.json: 'save' needs an output folder (--out)"}),
    [](const auto &info) { return std::string(info.param.name); });

// Output problems are found before the first event, or reported as the failure they are: an output
// folder that cannot be made, and a full disk under weights.csv.
TEST(Sandbox, OutputThatCannotBeWrittenFailsWithOneLine) {
    const fs::path dir = FreshFolder("unwritable");
    fs::create_directories(dir);
    std::ofstream(dir / "a-file") << "x";
    const std::string script = Example("weight_painting_sphere.json");
    Outcome o = RunSandbox("run " + script + " --out " + (dir / "a-file").string());
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "") << "no event runs";
    EXPECT_NE(o.err.find("a-file: cannot create the output folder"), std::string::npos) << o.err;

    const fs::path full = dir / "full";
    fs::create_directories(full);
    fs::create_symlink("/dev/full", full / "weights.csv");
    o = RunSandbox("run " + script + " --out " + full.string());
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out.find("wrote"), std::string::npos) << o.out;
    EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 1) << o.err;
    EXPECT_NE(o.err.find("weights.csv: cannot write the file"), std::string::npos) << o.err;
    fs::remove_all(dir);
}

TEST(Sandbox, CsvFieldsAreQuotedWhereTheyMustBe) {
    const std::pair<std::string, std::string> cases[] = {
        {"plain name", "plain name"},    {"a,b", "\"a,b\""},       {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\nlines", "\"two\nlines\""}, {"cr\r", "\"cr\r\""}, {"", ""},
    };
    for (const auto &[text, field] : cases) EXPECT_EQ(sandbox::CsvField(text), field) << text;
}

TEST(Sandbox, MissingScriptIsOneLine) {
    const Outcome o = RunSandbox("run /nonexistent/session.json");
    EXPECT_NE(o.status, 0);
    EXPECT_NE(o.err.find("/nonexistent/session.json"), std::string::npos);
}

// Reads a PNG back with libpng: its size, and the colour at a pixel.
struct Png {
    int32_t width = 0, height = 0;
    std::vector<uint8_t> rgb;
};

Png ReadPng(const fs::path &path) {
    Png png;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.string().c_str())) return png;
    image.format = PNG_FORMAT_RGB;
    png.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, png.rgb.data(), 0, nullptr)) return png;
    png.width = static_cast<int32_t>(image.width);
    png.height = static_cast<int32_t>(image.height);
    return png;
}

TEST(Sandbox, PictureShowsWeightColoursWhereTheBrushWas) {
    const fs::path out = FreshFolder("picture");
    const Outcome o = RunSandbox("run " + Example("weight_painting_sphere.json") + " --out " + out.string());
    ASSERT_EQ(o.status, 0) << o.err;
    const sandbox::Session session = sandbox::LoadSession(Example("weight_painting_sphere.json"));
    const Png png = ReadPng(out / "viewport.png");
    ASSERT_EQ(png.width, session.view.pixelSize[0]);
    ASSERT_EQ(png.height, session.view.pixelSize[1]);
    // Full weight is drawn red: the press position is under the painted centre.
    const auto &press = session.events.front();
    const uint8_t *p = &png.rgb[(static_cast<size_t>(press.y) * png.width + press.x) * 3];
    EXPECT_GT(p[0], 120);
    EXPECT_LT(p[1], 100);
    EXPECT_LT(p[2], 100);
}

}  // namespace
