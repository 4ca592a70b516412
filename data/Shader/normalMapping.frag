#version 330 core
// Sunlight on a normal-mapped surface (no shadow map on this program). The
// tangent frame is made orthonormal here; where the mesh's tangent is
// missing or disagrees with the surface's actual texture-space directions
// (tangents taken from vertices that do not form a triangle), the frame is
// rebuilt from screen-space derivatives of position and texture coordinates.

in vec3 worldPosition;
in vec3 worldNormal;
in vec3 worldTangent;
in vec3 worldBitangent;
in vec2 texCoord;
in vec3 eyePosition;

uniform sampler2D colorTexture;
uniform sampler2D normalTexture;
uniform int enableDiscard;
uniform vec3 lightPosition;
uniform vec3 ambientPercentage;
uniform vec3 specularPercentage;

out vec4 fragColor;

const float WATER_LEVEL = -0.61;
const vec3 SUN_COLOR = vec3(1.0, 0.93, 0.80);
const float SUN_STRENGTH = 1.25;
const vec3 FILL_COLOR = vec3(0.86, 0.95, 1.08);
const float SHININESS = 48.0;
const float MIN_LENGTH = 1e-6;
const float TANGENT_AGREEMENT = 0.8;

// The component of v perpendicular to the unit vector n, normalised; zero
// when v has (almost) none.
vec3 perpendicular(vec3 v, vec3 n) {
    vec3 p = v - n * dot(n, v);
    float len = length(p);
    return len > MIN_LENGTH ? p / len : vec3(0.0);
}

// Any unit vector perpendicular to n.
vec3 anyPerpendicular(vec3 n) {
    vec3 axis = abs(n.x) < 0.9 ? vec3(1.0, 0.0, 0.0) : vec3(0.0, 1.0, 0.0);
    return normalize(cross(n, axis));
}

mat3 tangentFrame(vec3 n, vec3 derivedTangent, vec3 derivedBitangent) {
    vec3 meshTangent = perpendicular(worldTangent, n);
    vec3 fromDerivatives = perpendicular(derivedTangent, n);
    bool meshAgrees = dot(meshTangent, fromDerivatives) > TANGENT_AGREEMENT
                      || (fromDerivatives == vec3(0.0) && meshTangent != vec3(0.0));
    vec3 t = meshAgrees ? meshTangent : fromDerivatives;
    if (t == vec3(0.0)) t = anyPerpendicular(n);

    vec3 b = cross(n, t);
    vec3 bitangentHint = meshAgrees && dot(worldBitangent, worldBitangent) > MIN_LENGTH
                         ? worldBitangent : derivedBitangent;
    if (dot(b, bitangentHint) < 0.0) b = -b;
    return mat3(t, b, n);
}

void main() {
    // Derivatives first, while every fragment of the quad is still running.
    vec3 dpdx = dFdx(worldPosition);
    vec3 dpdy = dFdy(worldPosition);
    vec2 dtdx = dFdx(texCoord);
    vec2 dtdy = dFdy(texCoord);
    vec4 texel = texture(colorTexture, texCoord);
    vec3 mapped = texture(normalTexture, texCoord).rgb * 2.0 - 1.0;

    if (enableDiscard == 1 && worldPosition.y < WATER_LEVEL) discard;

    vec3 n = normalize(worldNormal);
    vec3 acrossY = cross(dpdy, n);
    vec3 acrossX = cross(n, dpdx);
    vec3 derivedTangent = acrossY * dtdx.x + acrossX * dtdy.x;
    vec3 derivedBitangent = acrossY * dtdx.y + acrossX * dtdy.y;
    vec3 bumped = normalize(tangentFrame(n, derivedTangent, derivedBitangent) * mapped);

    vec3 albedo = texel.rgb * texel.rgb;  // gamma 2
    vec3 toLight = normalize(lightPosition);
    vec3 toEye = normalize(eyePosition - worldPosition);
    vec3 sun = SUN_COLOR * SUN_STRENGTH;

    float diffuse = max(dot(bumped, toLight), 0.0);
    // The geometric normal decides which side is lit, so the bumps cannot
    // catch light on the far side of the sphere.
    float facing = smoothstep(-0.05, 0.15, dot(n, toLight));
    vec3 halfway = normalize(toLight + toEye);
    float specular = pow(max(dot(bumped, halfway), 0.0), SHININESS) * facing;

    vec3 light = ambientPercentage * FILL_COLOR + (vec3(1.0) - ambientPercentage) * sun * diffuse * facing;
    vec3 color = albedo * light + specularPercentage * sun * specular;
    fragColor = vec4(sqrt(color), 1.0);
}
