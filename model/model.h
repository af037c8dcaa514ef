// Jointed text models: the in-memory record, its loader, animation and drawing, and the
// placement and bounds accessors. Copies of a model share its arrays.
#pragma once

#include <cstdio>
#include <memory>

struct ModelPoint {
    float x = 0, y = 0, z = 0;  // position in the joint's own frame
    float u = 0, v = 0;         // texture coordinates
};

struct ModelFace {
    int a = 0, b = 0, c = 0;       // corners: indices into the same joint's points
    float nx = 0, ny = 0, nz = 0;  // unit normal, written by computeFaceNormals
};

struct Joint {
    int pointCount = 0;
    int faceCount = 0;
    std::shared_ptr<ModelFace[]> faces;
    std::shared_ptr<ModelPoint[]> points;
    // Per animation frame: translation, then rotations in degrees about x, y and z.
    std::shared_ptr<float[]> tx, ty, tz;
    std::shared_ptr<float[]> rx, ry, rz;
    // Bounds of this joint's points; they always contain the origin.
    float maxX = 0, maxY = 0, maxZ = 0, minX = 0, minY = 0, minZ = 0;
};

class Model {
public:
    float posX = 0, posY = 0, posZ = 0;  // world placement, used only by the box tests
    float drawScratch[9] = {};           // per-vertex temporaries of the drawing operations
    bool wireframe = false;
    int nowTick = 0;       // tick read by the last frame step
    int lastStepTick = 0;  // tick of the last frame change
    int framerate = 0;     // frames per second; below 1 the animation stands still
    int numofframe = 0;
    int currentFrame = 0;
    int numofjoints = 0;
    bool paused = false;
    // Bounds of all points, untransformed; they always contain the origin.
    float maxX = 0, maxY = 0, maxZ = 0, minX = 0, minY = 0, minZ = 0;
    unsigned int texture = 0;  // GL texture name bound by draw; not owned
    std::shared_ptr<Joint[]> joints;

    // Fills this model from a text model file and returns a copy sharing its arrays. A file
    // that cannot be read or is refused leaves the model empty (no joints, framerate 1) and
    // prints the reason, with the file and line, on stderr.
    Model load(const char* fileName);
    // As load, but says whether the file was loaded.
    bool loadFile(const char* fileName);
    // As loadFile, from an open seekable stream positioned at the model's first line;
    // `fileName` names it in the log and the messages. The stream is left open.
    bool loadStream(std::FILE* file, const char* fileName);

    // Puts the next line that is neither a comment nor blank into `buffer` (255 bytes): at
    // most 254 characters, ending after a line end. False, with `buffer` empty, at the end
    // of the input.
    bool readLine(std::FILE* file, char* buffer);
    // Resets the animation state and allocates the joints and their frame arrays.
    void prepare();
    // Allocates the faces and points of one joint from its counts.
    void allocateGeometry(int jointIndex);
    // Component 1 to 5 (x, y, z, u, v) of a point; 0 for any index out of range.
    float pointValue(int jointIndex, int pointIndex, int component) const;

    // Steps the animation by the tick clock, then draws every joint (jointIndex -1) or the
    // one joint given; an index of no joint draws nothing. Needs a current GL context and
    // leaves the model-view matrix as found.
    void draw(int jointIndex);
    // Draws each face normal as a unit line, red at the face and blue at the tip, in the
    // current frame. Does not step the animation.
    void drawNormals();

    void setPosition(float x, float y, float z);
    float getPosX() const { return posX; }
    float getPosY() const { return posY; }
    float getPosZ() const { return posZ; }
    float getMaxX() const { return maxX; }
    float getMaxY() const { return maxY; }
    float getMaxZ() const { return maxZ; }
    float getMinX() const { return minX; }
    float getMinY() const { return minY; }
    float getMinZ() const { return minZ; }
    void toggleWireframe() { wireframe = !wireframe; }
    // Unit normal of every face from its corners, in the joints' own coordinates.
    void computeFaceNormals();

private:
    void stepAnimation();
    void drawJoint(const Joint& joint);
    void drawJointNormals(const Joint& joint);
    // The frame drawn now, or -1 when there is none to apply (no frames, or a frame out of
    // range): the joints are then drawn in their own coordinates.
    int shownFrame() const;
    // numofjoints, or 0 when no joint array stands behind it.
    int jointTotal() const { return joints != nullptr && numofjoints > 0 ? numofjoints : 0; }
};
