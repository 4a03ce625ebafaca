// Camera objects and the matrices objects answer for.
#include "model/host.h"
#include "model/views.h"

namespace vhost {

KorrinItem AddCamera(Host &host, const std::string &name, const std::array<double, 3> &position,
                     const std::array<double, 3> &headingPitchBank) {
    const KorrinItem camera = host.scene.items.add(ItemKind::Camera, name);
    ObjectChannels &channels = host.scene.channels.objects[camera];
    channels.values[KORRIN_CHANNEL_POSITION] = position;
    channels.values[KORRIN_CHANNEL_ROTATION] = headingPitchBank;
    // The first camera of a scene is the one the camera view looks through.
    if (host.scene.views.activeCamera == 0) host.scene.views.activeCamera = camera;
    return camera;
}

KorrinItem ActiveCamera(const Host &host) {
    const KorrinItem camera = host.scene.views.activeCamera;
    return host.scene.items.exists(camera) ? camera : 0;
}

std::array<double, 16> CameraWorldMatrix(const Host &host, KorrinItem camera, double time) {
    const ChannelStore &channels = host.scene.channels;
    const Channel3 position = channels.valueAt(camera, KORRIN_CHANNEL_POSITION, time);
    const Channel3 rotation = channels.valueAt(camera, KORRIN_CHANNEL_ROTATION, time);
    const EyeFrame f = HeadingPitchBankFrame(rotation[0], rotation[1], rotation[2]);
    return {f.right[0],   f.right[1],   f.right[2],   0.0,  //
            f.up[0],      f.up[1],      f.up[2],      0.0,  //
            f.back[0],    f.back[1],    f.back[2],    0.0,  //
            position[0],  position[1],  position[2],  1.0};
}

std::array<double, 16> ObjectMatrix(const Host &host, KorrinItem object, int32_t code, double time) {
    const Item *item = host.scene.items.find(object);
    if (code == KORRIN_MATRIX_WORLD && item && item->kind == ItemKind::Camera)
        return CameraWorldMatrix(host, object, time);
    auto stored = host.scene.channels.matrices.find({object, code});
    if (stored != host.scene.channels.matrices.end()) return stored->second;
    return {1.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.0, 1.0};
}

}  // namespace vhost
