#include "outputs.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "model/mesh.h"

namespace sandbox {

void WriteCsv(const SessionRun &run, const std::string &folder) {
    const std::string weightsPath = (std::filesystem::path(folder) / "weights.csv").string();
    const std::string selectionPath = (std::filesystem::path(folder) / "selection.csv").string();
    std::ofstream weights(weightsPath), selection(selectionPath);
    if (!weights || !selection) throw SessionError(folder + ": cannot write the CSV files");
    weights << "target,point,weight\n";
    selection << "target,point,selected\n";
    const Brush &b = *run.brush;
    auto &meshes = const_cast<vhost::Host &>(run.loaded.host).scene.meshes;
    for (int32_t t = 0; t < b.targetCount; ++t) {
        const vhost::Mesh *mesh = meshes.find(b.targetIds[t]);
        const size_t n = mesh ? mesh->base.size() : 0;
        const std::string &name = run.targets[static_cast<size_t>(t)].name;
        char number[40];
        for (size_t p = 0; p < n; ++p) {
            std::snprintf(number, sizeof number, "%.17g", b.weights[t][p]);
            weights << name << ',' << p << ',' << number << '\n';
            selection << name << ',' << p << ',' << (b.selection[t][p] ? 1 : 0) << '\n';
        }
    }
}

}  // namespace sandbox
