// Services of the host's core: messages, the function and module registry, data attachment.
#include "services/core_services.h"

#include "model/host.h"

namespace vhost {

namespace {

std::string Text(const char *s) { return s ? s : ""; }

int32_t MessageSend(KorrinItem item, const char *source, int32_t code, const char *text, const char *kind) {
    Host::current().messages.add(item, Text(source), code, Text(text), Text(kind));
    return 1;
}

int32_t FunctionRegister(const char *name, const char *category, int32_t flags, void *function,
                         int32_t resultType, int32_t) {
    Host::current().registry.functions.push_back(
        RegisteredFunction{Text(name), Text(category), flags, function, resultType});
    return 1;
}

int32_t ModuleDescription(const char *text, int32_t) {
    Host::current().registry.pendingDescription = Text(text);
    return 1;
}

int32_t ModuleAccess(int32_t message, int64_t subCode, int32_t) {
    Host::current().registry.pendingAccess.emplace_back(message, subCode);
    return 1;
}

int32_t ModuleRegister(int32_t moduleType, const char *name, KorrinModuleCallback callback, uint32_t flags) {
    Registry &registry = Host::current().registry;
    registry.modules.push_back(RegisteredModule{moduleType, Text(name), callback, flags,
                                                std::move(registry.pendingDescription),
                                                std::move(registry.pendingAccess), registry.functions.size()});
    registry.pendingDescription.clear();
    registry.pendingAccess.clear();
    return 1;
}

int32_t DataSet(KorrinItem item, const char *key, uint32_t dataId, void *data) {
    Host::current().data.set(item, Text(key), dataId, data);
    return 1;
}

void *DataGet(KorrinItem item, const char *key, uint32_t dataId) {
    return Host::current().data.get(item, Text(key), dataId);
}

int32_t DataFree(KorrinItem item, const char *key, uint32_t dataId) {
    Host::current().data.free(item, Text(key), dataId);
    return 1;
}

}  // namespace

void AddCoreServices(ServiceMap &map) {
    VHOST_SERVICE(map, fxMessageSend, MessageSend);
    VHOST_SERVICE(map, fxFunctionRegister, FunctionRegister);
    VHOST_SERVICE(map, fxModuleDescription, ModuleDescription);
    VHOST_SERVICE(map, fxModuleAccess, ModuleAccess);
    VHOST_SERVICE(map, fxModuleRegister, ModuleRegister);
    VHOST_SERVICE(map, fxDataSet, DataSet);
    VHOST_SERVICE(map, fxDataGet, DataGet);
    VHOST_SERVICE(map, fxDataFree, DataFree);
}

}  // namespace vhost
