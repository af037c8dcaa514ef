// Shader sources: one template per stage with the key's features as preprocessor switches.
#include "gfx/gles3/shaders.h"

#include "gfx/gles3/line_ends.h"

namespace gfx::gles3 {

namespace {

const char* const kPrelude = R"(#version 300 es
precision highp float;
precision highp int;
)";

// Vertex processing of OpenGL 1.x: the eye position, the lit colours (front and back) or the
// clamped vertex colour, and the generated texture coordinates. Normals stay as long as the
// model-view matrix makes them unless GL_NORMALIZE is on, as fixed function leaves them.
const char* const kProcess = R"(
uniform mat4 uMvp;
uniform mat4 uModelview;
uniform mat3 uNormalMatrix;
#if LIGHTS > 0
uniform vec4 uLightAmbient[LIGHTS];
uniform vec4 uLightDiffuse[LIGHTS];
uniform vec4 uLightSpecular[LIGHTS];
uniform vec4 uLightPosition[LIGHTS];
uniform vec4 uLightSpot[LIGHTS];         // direction, cosine of the cutoff (-2: no spot)
uniform vec4 uLightAttenuation[LIGHTS];  // constant, linear, quadratic, spot exponent
#endif
#if LIGHTING
uniform vec4 uMaterialAmbient;
uniform vec4 uMaterialDiffuse;
uniform vec4 uMaterialSpecular;
uniform vec4 uMaterialEmission;
uniform float uShininess;
uniform vec4 uLightModelAmbient;
#endif

struct Processed {
    vec4 clip;
    vec4 front;
    vec4 back;
    vec2 texCoord;
};

#if LIGHTING
vec4 lit(vec3 eye, vec3 n, vec4 ambient, vec4 diffuse) {
    vec4 c = uMaterialEmission + ambient * uLightModelAmbient;
#if LIGHTS > 0
    for (int i = 0; i < LIGHTS; ++i) {
        vec3 toLight;
        float attenuation = 1.0;
        if (uLightPosition[i].w != 0.0) {
            toLight = uLightPosition[i].xyz / uLightPosition[i].w - eye;
            float d = length(toLight);
            toLight = toLight / d;
            vec3 k = uLightAttenuation[i].xyz;
            attenuation = 1.0 / (k.x + k.y * d + k.z * d * d);
        } else {
            toLight = normalize(uLightPosition[i].xyz);
        }
        if (uLightSpot[i].w >= -1.0) {
            float spot = dot(-toLight, normalize(uLightSpot[i].xyz));
            attenuation *= spot < uLightSpot[i].w ? 0.0 : pow(max(spot, 0.0), uLightAttenuation[i].w);
        }
        float nDotL = max(dot(n, toLight), 0.0);
#if LOCAL_VIEWER
        vec3 h = normalize(toLight + normalize(-eye));
#else
        vec3 h = normalize(toLight + vec3(0.0, 0.0, 1.0));
#endif
        float nDotH = max(dot(n, h), 0.0);
        float specular = nDotL > 0.0 ? (uShininess == 0.0 ? 1.0 : pow(nDotH, uShininess)) : 0.0;
        c.rgb += attenuation * (ambient.rgb * uLightAmbient[i].rgb + nDotL * diffuse.rgb * uLightDiffuse[i].rgb +
                                specular * uMaterialSpecular.rgb * uLightSpecular[i].rgb);
    }
#endif
    return vec4(clamp(c.rgb, 0.0, 1.0), clamp(diffuse.a, 0.0, 1.0));
}
#endif

float generated(int mode, vec4 object, vec3 eye, vec2 sphere, int axis) {
    if (mode == 1) return sphere[axis];
    if (mode == 2) return axis == 0 ? eye.x : eye.y;
    return axis == 0 ? object.x : object.y;
}

Processed process(vec4 position, vec4 colour, vec3 normal, vec2 texCoord) {
    Processed p;
    p.clip = uMvp * position;
#if LIGHTING || GEN_S > 0 || GEN_T > 0
    vec4 eye4 = uModelview * position;
    vec3 eye = eye4.xyz / eye4.w;
    vec3 n = uNormalMatrix * normal;
#if NORMALIZE
    n = normalize(n);
#endif
#endif
#if LIGHTING
#if COLOR_MATERIAL
    vec4 ambient = colour, diffuse = colour;
#else
    vec4 ambient = uMaterialAmbient, diffuse = uMaterialDiffuse;
#endif
    p.front = lit(eye, n, ambient, diffuse);
#if TWO_SIDE
    p.back = lit(eye, -n, ambient, diffuse);
#else
    p.back = p.front;
#endif
#else
    p.front = clamp(colour, 0.0, 1.0);
    p.back = p.front;
#endif
    p.texCoord = texCoord;
#if GEN_S > 0 || GEN_T > 0
    vec3 u = normalize(eye);
    vec3 r = u - 2.0 * n * dot(n, u);
    float m = 2.0 * sqrt(r.x * r.x + r.y * r.y + (r.z + 1.0) * (r.z + 1.0));
    vec2 sphere = r.xy / m + 0.5;
#if GEN_S > 0
    p.texCoord.s = generated(GEN_S, position, eye, sphere, 0);
#endif
#if GEN_T > 0
    p.texCoord.t = generated(GEN_T, position, eye, sphere, 1);
#endif
#endif
    return p;
}
)";

const char* const kPrimitivesMain = R"(
layout(location = 0) in vec4 aPosition;
layout(location = 1) in vec4 aColour;
layout(location = 2) in vec3 aNormal;
layout(location = 3) in vec2 aTexCoord;
INTERPOLATION out vec4 vFront;
#if TWO_SIDE
INTERPOLATION out vec4 vBack;
#endif
TEX_INTERPOLATION out vec2 vTexCoord;

void main() {
    Processed p = process(aPosition, aColour, aNormal, aTexCoord);
    gl_Position = p.clip;
    gl_PointSize = 1.0;
    vFront = p.front;
#if TWO_SIDE
    vBack = p.back;
#endif
    vTexCoord = p.texCoord;
}
)";

// A wide or smoothed line: one instance per segment, its two ends read from the same buffer
// a vertex apart, or (FETCH_ENDS) four indexed corners per segment, its ends read from the
// buffer's end texture by the corner's number. The segment is clipped to the near and far
// planes, taken to window coordinates and widened there into a rectangle half a pixel longer
// at each end and half a pixel wider on each side than the line, the margin over which
// coverage falls to zero.
const char* const kWideLinesMain = R"(
#if FETCH_ENDS
uniform highp sampler2D uEnds;
uniform ivec2 uEnd;  // the first segment's first end, and how many ends one segment is from the next
#define CORNER (gl_VertexID & 3)
vec4 fetchEnd(int i) { return texelFetch(uEnds, ivec2(i & (END_TEXTURE_WIDTH - 1), i / END_TEXTURE_WIDTH), 0); }
#else
#define CORNER gl_VertexID
layout(location = 0) in vec4 aPosition0;
layout(location = 4) in vec4 aPosition1;
#endif
layout(location = 1) in vec4 aColour0;
layout(location = 2) in vec3 aNormal0;
layout(location = 3) in vec2 aTexCoord0;
layout(location = 5) in vec4 aColour1;
layout(location = 6) in vec3 aNormal1;
layout(location = 7) in vec2 aTexCoord1;
uniform vec4 uViewport;
uniform float uHalfWidth;
#if CONSTANT_COLOUR
uniform vec4 uColour;
uniform vec2 uTexCoord;
flat out vec4 vColour;  // textured, before coverage
#else
INTERPOLATION out vec4 vFront;
#if TWO_SIDE
INTERPOLATION out vec4 vBack;
#endif
TEX_INTERPOLATION out vec2 vTexCoord;
#endif
// The position in the rectangle in pixels: along the segment from its start and from its end,
// and across it.
out vec3 vRectangle;

void clipEnd(inout Processed a, Processed b, float da, float db) {
    if (da >= 0.0) return;
    float t = da / (da - db);
    a.clip = mix(a.clip, b.clip, t);
    a.front = mix(a.front, b.front, t);
    a.back = mix(a.back, b.back, t);
    a.texCoord = mix(a.texCoord, b.texCoord, t);
}

void main() {
#if FETCH_ENDS
    int first = uEnd.x + (gl_VertexID >> 2) * uEnd.y;
    vec4 aPosition0 = fetchEnd(first), aPosition1 = fetchEnd(first + 1);
#endif
    Processed e0 = process(aPosition0, aColour0, aNormal0, aTexCoord0);
    Processed e1 = process(aPosition1, aColour1, aNormal1, aTexCoord1);
    float near0 = e0.clip.z + e0.clip.w, near1 = e1.clip.z + e1.clip.w;
    float far0 = e0.clip.w - e0.clip.z, far1 = e1.clip.w - e1.clip.z;
    if ((near0 < 0.0 && near1 < 0.0) || (far0 < 0.0 && far1 < 0.0)) {
        gl_Position = vec4(2.0, 2.0, 2.0, 1.0);
        return;
    }
    Processed a = e0, b = e1;
    clipEnd(a, e1, near0, near1);
    clipEnd(b, e0, near1, near0);
    clipEnd(a, b, a.clip.w - a.clip.z, b.clip.w - b.clip.z);
    clipEnd(b, a, b.clip.w - b.clip.z, a.clip.w - a.clip.z);
    vec3 ndc0 = a.clip.xyz / a.clip.w, ndc1 = b.clip.xyz / b.clip.w;
    vec2 halfSize = 0.5 * uViewport.zw;
    vec2 win0 = ndc0.xy * halfSize + (uViewport.xy + halfSize);
    vec2 win1 = ndc1.xy * halfSize + (uViewport.xy + halfSize);
    vec2 d = win1 - win0;
    float len = length(d);
    if (!(len > 0.0)) {
        gl_Position = vec4(2.0, 2.0, 2.0, 1.0);
        return;
    }
    vec2 dir = d / len;
    vec2 across = vec2(-dir.y, dir.x) * (uHalfWidth + 0.5);
    bool atEnd = CORNER >= 2;
    float side = (CORNER & 1) == 1 ? 1.0 : -1.0;
    // Not "atEnd ? b : a": WebGL allows no conditional operator on structures.
    Processed e = a;
    if (atEnd) e = b;
    vec2 corner = (atEnd ? win1 + 0.5 * dir : win0 - 0.5 * dir) + side * across;
    float w = e.clip.w;
    vec2 ndc = (corner - uViewport.xy) / halfSize - 1.0;
    gl_Position = vec4(ndc * w, (atEnd ? ndc1.z : ndc0.z) * w, w);
#if CONSTANT_COLOUR
    // The same at every fragment of the draw: textured here rather than at every fragment.
    vColour = textured(clamp(uColour, 0.0, 1.0), uTexCoord);
#else
    vFront = e.front;
#if TWO_SIDE
    vBack = e.back;
#endif
    vTexCoord = e.texCoord;
#endif
    // The driver interpolates the rectangle's coordinates in perspective, as any attribute.
    vRectangle = vec3(atEnd ? len + 0.5 : -0.5, atEnd ? -0.5 : len + 0.5, side * (uHalfWidth + 0.5));
}
)";

// A bitmap at the raster position: a rectangle of whole pixels whose set bits are read from
// the glyph atlas; the viewport is the whole framebuffer while it draws.
const char* const kBitmapMain = R"(
uniform vec4 uRectangle;  // window corners
uniform vec2 uFramebuffer;
uniform float uDepth;     // normalised device z
void main() {
    vec2 corner = vec2(float(gl_VertexID & 1), float(gl_VertexID >> 1));
    vec2 p = mix(uRectangle.xy, uRectangle.zw, corner);
    gl_Position = vec4(p / uFramebuffer * 2.0 - 1.0, uDepth, 1.0);
}
)";

// The texture environment, in both stages: SAMPLE is the stage's lookup.
const char* const kTexturing = R"(
#if TEXTURE
uniform highp sampler2D uTexture;
#endif
vec4 textured(vec4 c, vec2 texCoord) {
#if TEXTURE
    vec4 t = SAMPLE(uTexture, texCoord);
#if ENV_REPLACE
#if FORMAT_RGBA
    c = t;
#else
    c.rgb = t.rgb;
#endif
#elif ENV_DECAL
#if FORMAT_RGBA
    c.rgb = c.rgb * (1.0 - t.a) + t.rgb * t.a;
#else
    c.rgb = t.rgb;
#endif
#else
    c = c * t;
#endif
#endif
    return c;
}
)";

// In a vertex shader, a coordinate the same at every fragment: no derivatives, so the
// texture is magnified, as the fragments would find it.
const char* const kVertexSample = "#define SAMPLE(s, c) textureLod(s, c, -1000.0)\n";
const char* const kFragmentSample = "#define SAMPLE(s, c) texture(s, c)\n";

const char* const kFragment = R"(
#if KIND_BITMAP
uniform vec4 uRasterColour;
uniform vec2 uRasterTexCoord;
uniform highp sampler2D uAtlas;
uniform ivec2 uAtlasOrigin;  // atlas texel of the bitmap's lower left bit, minus its window pixel
#elif CONSTANT_COLOUR
flat in vec4 vColour;
#else
INTERPOLATION in vec4 vFront;
#if TWO_SIDE
INTERPOLATION in vec4 vBack;
#endif
TEX_INTERPOLATION in vec2 vTexCoord;
#endif
#if KIND_WIDE_LINES
uniform float uHalfWidth;
in vec3 vRectangle;
#endif
out vec4 fragColour;

void main() {
#if KIND_BITMAP
    if (texelFetch(uAtlas, ivec2(gl_FragCoord.xy) + uAtlasOrigin, 0).r < 0.5) discard;
    vec4 c = textured(uRasterColour, uRasterTexCoord);
#elif CONSTANT_COLOUR
    vec4 c = vColour;
#elif TWO_SIDE
    vec4 c = textured(gl_FrontFacing ? vFront : vBack, vTexCoord);
#else
    vec4 c = textured(vFront, vTexCoord);
#endif
#if KIND_WIDE_LINES
    // From the start and from the end, interpolated each on its own: their sum is the length.
    float along = vRectangle.x, back = vRectangle.y, len = along + back;
    float across = abs(vRectangle.z);
#if SMOOTH_LINES
    // Every pixel of the rectangle is drawn, those of no coverage too (with blending off they
    // show, and they write depth), as the driver draws them.
    float coverage = clamp(uHalfWidth + 0.5 - across, 0.0, 1.0) * clamp(min(along, back) + 0.5, 0.0, 1.0) *
                     min(1.0, 2.0 * len / (len + 1.0));
    c.a *= coverage;
#else
    if (across > uHalfWidth || along < 0.0 || back <= 0.0) discard;
#endif
#endif
    fragColour = c;
}
)";

std::string defines(const ProgramKey& key) {
    std::string d;
    const auto define = [&d](const char* name, int value) {
        d += "#define ";
        d += name;
        d += ' ';
        d += std::to_string(value);
        d += '\n';
    };
    define("KIND_WIDE_LINES", key.kind == ProgramKind::kWideLines);
    define("KIND_BITMAP", key.kind == ProgramKind::kBitmap);
    define("LIGHTING", key.lighting);
    define("LIGHTS", key.lighting ? key.lights : 0);
    define("LOCAL_VIEWER", key.localViewer);
    define("TWO_SIDE", key.lighting && key.twoSide);
    define("COLOR_MATERIAL", key.colorMaterial);
    define("NORMALIZE", key.normalize);
    define("GEN_S", static_cast<int>(key.genS));
    define("GEN_T", static_cast<int>(key.genT));
    define("TEXTURE", key.texture);
    define("ENV_REPLACE", key.environment == kReplace);
    define("ENV_DECAL", key.environment == kDecal);
    define("FORMAT_RGBA", key.format == TextureFormat::kRgba);
    define("SMOOTH_LINES", key.smoothLines);
    define("FETCH_ENDS", key.fetchEnds);
    define("CONSTANT_COLOUR", key.constantColour);
    define("END_TEXTURE_WIDTH", kEndTextureWidth);
    d += key.flat ? "#define INTERPOLATION flat\n" : "#define INTERPOLATION smooth\n";
    d += key.flatTexCoord ? "#define TEX_INTERPOLATION flat\n" : "#define TEX_INTERPOLATION smooth\n";
    return d;
}

}  // namespace

std::string vertexSource(const ProgramKey& key) {
    std::string s = kPrelude + defines(key);
    if (key.kind == ProgramKind::kBitmap) return s + kBitmapMain;
    s += kProcess;
    if (key.kind == ProgramKind::kWideLines) {
        if (key.constantColour) s = s + kVertexSample + kTexturing;
        return s + kWideLinesMain;
    }
    return s + kPrimitivesMain;
}

std::string fragmentSource(const ProgramKey& key) {
    return kPrelude + defines(key) + kFragmentSample + kTexturing + kFragment;
}

}  // namespace gfx::gles3
