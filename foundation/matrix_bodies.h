#pragma once
// The two sets of bodies behind the matrix products: plain C++ and SSE. The
// products in foundation/matrix.h choose one set at their first call; tests
// and benchmarks call a set directly to compare them.
#include "foundation/matrix.h"

struct matrix_bodies_c {
    void (*vec3Mat3)(vec3_c& out, const vec3_c& v, const mat3_c& m);
    void (*vec3Mat4x3)(vec3_c& out, const vec3_c& v, const mat4x3_c& m);
    void (*mat3Mat3)(mat3_c& out, const mat3_c& a, const mat3_c& b);
    void (*vec4Mat4)(vec4_c& out, const vec4_c& v, const mat4_c& m);
    void (*mat4x3Mat4x3)(mat4x3_c& out, const mat4x3_c& a, const mat4x3_c& b);
    void (*mat4Mat4)(mat4_c& out, const mat4_c& a, const mat4_c& b);
    void (*mat4Inverse)(mat4_c& out, const mat4_c& in);
};

const matrix_bodies_c& PlainMatrixBodies();

// Throws std::runtime_error on a processor family the SSE bodies are not
// built for; HasSse() is false there, so the products never ask.
const matrix_bodies_c& SseMatrixBodies();
