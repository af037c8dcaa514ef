// libFuzzer target for the text model loader: any input either loads into a model whose
// every index is in range, or is refused and leaves the model empty.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "base/html_log.h"
#include "base/report.h"
#include "model/collision.h"
#include "model/model.h"

namespace {

void quiet(const base::Report&) {}

void require(bool condition) {
    if (!condition) __builtin_trap();
}

std::filesystem::path scratch;

void removeScratch() {
    std::error_code ignored;
    std::filesystem::remove_all(scratch, ignored);
}

void checkLoaded(const Model& model) {
    require(model.numofjoints >= 0 && model.numofframe >= 0);
    require((model.numofjoints > 0) == (model.joints != nullptr));
    require(model.maxX >= 0 && model.maxY >= 0 && model.maxZ >= 0);
    require(model.minX <= 0 && model.minY <= 0 && model.minZ <= 0);
    float sum = 0;
    for (int j = 0; j < model.numofjoints; ++j) {
        const Joint& joint = model.joints[j];
        require(joint.pointCount >= 0 && joint.faceCount >= 0);
        require((joint.pointCount > 0) == (joint.points != nullptr));
        require((joint.faceCount > 0) == (joint.faces != nullptr));
        require(joint.maxX <= model.maxX && joint.minY >= model.minY);
        for (int p = 0; p < joint.pointCount; ++p) sum += joint.points[p].x + joint.points[p].v;
        for (int k = 0; k < joint.faceCount; ++k) {
            const ModelFace& face = joint.faces[k];
            for (const int corner : {face.a, face.b, face.c}) require(corner >= 0 && corner < joint.pointCount);
        }
        for (int f = 0; f < model.numofframe; ++f) {
            sum += joint.tx[f] + joint.ty[f] + joint.tz[f] + joint.rx[f] + joint.ry[f] + joint.rz[f];
        }
    }
    // Keep the reads.
    volatile float sink = sum;
    (void)sink;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The loader appends to log.htm in the working directory; keep it out of the caller's.
    char pattern[] = "/tmp/oyun-fuzz-model-XXXXXX";
    if (mkdtemp(pattern) == nullptr || chdir(pattern) != 0) return 0;
    scratch = pattern;
    std::atexit(removeScratch);
    base::setReportSink(quiet);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static char empty[1];
    char* bytes = size == 0 ? empty : reinterpret_cast<char*>(const_cast<std::uint8_t*>(data));
    std::FILE* stream = fmemopen(bytes, size == 0 ? 1 : size, "r");
    if (stream == nullptr) return 0;
    if (size == 0) std::fgetc(stream);  // an empty input: start at the end
    Model model;
    const bool loaded = model.loadStream(stream, "fuzz");
    std::fclose(stream);
    // Creating and removing the log file on every run would cost more than the load itself.
    static unsigned runs = 0;
    if (++runs % 4096 == 0) clearLog();

    if (!loaded) {
        require(model.numofjoints == 0 && model.joints == nullptr && model.framerate == 1 && model.numofframe == 0);
        return 0;
    }
    checkLoaded(model);
    const Model copy = model;
    require(copy.joints == model.joints);
    model.computeFaceNormals();
    for (int j = -1; j <= model.numofjoints; ++j) {
        for (const int p : {-1, 0, 1, 1000}) {
            for (int component = 0; component <= 6; ++component) (void)model.pointValue(j, p, component);
        }
    }
    Model other = copy;
    other.setPosition(0.5f, -0.25f, 1);
    Collision collision;
    if (collision.test(model, other)) {
        const int side = collision.contactSide(model, other);
        require(side >= 0 && side <= 6);
    }
    return 0;
}
