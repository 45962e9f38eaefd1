// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "projections/ProjectionTypes.h"

#include "projections/GridBatch.h"
#include "projections/KestrelLocal.h"
#include "projections/Lambert.h"
#include "projections/Local.h"
#include "projections/PolarStereo.h"
#include "projections/RDProj.h"
#include "projections/StaOff.h"
#include "projections/TransverseMercator.h"
#include "projections/simd/LambertSimd.h"
#include "projections/simd/PolarStereoSimd.h"
#include "projections/simd/RDProjSimd.h"
#include "projections/simd/TransverseMercatorSimd.h"

namespace gw {

namespace {

template <class P> Projection* make(char* init) { return new P(init); }

// The batch operations of class P, by the function of its unit; a projection
// whose type code names another class (its code changed by hand) gets none.
template <class P, std::unique_ptr<GridBatch> (*Of)(P&)> std::unique_ptr<GridBatch> batchOf(Projection& p) {
    P* concrete = dynamic_cast<P*>(&p);
    if (concrete == nullptr) return std::make_unique<GridBatchOf<NoRules>>(p, NoRules{});
    return Of(*concrete);
}

constexpr ProjectionTypeInfo kTypes[] = {
    {ProjectionType::transverseMercator, "TransverseMercator", &make<TransverseMercator>,
     &batchOf<TransverseMercator, &transverseMercatorBatch>, &transverseMercatorSettingKeys, &transverseMercatorFields},
    {ProjectionType::lambert, "Lambert", &make<Lambert>, &batchOf<Lambert, &lambertBatch>, &lambertSettingKeys,
     &lambertFields},
    {ProjectionType::kestrelLocal, "KestrelLocal", &make<KestrelLocal>, nullptr, &kestrelLocalSettingKeys,
     &kestrelLocalFields},
    {ProjectionType::polarStereo, "PolarStereo", &make<PolarStereo>, &batchOf<PolarStereo, &polarStereoBatch>,
     &polarStereoSettingKeys, &polarStereoFields},
    {ProjectionType::local, "Local", &make<Local>, nullptr, &localSettingKeys, &localFields},
    {ProjectionType::stationOffset, "StaOff", &make<StaOff>, nullptr, &stationOffsetSettingKeys, &stationOffsetFields},
    {ProjectionType::rd, "RDProj", &make<RDProj>, &batchOf<RDProj, &rdBatch>, &rdSettingKeys, &rdFields},
};

} // namespace

std::span<const ProjectionTypeInfo> projectionTypes() { return kTypes; }

const ProjectionTypeInfo* projectionType(int c) {
    for (const ProjectionTypeInfo& t : kTypes)
        if (code(t.type) == c) return &t;
    return nullptr;
}

std::unique_ptr<GridBatch> gridBatchOf(Projection& concrete) {
    const ProjectionTypeInfo* t = projectionType(concrete.type);
    if (t != nullptr && t->batch != nullptr) return t->batch(concrete);
    return std::make_unique<GridBatchOf<NoRules>>(concrete, NoRules{});
}

} // namespace gw
