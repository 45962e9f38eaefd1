// Angle reductions on vectors, shared by the vector kernels: included once per
// instruction set from a file compiled with Highway's foreach_target (after
// <hwy/highway.h>), so it has no include guard of the usual kind but the toggle
// Highway gives each target.
#if defined(GRIDWISE_FACADE_VECTORANGLES_INL_H_) == defined(HWY_TARGET_TOGGLE)
#ifdef GRIDWISE_FACADE_VECTORANGLES_INL_H_
#undef GRIDWISE_FACADE_VECTORANGLES_INL_H_
#else
#define GRIDWISE_FACADE_VECTORANGLES_INL_H_
#endif

#include <hwy/highway.h>

HWY_BEFORE_NAMESPACE();
namespace gw::batch::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// One shift of 360 towards zero when |v| exceeds 180 (gw::shiftIntoHalfTurn), on
// degrees.
template <class D, class V> HWY_INLINE V shiftIntoHalfTurn(D d, V v) {
    const V turn = hn::Set(d, 360.0);
    const auto beyond = hn::Gt(hn::Abs(v), hn::Set(d, 180.0));
    const V shifted = hn::IfThenElse(hn::Gt(v, hn::Zero(d)), v - turn,
                                     hn::IfThenElse(hn::Lt(v, hn::Zero(d)), v + turn, v));
    return hn::IfThenElse(beyond, shifted, v);
}

} // namespace gw::batch::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#endif
