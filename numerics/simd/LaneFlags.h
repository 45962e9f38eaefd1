// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// What a vector kernel tells of each lane, beside its results: the steps of its
// iteration, and flags for lanes the kernel's caller converts otherwise.
#ifndef GRIDWISE_NUMERICS_SIMD_LANEFLAGS_H
#define GRIDWISE_NUMERICS_SIMD_LANEFLAGS_H

namespace gw::batch {

// An iteration that reached its cap without meeting its stopping rule.
inline constexpr int kCapped = 0x10;
// A lane that the block kernels leave to the one-point conversion: its iteration
// missed a stopping rule by a hair at some step (the vector functions might decide
// it the other way), or it came near a pole, where the one-point code keeps the
// pole on an infinite step.
inline constexpr int kRedo = 0x20;
// Longitudes (degrees) beyond which the vector sine and cosine lose accuracy: such
// lanes are converted by the one-point steps.
inline constexpr double kVectorLonLimit = 1e4;

} // namespace gw::batch

#endif
