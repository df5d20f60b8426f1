#pragma once
#include <cstdint>
#if defined(__GNUC__) && !defined(G729A_SCALAR) && defined(__SSE2__)
#include <emmintrin.h>
#endif
// Four floats handled as one value, for estimates that an exact computation in double
// precision then confirms (the codebook searches). With GCC's vector extension the four
// sit in one vector register; otherwise (G729A_SCALAR, other compilers) they are four
// plain floats. Like double2.h, these helpers implement no clause of G.729.
namespace g729a {

#if defined(__GNUC__) && !defined(G729A_SCALAR)

using Float4 = float __attribute__((vector_size(16)));

// Four 16-bit integers, each made an exact float.
inline Float4 Load4(const int16_t* p) {
#if defined(__SSE2__)
    // The compiler's own conversion goes through scalar registers on 32-bit x86.
    const __m128i words = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
    return Float4(_mm_cvtepi32_ps(_mm_srai_epi32(_mm_unpacklo_epi16(words, words), 16)));
#else
    typedef int16_t Short4 __attribute__((vector_size(8)));
    Short4 v;
    __builtin_memcpy(&v, p, sizeof v);
    return __builtin_convertvector(v, Float4);
#endif
}

inline void Store4(float* p, Float4 v) { __builtin_memcpy(p, &v, sizeof v); }

#else

struct Float4 {
    float lane[4];
    float operator[](int i) const { return lane[i]; }
};

inline Float4 operator-(Float4 a, Float4 b) {
    return {a.lane[0] - b.lane[0], a.lane[1] - b.lane[1], a.lane[2] - b.lane[2], a.lane[3] - b.lane[3]};
}
inline Float4 operator*(Float4 a, Float4 b) {
    return {a.lane[0] * b.lane[0], a.lane[1] * b.lane[1], a.lane[2] * b.lane[2], a.lane[3] * b.lane[3]};
}
inline Float4& operator+=(Float4& a, Float4 b) {
    for (int i = 0; i < 4; ++i) a.lane[i] += b.lane[i];
    return a;
}

inline Float4 Load4(const int16_t* p) { return {float(p[0]), float(p[1]), float(p[2]), float(p[3])}; }

inline void Store4(float* p, Float4 v) {
    for (int i = 0; i < 4; ++i) p[i] = v.lane[i];
}

#endif

inline Float4 Splat4(float v) { return Float4{v, v, v, v}; }

}  // namespace g729a
