// Axis-aligned box tests between placed models: overlap with the side of each axis, the
// drawing of a model's box, and the axis and side of least penetration.
#pragma once

class Model;

struct Collision {
    int overlapCount = 0;  // axes, 0 to 3, along which the boxes of the last test meet
    // Per axis, at most one of each pair is set: the second model's position greater than
    // the first's (plus) or not (minus), and the boxes meeting along that axis.
    bool sideXPlus = false;
    bool sideXMinus = false;
    bool sideZPlus = false;
    bool sideZMinus = false;
    bool sideYMinus = false;
    bool sideYPlus = false;

    // True when the world boxes (position plus bounds) meet along all three axes; touching
    // edges meet. Fills the record.
    bool test(const Model& first, const Model& second);
    // The model's bounds, without its position, as a translucent additive box. Leaves
    // blending disabled, the blend function additive and the colour opaque white.
    void drawBox(const Model& model) const;
    // After a test of the same two models that returned true: 1 or 2 for x (1 with the
    // second model on the minus side), 3 or 4 for y and 5 or 6 for z (3 and 5 with it on the
    // plus side), for the axis of strictly least penetration; 0 when no axis is.
    int contactSide(const Model& first, const Model& second) const;
};
