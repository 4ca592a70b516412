#pragma once
// Column-major 4x4 single-precision matrix. Element m[c][r] (column c, row r)
// is stored at position 4*c + r, so data() goes to glUniformMatrix4fv with
// transpose GL_FALSE. Points are column vectors multiplied from the right.
// Angles are in degrees. Every operation returns a fresh matrix.

#include "math/Vector.h"

struct Matrix4 {
    float m[4][4];  // m[column][row]

    Matrix4();                   // identity
    explicit Matrix4(float s);   // s on the diagonal, 0 elsewhere

    const float* data() const { return &m[0][0]; }
    float* data() { return &m[0][0]; }
};

Matrix4 multiply(const Matrix4& a, const Matrix4& b);                   // a x b
Matrix4 translateBy(const Matrix4& m, const Vector3& v);                // m x T(v)
Matrix4 scaleBy(const Matrix4& m, const Vector3& v);                    // m x S(v)
Matrix4 rotateBy(const Matrix4& m, float angleDegrees, const Vector3& axis);  // m x R
Matrix4 lookAt(const Vector3& eye, const Vector3& center, const Vector3& up);
Matrix4 perspective(float fovyDegrees, float aspect, float nearPlane, float farPlane);
Matrix4 ortho(float left, float right, float bottom, float top, float nearPlane, float farPlane);

// The upper-left 3x3 part of m times v (no translation).
Vector3 transformDirection(const Matrix4& m, const Vector3& v);
// m times the point (v, 1), without the perspective divide.
Vector3 transformPoint(const Matrix4& m, const Vector3& v);
