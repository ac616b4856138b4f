#include "foundation/matrix.h"

#include <atomic>
#include <cmath>

#include "foundation/matrix_bodies.h"
#include "foundation/processor_features.h"

namespace {

enum product_form_e { form_distinct, form_in_place };

// One process-wide pointer per operation and form. It starts at Bind, which
// stores the body chosen by HasSse and calls it; binding twice stores the same
// body, so a race between first calls is harmless.
template <auto Body, product_form_e Form>
struct product_slot_c;

template <typename... Args, void (*matrix_bodies_c::*Body)(Args...), product_form_e Form>
struct product_slot_c<Body, Form> {
    using body_t = void (*)(Args...);

    static void Bind(Args... args)
    {
        const body_t body = (HasSse() ? SseMatrixBodies() : PlainMatrixBodies()).*Body;
        pointer.store(body, std::memory_order_relaxed);
        body(args...);
    }

    static void Call(Args... args) { pointer.load(std::memory_order_relaxed)(args...); }

    static inline std::atomic<body_t> pointer{&Bind};
};

template <auto Body, typename Out, typename... In>
void Distinct(Out& out, const In&... in)
{
    product_slot_c<Body, form_distinct>::Call(out, in...);
}

template <auto Body, typename Out, typename In>
void InPlace(Out& inOut, const In& right)
{
    product_slot_c<Body, form_in_place>::Call(inOut, inOut, right);
}

} // namespace

// ---- mat3_c ----

void mat3_c::SetIdentity()
{
    *this = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
}

void mat3_c::SetScale(const vec3_c& s)
{
    *this = {{{s.x, 0, 0}, {0, s.y, 0}, {0, 0, s.z}}};
}

void mat3_c::SetTranslation(const vec3_c& t)
{
    *this = {{{1, 0, 0}, {0, 1, 0}, {t.x, t.y, t.z}}};
}

void mat3_c::SetRotation(int axis, float angle)
{
    if (angle == 0.0f) {
        SetIdentity();
        return;
    }
    float s, c;
    SinCos(angle, s, c);
    switch (axis) {
    case 0: *this = {{{1, 0, 0}, {0, c, s}, {0, -s, c}}}; break;
    case 1: *this = {{{c, 0, -s}, {0, 1, 0}, {s, 0, c}}}; break;
    case 2: *this = {{{c, s, 0}, {-s, c, 0}, {0, 0, 1}}}; break;
    default: break;
    }
}

void mat3_c::SetAxisRotation(const vec3_c& axis, float angle)
{
    if (angle == 0.0f) {
        SetIdentity();
        return;
    }
    vec3_c n;
    n.Normalize(axis);
    const float x = n.x, y = n.y, z = n.z;
    float s, c;
    SinCos(angle, s, c);
    const float t = 1.0f - c;
    *this = {{{x * x * t + c, x * y * t + z * s, x * z * t - y * s},
              {x * y * t - z * s, y * y * t + c, y * z * t + x * s},
              {x * z * t + y * s, y * z * t - x * s, z * z * t + c}}};
}

void mat3_c::SetEuler(const euler_c& e)
{
    if (e.heading == 0.0f && e.pitch == 0.0f && e.bank == 0.0f) {
        SetIdentity();
        return;
    }
    float sh, ch, sp, cp, sb, cb;
    SinCos(e.heading, sh, ch);
    SinCos(e.pitch, sp, cp);
    SinCos(e.bank, sb, cb);
    *this = {{{sp * sh * sb + cb * ch, sb * cp, sb * sp * ch - cb * sh},
              {sp * sh * cb - sb * ch, cb * cp, sp * ch * cb + sb * sh},
              {cp * sh, -sp, cp * ch}}};
}

void mat3_c::Transpose()
{
    SetTranspose(mat3_c(*this));
}

void mat3_c::SetTranspose(const mat3_c& source)
{
    const mat3_c s = source;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            m[r][c] = s.m[c][r];
}

void mat3_c::Inverse(mat3_c& out, const mat3_c& in)
{
    const auto& a = in.m;
    mat3_c r;
    r.m[0][0] = a[1][1] * a[2][2] - a[1][2] * a[2][1];
    r.m[0][1] = a[0][2] * a[2][1] - a[0][1] * a[2][2];
    r.m[0][2] = a[0][1] * a[1][2] - a[0][2] * a[1][1];
    r.m[1][0] = a[1][2] * a[2][0] - a[1][0] * a[2][2];
    r.m[1][1] = a[0][0] * a[2][2] - a[0][2] * a[2][0];
    r.m[1][2] = a[0][2] * a[1][0] - a[0][0] * a[1][2];
    r.m[2][0] = a[1][0] * a[2][1] - a[1][1] * a[2][0];
    r.m[2][1] = a[0][1] * a[2][0] - a[0][0] * a[2][1];
    r.m[2][2] = a[0][0] * a[1][1] - a[0][1] * a[1][0];
    const float f = 1.0f / (a[0][0] * r.m[0][0] + a[0][1] * r.m[1][0] + a[0][2] * r.m[2][0]);
    for (auto& row : r.m)
        for (float& v : row)
            v *= f;
    out = r;
}

mat3_c& mat3_c::operator*=(const mat3_c& b)
{
    InPlace<&matrix_bodies_c::mat3Mat3>(*this, b);
    return *this;
}

// ---- mat4x3_c ----

mat4x3_c::mat4x3_c(const mat3_c& r)
{
    SetRotationPart(r);
    SetPosition(vec3_c());
}

void mat4x3_c::SetIdentity()
{
    mat3_c r;
    r.SetIdentity();
    *this = mat4x3_c(r);
}

void mat4x3_c::SetTranslation(const vec3_c& t)
{
    SetIdentity();
    SetPosition(t);
}

void mat4x3_c::SetScale(const vec3_c& s)
{
    mat3_c r;
    r.SetScale(s);
    *this = mat4x3_c(r);
}

void mat4x3_c::SetRotation(int axis, float angle)
{
    // Another axis leaves the rotation part as it was, as in mat3_c.
    mat3_c r = GetRotation();
    r.SetRotation(axis, angle);
    *this = mat4x3_c(r);
}

void mat4x3_c::SetEuler(const euler_c& angles)
{
    mat3_c r;
    r.SetEuler(angles);
    *this = mat4x3_c(r);
}

mat3_c mat4x3_c::GetRotation() const
{
    mat3_c r;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            r.m[i][j] = m[i][j];
    return r;
}

void mat4x3_c::SetRotationPart(const mat3_c& r)
{
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            m[i][j] = r.m[i][j];
}

void mat4x3_c::SetPosition(const vec3_c& t)
{
    m[3][0] = t.x;
    m[3][1] = t.y;
    m[3][2] = t.z;
}

void mat4x3_c::Inverse(mat4x3_c& out, const mat4x3_c& in)
{
    mat3_c r;
    mat3_c::Inverse(r, in.GetRotation());
    const vec3_c t = -(in.GetPosition() * r);
    out.SetRotationPart(r);
    out.SetPosition(t);
}

mat4x3_c& mat4x3_c::operator*=(const mat4x3_c& b)
{
    InPlace<&matrix_bodies_c::mat4x3Mat4x3>(*this, b);
    return *this;
}

bool mat4x3_c::IsEqual(const mat4x3_c& other) const
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 3; ++j)
            if (!(std::fabs(m[i][j] - other.m[i][j]) < kMathEpsilon))
                return false;
    return true;
}

// ---- mat4_c ----

void mat4_c::SetIdentity()
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            m[i][j] = i == j ? 1.0f : 0.0f;
}

void mat4_c::Inverse(mat4_c& out, const mat4_c& in)
{
    Distinct<&matrix_bodies_c::mat4Inverse>(out, in);
}

mat4_c& mat4_c::operator*=(const mat4_c& b)
{
    InPlace<&matrix_bodies_c::mat4Mat4>(*this, b);
    return *this;
}

// ---- products ----

void Multiply(vec3_c& out, const vec3_c& v, const mat3_c& m)
{
    Distinct<&matrix_bodies_c::vec3Mat3>(out, v, m);
}

void Multiply(vec3_c& out, const vec3_c& v, const mat4x3_c& m)
{
    Distinct<&matrix_bodies_c::vec3Mat4x3>(out, v, m);
}

void Multiply(mat3_c& out, const mat3_c& a, const mat3_c& b)
{
    Distinct<&matrix_bodies_c::mat3Mat3>(out, a, b);
}

void Multiply(vec4_c& out, const vec4_c& v, const mat4_c& m)
{
    Distinct<&matrix_bodies_c::vec4Mat4>(out, v, m);
}

void Multiply(mat4x3_c& out, const mat4x3_c& a, const mat4x3_c& b)
{
    Distinct<&matrix_bodies_c::mat4x3Mat4x3>(out, a, b);
}

void Multiply(mat4_c& out, const mat4_c& a, const mat4_c& b)
{
    Distinct<&matrix_bodies_c::mat4Mat4>(out, a, b);
}

namespace {

template <typename Out, typename A, typename B>
Out Product(const A& a, const B& b)
{
    Out r;
    Multiply(r, a, b);
    return r;
}

} // namespace

vec3_c operator*(const vec3_c& v, const mat3_c& m)
{
    return Product<vec3_c>(v, m);
}

vec3_c& operator*=(vec3_c& v, const mat3_c& m)
{
    InPlace<&matrix_bodies_c::vec3Mat3>(v, m);
    return v;
}

vec3_c operator*(const vec3_c& v, const mat4x3_c& m)
{
    return Product<vec3_c>(v, m);
}

vec3_c& operator*=(vec3_c& v, const mat4x3_c& m)
{
    InPlace<&matrix_bodies_c::vec3Mat4x3>(v, m);
    return v;
}

mat3_c operator*(const mat3_c& a, const mat3_c& b)
{
    return Product<mat3_c>(a, b);
}

vec4_c operator*(const vec4_c& v, const mat4_c& m)
{
    return Product<vec4_c>(v, m);
}

vec4_c& operator*=(vec4_c& v, const mat4_c& m)
{
    InPlace<&matrix_bodies_c::vec4Mat4>(v, m);
    return v;
}

mat4x3_c operator*(const mat4x3_c& a, const mat4x3_c& b)
{
    return Product<mat4x3_c>(a, b);
}

mat4_c operator*(const mat4_c& a, const mat4_c& b)
{
    return Product<mat4_c>(a, b);
}
