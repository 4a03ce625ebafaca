#include "outputs.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "model/mesh.h"

namespace sandbox {

namespace {

// Closes a file written in full; a short write or a failed close (a full disk) is an error.
void Finish(std::ofstream &file, const std::string &path) {
    file.close();
    if (!file) throw SessionError(path + ": cannot write the file (" + std::strerror(errno) + ")");
}

}  // namespace

std::string CsvField(const std::string &text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

void PrepareOutputFolder(const std::string &folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) throw SessionError(folder + ": cannot create the output folder: " + error.message());
    const std::string probe = (std::filesystem::path(folder) / ".vantic-sandbox-probe").string();
    std::ofstream file(probe, std::ios::binary | std::ios::trunc);
    file << "probe\n";
    file.close();
    const bool written = static_cast<bool>(file);
    std::filesystem::remove(probe, error);
    if (!written) throw SessionError(folder + ": cannot write into the output folder");
}

void WriteCsv(const SessionRun &run, const std::string &folder) {
    const std::string weightsPath = (std::filesystem::path(folder) / "weights.csv").string();
    const std::string selectionPath = (std::filesystem::path(folder) / "selection.csv").string();
    std::ofstream weights(weightsPath), selection(selectionPath);
    if (!weights) throw SessionError(weightsPath + ": cannot open the file for writing");
    if (!selection) throw SessionError(selectionPath + ": cannot open the file for writing");
    weights << "target,point,weight\n";
    selection << "target,point,selected\n";
    const Brush &b = *run.brush;
    auto &meshes = const_cast<vhost::Host &>(run.loaded.host).scene.meshes;
    for (int32_t t = 0; t < b.targetCount; ++t) {
        const vhost::Mesh *mesh = meshes.find(b.targetIds[t]);
        const size_t n = mesh ? mesh->base.size() : 0;
        const std::string name = CsvField(run.targets[static_cast<size_t>(t)].name);
        char number[40];
        for (size_t p = 0; p < n; ++p) {
            std::snprintf(number, sizeof number, "%.17g", b.weights[t][p]);
            weights << name << ',' << p << ',' << number << '\n';
            selection << name << ',' << p << ',' << (b.selection[t][p] ? 1 : 0) << '\n';
        }
    }
    Finish(weights, weightsPath);
    Finish(selection, selectionPath);
}

}  // namespace sandbox
