#include "session.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

namespace sandbox {

namespace {

using nlohmann::json;

// A problem stays on one line: control characters a script put into a key or a name are shown escaped.
std::string OneLine(const std::string &text) {
    std::string shown;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\n') shown += "\\n";
        else if (c == '\t') shown += "\\t";
        else if (c == '\r') shown += "\\r";
        else if (byte < 0x20 || byte == 0x7f) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            shown += escaped;
        } else {
            shown += c;
        }
    }
    return shown;
}

// Reads one script, keeping its text so that a problem can be placed on a line.
class ScriptReader {
public:
    ScriptReader(std::string path, std::string text) : path_(std::move(path)), text_(std::move(text)) {}

    [[noreturn]] void fail(const std::string &problem, const std::string &near = {}) const {
        const int line = near.empty() ? 0 : lineOf("\"" + near + "\"");
        throw SessionError(path_ + (line ? ":" + std::to_string(line) : "") + ": " + OneLine(problem));
    }

    json parse() const {
        try {
            return json::parse(text_);
        } catch (const json::parse_error &e) {
            const int line = lineAtByte(e.byte);
            std::string what = e.what();
            // nlohmann's text starts with its own error id; keep the part that explains.
            const auto colon = what.find("parse error");
            throw SessionError(path_ + ":" + std::to_string(line) + ": invalid JSON: " +
                               (colon == std::string::npos ? what : what.substr(colon)));
        } catch (const json::out_of_range &e) {
            // A number too large for a double: the library names the text, not where it stands.
            const std::string what = e.what();
            const auto open = what.find('\''), close = what.rfind('\'');
            const std::string number = open < close ? what.substr(open + 1, close - open - 1) : "";
            const int line = number.empty() ? 0 : lineOf(number);
            throw SessionError(path_ + (line ? ":" + std::to_string(line) : "") + ": number out of range" +
                               (number.empty() ? "" : ": " + number));
        }
    }

    // The number under key, which must lie in [low, high]; open ends exclude the bound itself.
    double numberWithin(const json &object, const char *key, double fallback, double low, double high,
                        bool openLow, const char *range) const {
        const double value = number(object, key, fallback);
        if (!(openLow ? value > low : value >= low) || !(value <= high))
            fail(std::string("'") + key + "' must be " + range, key);
        return value;
    }

    void onlyKeys(const json &object, const std::string &where, std::initializer_list<const char *> keys) const {
        if (!object.is_object()) fail("'" + where + "' must be an object", where);
        std::set<std::string> allowed(keys.begin(), keys.end());
        for (const auto &item : object.items())
            if (!allowed.count(item.key())) fail("unknown key '" + item.key() + "' in " + where, item.key());
    }

    double number(const json &object, const char *key, double fallback) const {
        if (!object.contains(key)) return fallback;
        if (!object[key].is_number()) fail(std::string("'") + key + "' must be a number", key);
        return object[key].get<double>();
    }

    int32_t integer(const json &object, const char *key, int32_t fallback) const {
        if (!object.contains(key)) return fallback;
        const json &value = object[key];
        if (!value.is_number_integer() || value.get<int64_t>() < INT32_MIN || value.get<int64_t>() > INT32_MAX ||
            (value.is_number_unsigned() && value.get<uint64_t>() > INT32_MAX))
            fail(std::string("'") + key + "' must be an integer", key);
        return value.get<int32_t>();
    }

    std::string text(const json &object, const char *key, const std::string &fallback) const {
        if (!object.contains(key)) return fallback;
        if (!object[key].is_string()) fail(std::string("'") + key + "' must be a string", key);
        return object[key].get<std::string>();
    }

    template <size_t N, class T>
    std::array<T, N> array(const json &object, const char *key, std::array<T, N> fallback) const {
        if (!object.contains(key)) return fallback;
        const json &value = object[key];
        if (!value.is_array() || value.size() != N)
            fail(std::string("'") + key + "' must be an array of " + std::to_string(N) + " numbers", key);
        std::array<T, N> out{};
        for (size_t i = 0; i < N; ++i) {
            const bool integral = value[i].is_number_integer() && value[i].get<int64_t>() >= INT32_MIN &&
                                  value[i].get<int64_t>() <= INT32_MAX && !(value[i].is_number_unsigned() && value[i].get<uint64_t>() > INT32_MAX);
            if (!value[i].is_number() || (std::is_integral_v<T> && !integral))
                fail(std::string("'") + key + "' must hold " + (std::is_integral_v<T> ? "integers" : "numbers"), key);
            out[i] = value[i].get<T>();
        }
        return out;
    }

private:
    int lineOf(const std::string &needle) const {
        const auto at = text_.find(needle);
        return at == std::string::npos ? 0 : lineAtByte(at + 1);
    }
    int lineAtByte(size_t byte) const {
        int line = 1;
        for (size_t i = 0; i + 1 < byte && i < text_.size(); ++i)
            if (text_[i] == '\n') ++line;
        return line;
    }

    std::string path_;
    std::string text_;
};

ViewSettings ReadView(const ScriptReader &r, const json &v) {
    r.onlyKeys(v, "view", {"name", "type", "move", "rotate", "dolly", "gridSize", "pixelSize", "cameraPosition",
                           "cameraRotation"});
    ViewSettings view;
    view.name = r.text(v, "name", view.name);
    if (v.contains("type")) view.type = r.integer(v, "type", 2);
    view.move = r.array<3>(v, "move", view.move);
    view.rotate = r.array<3>(v, "rotate", view.rotate);
    if (view.type && *view.type != 0 && *view.type != 2 && std::abs(*view.type) != 3 && std::abs(*view.type) != 4 &&
        std::abs(*view.type) != 5)
        r.fail("'type' must be a view type: 0 camera, 2 perspective, 3 to 5 or -3 to -5 axis views", "type");
    view.dolly = r.numberWithin(v, "dolly", view.dolly, 0.0, DBL_MAX, true, "greater than 0");
    view.gridSize = r.numberWithin(v, "gridSize", view.gridSize, 0.0, DBL_MAX, true, "greater than 0");
    view.pixelSize = r.array<2>(v, "pixelSize", view.pixelSize);
    if (view.pixelSize[0] < 16 || view.pixelSize[1] < 16 || view.pixelSize[0] > 8192 || view.pixelSize[1] > 8192)
        r.fail("'pixelSize' must lie between 16 and 8192 pixels", "pixelSize");
    view.cameraPosition = r.array<3>(v, "cameraPosition", view.cameraPosition);
    view.cameraRotation = r.array<3>(v, "cameraRotation", view.cameraRotation);
    return view;
}

TargetSettings ReadTarget(const ScriptReader &r, const json &t, const std::string &folder) {
    r.onlyKeys(t, "targets", {"name", "obj", "generator", "columns", "rows", "segments", "rings", "width",
                              "height", "size", "radius", "offset"});
    TargetSettings target;
    target.obj = r.text(t, "obj", "");
    target.generator = r.text(t, "generator", "");
    if (target.obj.empty() == target.generator.empty())
        r.fail("a target needs exactly one of 'obj' and 'generator'", target.obj.empty() ? "generator" : "obj");
    if (!target.obj.empty()) {
        const auto path = std::filesystem::path(folder) / target.obj;
        if (!std::filesystem::exists(path)) r.fail("mesh file not found: " + path.string(), "obj");
        target.obj = path.string();
    } else if (target.generator != "grid" && target.generator != "cube" && target.generator != "sphere" &&
               target.generator != "tube") {
        r.fail("unknown generator '" + target.generator + "' (grid, cube, sphere or tube)", "generator");
    }
    target.name = r.text(t, "name", target.obj.empty() ? target.generator
                                                       : std::filesystem::path(target.obj).stem().string());
    target.columns = r.integer(t, "columns", target.columns);
    target.rows = r.integer(t, "rows", target.rows);
    target.segments = r.integer(t, "segments", target.segments);
    target.rings = r.integer(t, "rings", target.rings);
    for (int32_t count : {target.columns, target.rows, target.segments, target.rings})
        if (count < 1 || count > 2000) r.fail("mesh resolutions must lie between 1 and 2000", target.generator);
    const char *sizeRange = "greater than 0 and at most 1e100";
    target.width = r.numberWithin(t, "width", target.width, 0.0, kMaxTargetExtent, true, sizeRange);
    target.height = r.numberWithin(t, "height", target.height, 0.0, kMaxTargetExtent, true, sizeRange);
    target.size = r.numberWithin(t, "size", target.size, 0.0, kMaxTargetExtent, true, sizeRange);
    target.radius = r.numberWithin(t, "radius", target.radius, 0.0, kMaxTargetExtent, true, sizeRange);
    target.offset = r.array<3>(t, "offset", target.offset);
    for (double o : target.offset)
        if (!(std::fabs(o) <= kMaxTargetExtent)) r.fail("'offset' must lie within 1e100 of the origin", "offset");
    return target;
}

BrushSettings ReadBrush(const ScriptReader &r, const json &b) {
    r.onlyKeys(b, "brush", {"mode", "pickMode", "weightMode", "radius", "falloff", "undoLevels"});
    BrushSettings brush;
    brush.mode = r.integer(b, "mode", brush.mode);
    if (brush.mode < 0 || brush.mode > 8) r.fail("'mode' must lie between 0 and 8", "mode");
    brush.pickMode = r.integer(b, "pickMode", brush.pickMode);
    brush.weightMode = r.integer(b, "weightMode", brush.weightMode);
    brush.radius = r.numberWithin(b, "radius", brush.radius, 0.0, DBL_MAX, false, "at least 0");
    brush.falloff = r.numberWithin(b, "falloff", brush.falloff, 0.0, 1.0, false, "between 0 and 1");
    brush.undoLevels = r.integer(b, "undoLevels", brush.undoLevels);
    if (brush.undoLevels < 1 || brush.undoLevels > kMaxUndoLevels)
        r.fail("'undoLevels' must lie between 1 and " + std::to_string(kMaxUndoLevels), "undoLevels");
    return brush;
}

SessionEvent ReadEvent(const ScriptReader &r, const json &e) {
    r.onlyKeys(e, "events", {"press", "drag", "release", "button", "undo", "save"});
    SessionEvent event;
    int kinds = 0;
    for (auto [key, kind] : {std::pair<const char *, EventKind>{"press", EventKind::Press},
                             {"drag", EventKind::Drag},
                             {"release", EventKind::Release}}) {
        if (!e.contains(key)) continue;
        ++kinds;
        event.kind = kind;
        const auto at = r.array<2>(e, key, std::array<int32_t, 2>{});
        event.x = at[0];
        event.y = at[1];
    }
    if (e.contains("undo")) {
        ++kinds;
        event.kind = EventKind::Undo;
        if (e["undo"] != true) r.fail("'undo' must be true", "undo");
    }
    if (e.contains("save")) {
        ++kinds;
        event.kind = EventKind::Save;
        event.file = r.text(e, "save", "");
        if (event.file.empty() || event.file.find('/') != std::string::npos)
            r.fail("'save' must name a file inside the output folder", "save");
    }
    if (kinds != 1) r.fail("an event needs exactly one of 'press', 'drag', 'release', 'undo', 'save'", "events");
    event.button = r.integer(e, "button", 0);
    if (event.button < 0 || event.button > 2) r.fail("'button' must be 0, 1 or 2", "button");
    return event;
}

}  // namespace

Session LoadSession(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw SessionError(path + ": cannot open the session script");
    std::stringstream buffer;
    buffer << in.rdbuf();
    return ParseSession(buffer.str(), path);
}

Session ParseSession(const std::string &text, const std::string &path) {
    const ScriptReader reader(path, text);
    const json script = reader.parse();
    reader.onlyKeys(script, "the session", {"view", "targets", "brush", "events", "pictures"});

    Session session;
    session.source = path;
    session.folder = std::filesystem::path(path).parent_path().string();
    if (session.folder.empty()) session.folder = ".";
    if (script.contains("view")) session.view = ReadView(reader, script["view"]);
    if (!script.contains("targets") || !script["targets"].is_array() || script["targets"].empty())
        reader.fail("'targets' must be a non-empty array", "targets");
    for (const auto &t : script["targets"]) session.targets.push_back(ReadTarget(reader, t, session.folder));
    if (script.contains("brush")) session.brush = ReadBrush(reader, script["brush"]);
    if (!script.contains("events") || !script["events"].is_array())
        reader.fail("'events' must be an array", "events");
    for (const auto &e : script["events"]) session.events.push_back(ReadEvent(reader, e));
    const std::string pictures = reader.text(script, "pictures", "last");
    if (pictures != "last" && pictures != "each") reader.fail("'pictures' must be \"last\" or \"each\"", "pictures");
    session.pictureEachEvent = pictures == "each";
    return session;
}

Session DemoSession() {
    Session session;
    session.view.name = "Perspective";
    session.view.rotate = {30.0, 20.0, 0.0};
    session.view.dolly = 2.0;
    session.view.gridSize = 2.0;
    TargetSettings sphere;
    sphere.name = "sphere";
    sphere.generator = "sphere";
    sphere.segments = 32;
    sphere.rings = 16;
    session.targets.push_back(sphere);
    session.brush.mode = 0;
    session.brush.radius = 70.0;
    session.brush.falloff = 0.5;
    const int32_t y = 240;
    session.events.push_back({EventKind::Press, 300, y, 0, {}});
    for (int32_t x = 310; x <= 350; x += 20) session.events.push_back({EventKind::Drag, x, y, 0, {}});
    session.events.push_back({EventKind::Release, 350, y, 0, {}});
    return session;
}

}  // namespace sandbox
