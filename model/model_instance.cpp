// A model as a placed instance: its position and the face-normal pass over its joints.
#include "engine/vector3.h"
#include "model/model.h"

void Model::setPosition(float x, float y, float z) {
    posX = x;
    posY = y;
    posZ = z;
}

void Model::computeFaceNormals() {
    const int total = jointTotal();
    for (int j = 0; j < total; ++j) {
        Joint& joint = joints[j];
        if (joint.faces == nullptr || joint.points == nullptr) continue;
        for (int k = 0; k < joint.faceCount; ++k) {
            ModelFace& face = joint.faces[k];
            const int corners[3] = {face.a, face.b, face.c};
            Vector3 vec[3];
            bool inRange = true;
            for (int i = 0; i < 3; ++i) {
                if (corners[i] < 0 || corners[i] >= joint.pointCount) {
                    inRange = false;
                    break;
                }
                const ModelPoint& point = joint.points[corners[i]];
                vec[i] = Vector3(point.x, point.y, point.z);
            }
            // A hand-built face with a stray corner keeps the normal it had.
            if (!inRange) continue;
            Vector3 normal;
            FaceNormal(vec, &normal);
            face.nx = normal.x;
            face.ny = normal.y;
            face.nz = normal.z;
        }
    }
}
