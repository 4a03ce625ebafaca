// The host's expression language from any text, evaluated against a host with views and items.
#include <string_view>

#include "fuzz_support.h"
#include "fuzz_targets.h"
#include "model/expressions.h"
#include "model/mesh.h"

namespace vfuzz {

int Expression(const uint8_t *data, size_t size) {
    static vhost::Host &host = [] () -> vhost::Host & {
        vhost::Host &h = LinkedHost();
        vhost::AddMesh(h, "Mesh", vhost::MakeGrid(1, 1, 1.0, 1.0));
        vhost::AddMesh(h, "Brush (2)", vhost::MakeGrid(1, 1, 1.0, 1.0));
        return h;
    }();
    vhost::EvaluateExpression(host, std::string_view(reinterpret_cast<const char *>(data), size));
    // Messages pile up in a long run; they are the evaluator's output, not its state.
    host.messages.entries.clear();
    return 0;
}

}  // namespace vfuzz
