#pragma once
// A drawable object with a model matrix that the animation step turns and
// moves. Mesh and Cube are the two kinds; both share rotate and translate
// from here. draw() binds nothing but the object's vertex array: the caller
// has made the program current and uploaded "M" and the textures.

#include "math/Matrix4.h"

class SceneObject {
public:
    explicit SceneObject(const Matrix4& model) : model(model) {}
    virtual ~SceneObject() = default;

    virtual void update(double deltaTime) = 0;
    // Turns model by deltaTime x 180 degrees about axis, in the object's own frame.
    virtual void rotate(double deltaTime, Vector3& axis) = 0;
    // Moves model by offset in the object's own frame; deltaTime is not used
    // because the caller has already scaled offset by it.
    virtual void translate(double deltaTime, Vector3& offset) = 0;
    virtual void draw() = 0;

    Matrix4 model;  // object to world, column-major
};

// The one implementation of update, rotate and translate that both kinds use.
// A turn in the object's own frame (model x R) leaves the length of each row
// of the model's upper-left 3 x 3 part as it was, whatever the model's scale;
// rotate sets those lengths back to the ones the model was made with, so
// that the rounding of many small turns cannot grow or shrink the object.
class AnimatedObject : public SceneObject {
public:
    explicit AnimatedObject(const Matrix4& model);
    void update(double deltaTime) override;
    void rotate(double deltaTime, Vector3& axis) override;
    void translate(double deltaTime, Vector3& offset) override;

    double rowLengths[3];  // of the model's upper-left 3 x 3 part, as made
};
