#pragma once
// Two doubles handled as one value. With GCC's vector extension the pair sits in
// one vector register; the plain pair (G729A_SCALAR, or any other compiler) does
// the same IEEE operation on each lane, so both paths give the same bits. These
// helpers implement no clause of G.729: they carry the arithmetic of the functions
// that do.
namespace g729a {

#if defined(__GNUC__) && !defined(G729A_SCALAR)

using Double2 = double __attribute__((vector_size(16)));

inline Double2 Load2(const double* p) {
    Double2 v;
    __builtin_memcpy(&v, p, sizeof v);
    return v;
}

inline void Store2(double* p, Double2 v) { __builtin_memcpy(p, &v, sizeof v); }

#else

struct Double2 {
    double lane[2];
    double operator[](int i) const { return lane[i]; }
};

inline Double2 operator+(Double2 a, Double2 b) { return {a.lane[0] + b.lane[0], a.lane[1] + b.lane[1]}; }
inline Double2 operator-(Double2 a, Double2 b) { return {a.lane[0] - b.lane[0], a.lane[1] - b.lane[1]}; }
inline Double2 operator*(Double2 a, Double2 b) { return {a.lane[0] * b.lane[0], a.lane[1] * b.lane[1]}; }
inline Double2& operator+=(Double2& a, Double2 b) { return a = a + b; }

inline Double2 Load2(const double* p) { return Double2{p[0], p[1]}; }

inline void Store2(double* p, Double2 v) {
    p[0] = v.lane[0];
    p[1] = v.lane[1];
}

#endif

inline Double2 Splat(double v) { return Double2{v, v}; }

}  // namespace g729a
