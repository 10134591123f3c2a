#include "studio/audio/fft_stages.h"

#include <algorithm>
#include <cstring>

// On x86-64 the paired stages also exist as an AVX2 build, chosen once at run time. The
// arithmetic is the same (no fused multiply-add), only the vector width differs.
#if defined(__x86_64__) && defined(__GNUC__)
#define QM_FFT_HAVE_AVX2 1
#else
#define QM_FFT_HAVE_AVX2 0
#endif

namespace qm::audio {
namespace {

using Vec2 = double __attribute__((vector_size(2 * sizeof(double))));
using Vec4 = double __attribute__((vector_size(4 * sizeof(double))));

// Vectors travel by reference only: passing wide vectors by value would tie these helpers to a
// calling convention that differs between AVX and non-AVX builds.
template <typename V>
inline void load(V& v, const double* p) {
    std::memcpy(&v, p, sizeof v);
}

template <typename V>
inline void store(double* p, const V& v) {
    std::memcpy(p, &v, sizeof v);
}

// One butterfly, written once for scalars and vectors so that every pass rounds alike.
template <typename T>
inline void butterfly(T& reJ, T& imJ, T& reK, T& imK, const T& wr, const T& wi) {
    const T tr = wr * reK - wi * imK;
    const T ti = wr * imK + wi * reK;
    reK = reJ - tr;
    imK = imJ - ti;
    reJ = reJ + tr;
    imJ = imJ + ti;
}

// Each group of four points A, B, C, D (`half` apart) goes through the butterflies A-B and C-D
// of the first stage and A-C and B-D of the second while it sits in registers.
template <typename V>
[[gnu::always_inline]] inline void stagePairKernel(const FftPlan& plan, std::size_t half,
                                                   double* re, double* im) {
    constexpr std::size_t kLanes = sizeof(V) / sizeof(double);
    const double* firstReal = plan.twiddleReal.data() + (half - 1);
    const double* firstImaginary = plan.twiddleImaginary.data() + (half - 1);
    const double* secondReal = plan.twiddleReal.data() + (2 * half - 1);
    const double* secondImaginary = plan.twiddleImaginary.data() + (2 * half - 1);
    for (std::size_t base = 0; base < kFftSize; base += 4 * half) {
        double* reA = re + base;
        double* imA = im + base;
        double* reB = reA + half;
        double* imB = imA + half;
        double* reC = reB + half;
        double* imC = imB + half;
        double* reD = reC + half;
        double* imD = imC + half;
        for (std::size_t n = 0; n < half; n += kLanes) {
            V ar, ai, br, bi, cr, ci, dr, di, w1r, w1i, w2r, w2i, w3r, w3i;
            load(ar, reA + n);
            load(ai, imA + n);
            load(br, reB + n);
            load(bi, imB + n);
            load(cr, reC + n);
            load(ci, imC + n);
            load(dr, reD + n);
            load(di, imD + n);
            load(w1r, firstReal + n);
            load(w1i, firstImaginary + n);
            load(w2r, secondReal + n);
            load(w2i, secondImaginary + n);
            load(w3r, secondReal + half + n);
            load(w3i, secondImaginary + half + n);
            butterfly(ar, ai, br, bi, w1r, w1i);
            butterfly(cr, ci, dr, di, w1r, w1i);
            butterfly(ar, ai, cr, ci, w2r, w2i);
            butterfly(br, bi, dr, di, w3r, w3i);
            store(reA + n, ar);
            store(imA + n, ai);
            store(reB + n, br);
            store(imB + n, bi);
            store(reC + n, cr);
            store(imC + n, ci);
            store(reD + n, dr);
            store(imD + n, di);
        }
    }
}

void stagePairBaseline(const FftPlan& plan, std::size_t half, double* re, double* im) {
    stagePairKernel<Vec2>(plan, half, re, im);
}

#if QM_FFT_HAVE_AVX2
__attribute__((target("avx2"))) void stagePairAvx2(const FftPlan& plan, std::size_t half,
                                                   double* re, double* im) {
    stagePairKernel<Vec4>(plan, half, re, im);
}
#endif

using StagePairFn = void (*)(const FftPlan&, std::size_t, double*, double*);

StagePairFn chooseStagePair() {
#if QM_FFT_HAVE_AVX2
    if (__builtin_cpu_supports("avx2")) {
        return stagePairAvx2;
    }
#endif
    return stagePairBaseline;
}

}  // namespace

void loadAndFirstStage(const FftPlan& plan, const double* input, double* re, double* im) {
    if (!plan.unitFirstTwiddle) {
        for (std::size_t i = 0; i < kFftSize; ++i) {
            re[i] = input[plan.bitReversed[i]];
            im[i] = 0.0;
        }
        runStage(plan, 1, re, im);
        return;
    }
    // With w = 1 + 0i and a zero imaginary part the butterfly is a sum and a difference, and the
    // imaginary part stays +0: the general butterfly's numbers for every finite input.
    for (std::size_t i = 0; i < kFftSize; i += 2) {
        const double a = input[plan.bitReversed[i]];
        const double b = input[plan.bitReversed[i + 1]];
        re[i] = a + b;
        re[i + 1] = a - b;
    }
    std::fill(im, im + kFftSize, 0.0);
}

void runStage(const FftPlan& plan, std::size_t half, double* re, double* im) {
    const double* wr = plan.twiddleReal.data() + (half - 1);
    const double* wi = plan.twiddleImaginary.data() + (half - 1);
    for (std::size_t base = 0; base < kFftSize; base += 2 * half) {
        for (std::size_t n = 0; n < half; ++n) {
            const std::size_t j = base + n;
            const std::size_t k = j + half;
            butterfly(re[j], im[j], re[k], im[k], wr[n], wi[n]);
        }
    }
}

void runStagePair(const FftPlan& plan, std::size_t half, double* re, double* im) {
    static const StagePairFn kernel = chooseStagePair();
    kernel(plan, half, re, im);
}

}  // namespace qm::audio
