#include "math/Matrix4.h"

#include <cmath>

namespace {

constexpr float kDegreesToRadians = 0.017453292f;

}  // namespace

Matrix4::Matrix4() : Matrix4(1.0f) {}

Matrix4::Matrix4(float s) {
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) m[c][r] = (c == r) ? s : 0.0f;
}

Matrix4 multiply(const Matrix4& a, const Matrix4& b) {
    Matrix4 out(0.0f);
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            out.m[c][r] = a.m[0][r] * b.m[c][0] + a.m[1][r] * b.m[c][1] + a.m[2][r] * b.m[c][2] +
                          a.m[3][r] * b.m[c][3];
    return out;
}

Matrix4 translateBy(const Matrix4& m, const Vector3& v) {
    Matrix4 out = m;
    for (int r = 0; r < 4; ++r)
        out.m[3][r] = m.m[0][r] * v.x + m.m[1][r] * v.y + m.m[2][r] * v.z + m.m[3][r];
    return out;
}

Matrix4 scaleBy(const Matrix4& m, const Vector3& v) {
    Matrix4 out = m;
    const float s[3] = {v.x, v.y, v.z};
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 4; ++r) out.m[c][r] = m.m[c][r] * s[c];
    return out;
}

Matrix4 rotateBy(const Matrix4& m, float angleDegrees, const Vector3& axis) {
    const float a = angleDegrees * kDegreesToRadians;
    const float c = static_cast<float>(std::cos(static_cast<double>(a)));
    const float s = static_cast<float>(std::sin(static_cast<double>(a)));
    const Vector3 n = normalize(axis);
    const Vector3 t = n * (1.0f - c);

    const float rot[3][3] = {
        {c + t.x * n.x, t.x * n.y + s * n.z, t.x * n.z - s * n.y},
        {t.y * n.x - s * n.z, c + t.y * n.y, t.y * n.z + s * n.x},
        {t.z * n.x + s * n.y, t.z * n.y - s * n.x, c + t.z * n.z},
    };

    // Each sum starts from its first product, not from +0, so that three
    // products of -0 give -0.
    Matrix4 out = m;
    for (int col = 0; col < 3; ++col)
        for (int r = 0; r < 4; ++r)
            out.m[col][r] = m.m[0][r] * rot[col][0] + m.m[1][r] * rot[col][1] + m.m[2][r] * rot[col][2];
    return out;
}

Matrix4 lookAt(const Vector3& eye, const Vector3& center, const Vector3& up) {
    const Vector3 f = normalize(center - eye);
    const Vector3 s = normalize(cross(f, up));
    const Vector3 u = cross(s, f);

    Matrix4 out;
    out.m[0][0] = s.x;  out.m[1][0] = s.y;  out.m[2][0] = s.z;
    out.m[0][1] = u.x;  out.m[1][1] = u.y;  out.m[2][1] = u.z;
    out.m[0][2] = -f.x; out.m[1][2] = -f.y; out.m[2][2] = -f.z;
    out.m[3][0] = -dot(s, eye);
    out.m[3][1] = -dot(u, eye);
    out.m[3][2] = dot(f, eye);
    return out;
}

Matrix4 perspective(float fovyDegrees, float aspect, float nearPlane, float farPlane) {
    const float halfAngle = fovyDegrees / 2.0f * kDegreesToRadians;
    const float h = static_cast<float>(std::tan(static_cast<double>(halfAngle)));
    Matrix4 out(0.0f);
    out.m[0][0] = 1.0f / (h * aspect);
    out.m[1][1] = 1.0f / h;
    out.m[2][2] = -(farPlane + nearPlane) / (farPlane - nearPlane);
    out.m[2][3] = -1.0f;
    out.m[3][2] = -(2.0f * farPlane * nearPlane) / (farPlane - nearPlane);
    return out;
}

Matrix4 ortho(float left, float right, float bottom, float top, float nearPlane, float farPlane) {
    Matrix4 out;
    out.m[0][0] = 2.0f / (right - left);
    out.m[1][1] = 2.0f / (top - bottom);
    out.m[2][2] = -2.0f / (farPlane - nearPlane);
    out.m[3][0] = -(right + left) / (right - left);
    out.m[3][1] = -(top + bottom) / (top - bottom);
    out.m[3][2] = -(farPlane + nearPlane) / (farPlane - nearPlane);
    return out;
}

Vector3 transformDirection(const Matrix4& m, const Vector3& v) {
    return {m.m[0][0] * v.x + m.m[1][0] * v.y + m.m[2][0] * v.z,
            m.m[0][1] * v.x + m.m[1][1] * v.y + m.m[2][1] * v.z,
            m.m[0][2] * v.x + m.m[1][2] * v.y + m.m[2][2] * v.z};
}

Vector3 transformPoint(const Matrix4& m, const Vector3& v) {
    const Vector3 d = transformDirection(m, v);
    return {d.x + m.m[3][0], d.y + m.m[3][1], d.z + m.m[3][2]};
}
