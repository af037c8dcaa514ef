// Box overlap, box drawing and contact side for pairs of placed models.
#include "model/collision.h"

#include "engine/vector3.h"
#include "gfx/gfx.h"
#include "model/model.h"

namespace {

// One axis of the test: only the facing pair of edges is compared.
bool meets(float firstPos, float firstMin, float firstMax, float secondPos, float secondMin, float secondMax,
           bool& plus, bool& minus) {
    if (secondPos <= firstPos) {
        minus = secondPos + secondMax >= firstPos + firstMin;
        return minus;
    }
    plus = secondPos + secondMin <= firstPos + firstMax;
    return plus;
}

float penetration(bool plus, float firstPos, float firstMin, float firstMax, float secondPos, float secondMin,
                  float secondMax) {
    if (plus) return AbsoluteValue((firstPos + firstMax) - (secondPos + secondMin));
    return AbsoluteValue((firstPos + firstMin) - (secondPos + secondMax));
}

}  // namespace

bool Collision::test(const Model& first, const Model& second) {
    overlapCount = 0;
    sideXPlus = sideXMinus = sideZPlus = sideZMinus = sideYMinus = sideYPlus = false;
    overlapCount +=
        meets(first.posX, first.minX, first.maxX, second.posX, second.minX, second.maxX, sideXPlus, sideXMinus);
    overlapCount +=
        meets(first.posY, first.minY, first.maxY, second.posY, second.minY, second.maxY, sideYPlus, sideYMinus);
    overlapCount +=
        meets(first.posZ, first.minZ, first.maxZ, second.posZ, second.minZ, second.maxZ, sideZPlus, sideZMinus);
    return overlapCount == 3;
}

void Collision::drawBox(const Model& model) const {
    const float x0 = model.minX, x1 = model.maxX;
    const float y0 = model.minY, y1 = model.maxY;
    const float z0 = model.minZ, z1 = model.maxZ;
    gfx::color4f(1.0f, 1.0f, 1.0f, 0.5f);
    gfx::blendFunc(gfx::kSrcAlpha, gfx::kOne);
    gfx::enable(gfx::kBlend);
    gfx::begin(gfx::kQuads);
    // top
    gfx::vertex3f(x0, y1, z0);
    gfx::vertex3f(x1, y1, z0);
    gfx::vertex3f(x1, y1, z1);
    gfx::vertex3f(x0, y1, z1);
    // z = max
    gfx::vertex3f(x0, y1, z1);
    gfx::vertex3f(x1, y1, z1);
    gfx::vertex3f(x1, y0, z1);
    gfx::vertex3f(x0, y0, z1);
    // z = min
    gfx::vertex3f(x0, y1, z0);
    gfx::vertex3f(x1, y1, z0);
    gfx::vertex3f(x1, y0, z0);
    gfx::vertex3f(x0, y0, z0);
    // bottom
    gfx::vertex3f(x0, y0, z0);
    gfx::vertex3f(x1, y0, z0);
    gfx::vertex3f(x1, y0, z1);
    gfx::vertex3f(x0, y0, z1);
    // x = max
    gfx::vertex3f(x1, y1, z1);
    gfx::vertex3f(x1, y1, z0);
    gfx::vertex3f(x1, y0, z0);
    gfx::vertex3f(x1, y0, z1);
    // x = min
    gfx::vertex3f(x0, y1, z1);
    gfx::vertex3f(x0, y1, z0);
    gfx::vertex3f(x0, y0, z0);
    gfx::vertex3f(x0, y0, z1);
    gfx::end();
    gfx::disable(gfx::kBlend);
    gfx::color4f(1.0f, 1.0f, 1.0f, 1.0f);
}

int Collision::contactSide(const Model& first, const Model& second) const {
    const float x = penetration(sideXPlus, first.posX, first.minX, first.maxX, second.posX, second.minX, second.maxX);
    const float y = penetration(sideYPlus, first.posY, first.minY, first.maxY, second.posY, second.minY, second.maxY);
    const float z = penetration(sideZPlus, first.posZ, first.minZ, first.maxZ, second.posZ, second.minZ, second.maxZ);
    switch (SmallestOfThree(x, y, z)) {
        case 1: return sideXMinus ? 1 : 2;
        case 2: return sideYPlus ? 3 : 4;
        case 3: return sideZPlus ? 5 : 6;
        default: return 0;
    }
}
