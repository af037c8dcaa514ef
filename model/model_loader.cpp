// The text model loader: one pass over the file through a 255-byte line buffer, arrays
// allocated once from counts read before their lines, and refusal of anything unsafe.
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>

#include "base/html_log.h"
#include "base/report.h"
#include "model/line_scanner.h"
#include "model/model.h"
#include "platform/clock.h"

namespace {

constexpr int kLineLimit = 254;
constexpr int kLogBufferSize = 100;
constexpr const char* kLoadingTail = " model dosyasi yukleniyor...</b><br>";
constexpr const char* kLoadedTail = " model dosyasi yuklendi.</b><br>";

void report(const std::string& message) { base::report(base::Level::kError, message); }

// Where the reader stands in the file, for the size checks and the messages.
struct LinePosition {
    std::int64_t bytes = 0;  // raw bytes consumed
    int line = 1;            // physical line the next byte belongs to
    int lineOfLastRead = 1;  // physical line on which the last meaningful read began
};

// Reads one piece of at most kLineLimit characters, ending after a line end. A carriage
// return before a line feed is dropped, so that a model written with CRLF line ends reads
// exactly as the same model with LF ones.
int readPiece(std::FILE* file, char* buffer, LinePosition* position) {
    int length = 0;
    while (length < kLineLimit) {
        int c = std::getc(file);
        if (c == EOF) break;
        if (position != nullptr) ++position->bytes;
        if (c == '\r') {
            const int next = std::getc(file);
            if (next == '\n') {
                c = '\n';
                if (position != nullptr) ++position->bytes;
            } else if (next != EOF) {
                std::ungetc(next, file);
            }
        }
        buffer[length++] = static_cast<char>(c);
        if (c == '\n') break;
    }
    buffer[length] = '\0';
    return length;
}

bool readMeaningfulLine(std::FILE* file, char* buffer, LinePosition* position) {
    for (;;) {
        if (position != nullptr) position->lineOfLastRead = position->line;
        const int length = readPiece(file, buffer, position);
        if (length == 0) return false;
        if (position != nullptr && buffer[length - 1] == '\n') ++position->line;
        if (buffer[0] != '/' && buffer[0] != '\n') return true;
    }
}

// Formats one log line with the file name cut, at a character boundary, so that the
// whole line fits the log buffer.
void writeModelLog(const char* fileName, const char* tail) {
    char str[kLogBufferSize];
    const std::size_t fixed = std::strlen("<b>") + std::strlen(tail);
    std::size_t nameLength = std::strlen(fileName);
    const std::size_t room = sizeof str - 1 - fixed;
    if (nameLength > room) {
        nameLength = room;
        // Do not split a UTF-8 sequence.
        while (nameLength > 0 && (static_cast<unsigned char>(fileName[nameLength]) & 0xC0) == 0x80) --nameLength;
    }
    std::snprintf(str, sizeof str, "<b>%.*s%s", static_cast<int>(nameLength), fileName, tail);
    writeLog(str);
}

template <class T>
std::shared_ptr<T[]> makeArray(int count) {
    if (count <= 0) return nullptr;
    return std::shared_ptr<T[]>(new T[static_cast<std::size_t>(count)]());
}

void widen(float value, float& maximum, float& minimum) {
    if (value > maximum) {
        maximum = value;
    } else if (value < minimum) {
        minimum = value;
    }
}

// What the reader expected next, for the end-of-file message.
enum class Expect {
    kFirstLine,
    kJointsLine,
    kFramesLine,
    kFramerateLine,
    kJointOpening,
    kPointCount,
    kFaceCount,
    kPoint,
    kFace,
    kJointClosing,
    kFrameOpening,
    kFrameJoint,
    kFrameClosing,
};

std::string describe(Expect expect, int first, int second) {
    const std::string a = std::to_string(first);
    const std::string b = std::to_string(second);
    switch (expect) {
        case Expect::kFirstLine: return "its first line";
        case Expect::kJointsLine: return "the numofjoints line";
        case Expect::kFramesLine: return "the numofframe line";
        case Expect::kFramerateLine: return "the framerate line";
        case Expect::kJointOpening: return "the opening line of joint " + a;
        case Expect::kPointCount: return "the POINT line of joint " + a;
        case Expect::kFaceCount: return "the FACE line of joint " + a;
        case Expect::kPoint: return "point " + b + " of joint " + a;
        case Expect::kFace: return "face " + b + " of joint " + a;
        case Expect::kJointClosing: return "the closing line of joint " + a;
        case Expect::kFrameOpening: return "the opening line of frame " + a;
        case Expect::kFrameJoint: return "joint " + b + " in frame " + a;
        case Expect::kFrameClosing: return "the closing line of frame " + a;
    }
    return "more lines";
}

// One load: reads the grammar into the model and refuses what cannot be loaded safely.
class ModelReader {
public:
    ModelReader(Model& model, std::FILE* file, const char* fileName, std::int64_t size)
        : model_(model), file_(file), fileName_(fileName), size_(size) {}

    bool run() {
        try {
            return readAll();
        } catch (const std::bad_alloc&) {
            return refuse("not enough memory for the model");
        }
    }

private:
    bool readAll() {
        Model& m = model_;
        m.numofjoints = 0;
        m.numofframe = 0;
        m.framerate = 0;
        if (!next(Expect::kFirstLine)) return false;
        if (!next(Expect::kJointsLine)) return false;
        scanLine(oneline_, "numofjoints %d\n", {&m.numofjoints});
        if (!next(Expect::kFramesLine)) return false;
        scanLine(oneline_, "numofframe %d\n", {&m.numofframe});
        if (!next(Expect::kFramerateLine)) return false;
        scanLine(oneline_, "framerate %d\n", {&m.framerate});
        if (m.numofjoints < 0) return refuse("numofjoints is negative (" + std::to_string(m.numofjoints) + ")");
        if (m.numofframe < 0) return refuse("numofframe is negative (" + std::to_string(m.numofframe) + ")");
        if (!fits(4 * static_cast<std::int64_t>(m.numofjoints) + frameLines())) return false;

        m.prepare();
        m.maxX = m.maxY = m.maxZ = m.minX = m.minY = m.minZ = 0;
        for (int j = 0; j < m.numofjoints; ++j) {
            if (!readJoint(j)) return false;
        }
        for (int f = 0; f < m.numofframe; ++f) {
            if (!next(Expect::kFrameOpening, f)) return false;
            for (int j = 0; j < m.numofjoints; ++j) {
                if (!next(Expect::kFrameJoint, f, j)) return false;
                Joint& joint = m.joints[j];
                scanLine(oneline_, "\tjoint %f %f %f %f %f %f",
                         {&joint.tx[f], &joint.ty[f], &joint.tz[f], &joint.rx[f], &joint.ry[f], &joint.rz[f]});
            }
            if (!next(Expect::kFrameClosing, f)) return false;
        }
        return true;
    }

    bool readJoint(int j) {
        Model& m = model_;
        Joint& joint = m.joints[j];
        if (!next(Expect::kJointOpening, j)) return false;
        if (!next(Expect::kPointCount, j)) return false;
        scanLine(oneline_, "\tPOINT %d", {&joint.pointCount});
        if (joint.pointCount < 0) {
            return refuse("joint " + std::to_string(j) + " has a negative POINT count (" +
                          std::to_string(joint.pointCount) + ")");
        }
        if (!next(Expect::kFaceCount, j)) return false;
        scanLine(oneline_, "\tFACE %d", {&joint.faceCount});
        if (joint.faceCount < 0) {
            return refuse("joint " + std::to_string(j) + " has a negative FACE count (" +
                          std::to_string(joint.faceCount) + ")");
        }
        const std::int64_t laterJoints = m.numofjoints - j - 1;
        if (!fits(static_cast<std::int64_t>(joint.pointCount) + joint.faceCount + 1 + 4 * laterJoints + frameLines())) {
            return false;
        }
        m.allocateGeometry(j);
        joint.maxX = joint.maxY = joint.maxZ = joint.minX = joint.minY = joint.minZ = 0;
        for (int p = 0; p < joint.pointCount; ++p) {
            if (!next(Expect::kPoint, j, p)) return false;
            ModelPoint& point = joint.points[p];
            scanLine(oneline_, "\t%f %f %f %f %f", {&point.x, &point.y, &point.z, &point.u, &point.v});
            widen(point.x, joint.maxX, joint.minX);
            widen(point.y, joint.maxY, joint.minY);
            widen(point.z, joint.maxZ, joint.minZ);
            widen(point.x, m.maxX, m.minX);
            widen(point.y, m.maxY, m.minY);
            widen(point.z, m.maxZ, m.minZ);
        }
        for (int k = 0; k < joint.faceCount; ++k) {
            if (!next(Expect::kFace, j, k)) return false;
            ModelFace& face = joint.faces[k];
            const ScanOutcome scan = scanLineOutcome(oneline_, "\t%d.0 %d.0 %d.0", {&face.a, &face.b, &face.c});
            // A corner with no number (nan, inf, a word, the line's end) would stand as point 0
            // unseen; an index without ".0" ends the line early, as the format has it.
            if (scan.numberMissing) {
                static const char* const kOrdinals[] = {"first", "second", "third"};
                return refuse("face " + std::to_string(k) + " of joint " + std::to_string(j) +
                              " gives no point index for its " + kOrdinals[scan.stored] + " corner");
            }
            for (const int corner : {face.a, face.b, face.c}) {
                if (corner < 0 || corner >= joint.pointCount) {
                    return refuse("face " + std::to_string(k) + " of joint " + std::to_string(j) + " uses point " +
                                  std::to_string(corner) + ", but the joint has " + std::to_string(joint.pointCount) +
                                  " points");
                }
            }
        }
        return next(Expect::kJointClosing, j);
    }

    // Lines still needed by the frame blocks.
    std::int64_t frameLines() const {
        return static_cast<std::int64_t>(model_.numofframe) * (static_cast<std::int64_t>(model_.numofjoints) + 2);
    }

    // Refuses counts that need more lines than the rest of the file could hold: every line
    // but the last takes at least two bytes.
    bool fits(std::int64_t linesNeeded) {
        const std::int64_t remaining = size_ - position_.bytes;
        const std::int64_t mostLines = remaining < 0 ? 0 : (remaining + 1) / 2;
        if (linesNeeded <= mostLines) return true;
        return refuse("the counts need " + std::to_string(linesNeeded) +
                      " more lines, but the rest of the file holds at most " + std::to_string(mostLines));
    }

    bool next(Expect expect, int first = 0, int second = 0) {
        if (readMeaningfulLine(file_, oneline_, &position_)) return true;
        position_.lineOfLastRead = position_.line;
        if (std::ferror(file_)) return refuse(std::string("cannot be read (") + std::strerror(errno) + ")");
        return refuse("the file ends before " + describe(expect, first, second));
    }

    bool refuse(const std::string& problem) {
        report(std::string(fileName_) + ":" + std::to_string(position_.lineOfLastRead) + ": " + problem +
               "; the model is left empty");
        return false;
    }

    Model& model_;
    std::FILE* file_;
    const char* fileName_;
    std::int64_t size_;
    LinePosition position_;
    char oneline_[kLineLimit + 1] = {};
};

void emptyModel(Model& model) {
    model.joints.reset();
    model.numofjoints = 0;
    model.numofframe = 0;
    model.framerate = 1;
    model.currentFrame = 0;
    model.wireframe = false;
    model.paused = false;
    model.lastStepTick = static_cast<int>(platform::tickCount());
    model.maxX = model.maxY = model.maxZ = model.minX = model.minY = model.minZ = 0;
}

// Bytes from the stream's position to its end; -1 when the stream cannot seek.
std::int64_t remainingBytes(std::FILE* file) {
    const long start = std::ftell(file);
    if (start < 0 || std::fseek(file, 0, SEEK_END) != 0) return -1;
    const long end = std::ftell(file);
    if (std::fseek(file, start, SEEK_SET) != 0 || end < start) return -1;
    return end - start;
}

bool readModel(Model& model, std::FILE* file, const char* fileName) {
    const std::int64_t size = remainingBytes(file);
    if (size < 0) {
        report(std::string("cannot read model file ") + fileName + ": it cannot be read as a file (" +
               std::strerror(errno) + "); the model is left empty");
        emptyModel(model);
        return false;
    }
    ModelReader reader(model, file, fileName, size);
    if (!reader.run()) {
        emptyModel(model);
        return false;
    }
    return true;
}

}  // namespace

Model Model::load(const char* fileName) {
    loadFile(fileName);
    return *this;
}

bool Model::loadFile(const char* fileName) {
    if (fileName == nullptr) fileName = "";
    writeModelLog(fileName, kLoadingTail);
    std::FILE* file = std::fopen(fileName, "rb");
    if (file == nullptr) {
        report(std::string("cannot open model file ") + fileName + ": " + std::strerror(errno) +
               "; the model is left empty");
        emptyModel(*this);
        return false;
    }
    struct stat status {};
    if (fstat(fileno(file), &status) != 0 || !S_ISREG(status.st_mode)) {
        report(std::string("cannot load model file ") + fileName +
               ": it is not a regular file; the model is left empty");
        std::fclose(file);
        emptyModel(*this);
        return false;
    }
    const bool loaded = readModel(*this, file, fileName);
    std::fclose(file);
    if (loaded) writeModelLog(fileName, kLoadedTail);
    return loaded;
}

bool Model::loadStream(std::FILE* file, const char* fileName) {
    if (fileName == nullptr) fileName = "";
    writeModelLog(fileName, kLoadingTail);
    if (file == nullptr) {
        report(std::string("no stream to read model ") + fileName + " from; the model is left empty");
        emptyModel(*this);
        return false;
    }
    const bool loaded = readModel(*this, file, fileName);
    if (loaded) writeModelLog(fileName, kLoadedTail);
    return loaded;
}

bool Model::readLine(std::FILE* file, char* buffer) { return readMeaningfulLine(file, buffer, nullptr); }

void Model::prepare() {
    wireframe = false;
    paused = false;
    currentFrame = 0;
    lastStepTick = static_cast<int>(platform::tickCount());
    joints = makeArray<Joint>(numofjoints);
    if (joints == nullptr) return;
    for (int j = 0; j < numofjoints; ++j) {
        Joint& joint = joints[j];
        joint.tx = makeArray<float>(numofframe);
        joint.ty = makeArray<float>(numofframe);
        joint.tz = makeArray<float>(numofframe);
        joint.rx = makeArray<float>(numofframe);
        joint.ry = makeArray<float>(numofframe);
        joint.rz = makeArray<float>(numofframe);
    }
}

void Model::allocateGeometry(int jointIndex) {
    if (jointIndex < 0 || jointIndex >= jointTotal()) return;
    Joint& joint = joints[jointIndex];
    joint.faces = makeArray<ModelFace>(joint.faceCount);
    joint.points = makeArray<ModelPoint>(joint.pointCount);
}

float Model::pointValue(int jointIndex, int pointIndex, int component) const {
    if (jointIndex < 0 || jointIndex >= jointTotal()) return 0.0f;
    const Joint& joint = joints[jointIndex];
    if (pointIndex < 0 || pointIndex >= joint.pointCount || joint.points == nullptr) return 0.0f;
    const ModelPoint& point = joint.points[pointIndex];
    switch (component) {
        case 1: return point.x;
        case 2: return point.y;
        case 3: return point.z;
        case 4: return point.u;
        case 5: return point.v;
        default: return 0.0f;
    }
}
