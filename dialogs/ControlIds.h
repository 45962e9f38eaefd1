// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The resource ids of the dialog templates and of the controls the forms address,
// dialog by dialog. Labels, frames and the OK/Cancel buttons are not listed here
// (see DialogTemplate.h for idOk and idCancel).
#ifndef GRIDWISE_DIALOGS_CONTROLIDS_H
#define GRIDWISE_DIALOGS_CONTROLIDS_H

namespace gw::dlg {

// 7010 "Save As": the name of a new user projection and the refusal message line.
inline constexpr int templateSaveAs = 7010;
inline constexpr int idSaveAsName = 7209;
inline constexpr int idSaveAsMessage = 7210;

// 7011 "Geodetics": projection lists, description lines, datum choice and buttons.
inline constexpr int templateGeodetics = 7011;
inline constexpr int idGeodeticsGeneralList = 7186;
inline constexpr int idGeodeticsSpecificList = 7189;
inline constexpr int idGeodeticsProjectionLine1 = 7107;
inline constexpr int idGeodeticsProjectionLine2 = 7113;
inline constexpr int idGeodeticsProjectionLine3 = 7119;
inline constexpr int idGeodeticsProjectionLine4 = 7175;
inline constexpr int idGeodeticsProjectionLine5 = 7182;
inline constexpr int idGeodeticsProjectionLine6 = 7201;
inline constexpr int idGeodeticsEditProjection = 7160;
inline constexpr int idGeodeticsDatumName = 7137;
inline constexpr int idGeodeticsEllipsoidName = 7145;
inline constexpr int idGeodeticsInverseFlattening = 7153;
inline constexpr int idGeodeticsSemiMajorAxis = 7178;
inline constexpr int idGeodeticsShifts = 7165;
inline constexpr int idGeodeticsRotations = 7172;
inline constexpr int idGeodeticsScale = 7204;
inline constexpr int idGeodeticsUser = 7192;
inline constexpr int idGeodeticsStandard = 7195;
inline constexpr int idGeodeticsStandardList = 7198;
inline constexpr int idGeodeticsEditDatum = 7128;
inline constexpr int idGeodeticsSaveAs = 7100;

// 7012 "Geodetics" (datum): the working ellipsoid and the datum shift.
inline constexpr int templateDatum = 7012;
inline constexpr int idDatumEllipsoidName = 7136;
inline constexpr int idDatumSemiMajorAxis = 7127;
inline constexpr int idDatumInverseFlattening = 7144;
inline constexpr int idDatumName = 7152;
inline constexpr int idDatumDX = 7177;
inline constexpr int idDatumDY = 7181;
inline constexpr int idDatumDZ = 7185;
inline constexpr int idDatumRotX = 7159;
inline constexpr int idDatumRotY = 7164;
inline constexpr int idDatumRotZ = 7171;
inline constexpr int idDatumScale = 7174;

// 7013 "Transverse Mercator": the parameters and the distance unit buttons.
inline constexpr int templateUtm = 7013;
inline constexpr int idUtmName = 7129;
inline constexpr int idUtmCentralMeridian = 7102;
inline constexpr int idUtmFalseNorth = 7114;
inline constexpr int idUtmFalseEast = 7108;
inline constexpr int idUtmLatOfOrigin = 7166;
inline constexpr int idUtmScaleFactor = 7120;
inline constexpr int idUtmMeters = 7138;
inline constexpr int idUtmFeet = 7146;
inline constexpr int idUtmUsFeet = 7154;

// 7014 "Lambert Projection": the parameters and the distance unit buttons.
inline constexpr int templateLambert = 7014;
inline constexpr int idLambertName = 7139;
inline constexpr int idLambertLatOfOrigin = 7103;
inline constexpr int idLambertLonOfOrigin = 7115;
inline constexpr int idLambertFalseEast = 7109;
inline constexpr int idLambertFalseNorth = 7167;
inline constexpr int idLambertFirstParallel = 7121;
inline constexpr int idLambertSecondParallel = 7130;
inline constexpr int idLambertMeters = 7161;
inline constexpr int idLambertFeet = 7147;
inline constexpr int idLambertUsFeet = 7155;

// 7015 "Polar Sterographic": the parameters and the distance unit buttons.
inline constexpr int templatePolarStereo = 7015;
inline constexpr int idPolarStereoName = 7131;
inline constexpr int idPolarStereoLatOfOrigin = 7168;
inline constexpr int idPolarStereoLonOfOrigin = 7104;
inline constexpr int idPolarStereoFalseNorth = 7116;
inline constexpr int idPolarStereoFalseEast = 7110;
inline constexpr int idPolarStereoScaleFactor = 7122;
inline constexpr int idPolarStereoMeters = 7140;
inline constexpr int idPolarStereoFeet = 7148;
inline constexpr int idPolarStereoUsFeet = 7156;

// 7016 "Data Units": the distance unit list and the two display style groups.
inline constexpr int templateDataUnits = 7016;
inline constexpr int idDataUnitsDistance = 7105;
inline constexpr int idDataUnitsDegMin = 7111;
inline constexpr int idDataUnitsDegMinSec = 7123;
inline constexpr int idDataUnitsLatLon = 7162;
inline constexpr int idDataUnitsGrid = 7169;

// 7017 "Kestrel Local Coordinate System": the coefficients, the base's description,
// its Edit button and the candidate bases.
inline constexpr int templateKestrelLocal = 7017;
inline constexpr int idKestrelLocalToNNorth = 7106;
inline constexpr int idKestrelLocalToNEast = 7112;
inline constexpr int idKestrelLocalToNConst = 7118;
inline constexpr int idKestrelLocalToENorth = 7124;
inline constexpr int idKestrelLocalToEEast = 7133;
inline constexpr int idKestrelLocalToEConst = 7142;
inline constexpr int idKestrelNToLocalNorth = 7150;
inline constexpr int idKestrelNToLocalEast = 7158;
inline constexpr int idKestrelNToLocalConst = 7163;
inline constexpr int idKestrelEToLocalNorth = 7170;
inline constexpr int idKestrelEToLocalEast = 7173;
inline constexpr int idKestrelEToLocalConst = 7176;
inline constexpr int idKestrelLine1 = 7187;
inline constexpr int idKestrelLine2 = 7190;
inline constexpr int idKestrelLine3 = 7193;
inline constexpr int idKestrelLine4 = 7196;
inline constexpr int idKestrelLine5 = 7199;
inline constexpr int idKestrelLine6 = 7202;
inline constexpr int idKestrelEdit = 7179;
inline constexpr int idKestrelBases = 7183;

// 7018 "Local Coordinate System": the flat grid's origin.
inline constexpr int templateLocal = 7018;
inline constexpr int idLocalLat = 7125;
inline constexpr int idLocalLon = 7134;

// 7019 "Station/Offset System": the baseline, the base's description, its Edit
// button and a list that stays empty.
inline constexpr int templateStationOffset = 7019;
inline constexpr int idStaOffStartLat = 7126;
inline constexpr int idStaOffStartLon = 7135;
inline constexpr int idStaOffEndLat = 7143;
inline constexpr int idStaOffEndLon = 7151;
inline constexpr int idStaOffLine1 = 7188;
inline constexpr int idStaOffLine2 = 7191;
inline constexpr int idStaOffLine3 = 7194;
inline constexpr int idStaOffLine4 = 7197;
inline constexpr int idStaOffLine5 = 7200;
inline constexpr int idStaOffLine6 = 7203;
inline constexpr int idStaOffEdit = 7180;
inline constexpr int idStaOffList = 7184;

} // namespace gw::dlg

#endif
