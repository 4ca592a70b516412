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
class AnimatedObject : public SceneObject {
public:
    using SceneObject::SceneObject;
    void update(double deltaTime) override;
    void rotate(double deltaTime, Vector3& axis) override;
    void translate(double deltaTime, Vector3& offset) override;
};
