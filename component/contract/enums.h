// The contract's two enumerations: which player model, and which features it supports.
#pragma once

enum KVXRModelType : int {
    eMODEL_Unknown = 0,
    eMODEL_PX210 = 1,
    eMODEL_PX260 = 2,
    eMODEL_RQ210 = 3,
    eMODEL_RQ310 = 4,
    eMODEL_VN210 = 5,
    eMODEL_VN310 = 6,
    eMODEL_VN340 = 7,
    eMODEL_WC110 = 8,
    eMODEL_WC140 = 9,
    eMODEL_PX310 = 10,
    eMODEL_PX410 = 11,
};

enum KVXRSupportFeature : int {
    feature_Basic = 0,
    feature_FWUpgrade = 1,
    feature_Radio = 2,
    feature_Logo = 4,
    feature_MediaSearch = 8,
};
