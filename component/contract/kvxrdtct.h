// The contract between YoltUtility and the KVXRDTCT component: enumerations, the four dual
// interfaces with their methods in table-slot order, and the identifiers of the library, the
// interfaces and the two classes. KVXRDTCT.json describes the same contract for the type
// library; both must change together.
#pragma once

#include "component/contract/enums.h"
#include "platform/base/bstr.h"
#include "platform/com/dispatch.h"

// {318BF3DE-BA7A-4CB7-ABEC-2F395B00359F}
inline constexpr GUID LIBID_KVXRDTCT = {0x318BF3DE, 0xBA7A, 0x4CB7, {0xAB, 0xEC, 0x2F, 0x39, 0x5B, 0x00, 0x35, 0x9F}};
// {72422BE3-E2CA-45B5-B822-8DF6BF9F0856}
inline constexpr IID IID_IKVXRDevice = {0x72422BE3, 0xE2CA, 0x45B5, {0xB8, 0x22, 0x8D, 0xF6, 0xBF, 0x9F, 0x08, 0x56}};
// {4537EE36-A8F2-4A0C-A5CC-9647CF9BA5F8}
inline constexpr IID IID_IKVXRDetect = {0x4537EE36, 0xA8F2, 0x4A0C, {0xA5, 0xCC, 0x96, 0x47, 0xCF, 0x9B, 0xA5, 0xF8}};
// {2210AC0E-4CC2-470A-8184-96AAA2D6096F}
inline constexpr IID IID_IKVAbout = {0x2210AC0E, 0x4CC2, 0x470A, {0x81, 0x84, 0x96, 0xAA, 0xA2, 0xD6, 0x09, 0x6F}};
// {75482326-668E-4AAB-96EC-5F25A80DB749}
inline constexpr IID IID_IKVLocale = {0x75482326, 0x668E, 0x4AAB, {0x96, 0xEC, 0x5F, 0x25, 0xA8, 0x0D, 0xB7, 0x49}};
// {67862407-52E5-4002-9C71-C1E820F09BDB}
inline constexpr CLSID CLSID_CKVXRDevice = {0x67862407, 0x52E5, 0x4002, {0x9C, 0x71, 0xC1, 0xE8, 0x20, 0xF0, 0x9B, 0xDB}};
// {13CECA47-587B-4255-863D-42FF6B9857A0}
inline constexpr CLSID CLSID_CKVXRDetect = {0x13CECA47, 0x587B, 0x4255, {0x86, 0x3D, 0x42, 0xFF, 0x6B, 0x98, 0x57, 0xA0}};

inline constexpr WORD KVXRDTCT_MajorVersion = 1;
inline constexpr WORD KVXRDTCT_MinorVersion = 0;
inline constexpr LCID KVXRDTCT_Lcid = 0x409;

/// A player found by the detector: a snapshot of its model, names and drive.
struct IKVXRDevice : IDispatch {
    STDMETHOD(get_Model)(KVXRModelType* pVal) = 0;            // slot 7, id 1
    STDMETHOD(get_ModelName)(BSTR* pVal) = 0;                 // slot 8, id 2
    STDMETHOD(get_FullName)(BSTR* pVal) = 0;                  // slot 9, id 3
    STDMETHOD(get_Manufacturer)(BSTR* pVal) = 0;              // slot 10, id 4
    STDMETHOD(get_DrivePath)(BSTR* pVal) = 0;                 // slot 11, id 5
    STDMETHOD(get_SupportFeature)(KVXRSupportFeature* pVal) = 0;  // slot 12, id 6
    STDMETHOD(Recover)() = 0;                                 // slot 13, id 7
    STDMETHOD(FWUpgrade)(BSTR bstrUpgradeFilePath) = 0;       // slot 14, id 8
    STDMETHOD(Eject)() = 0;                                   // slot 15, id 9
    STDMETHOD(FormatDlg)(ULONG ulAppInstance, ULONG ulAppThreadID, ULONG ulQuickFormat, ULONG ulhMainWnd) = 0;  // slot 16, id 10

protected:
    ~IKVXRDevice() = default;
};

/// The detector: finds an attached player and hands out its device object.
struct IKVXRDetect : IDispatch {
    STDMETHOD(GetDeviceCount)(ULONG* pdwCount) = 0;                      // slot 7, id 1
    STDMETHOD(GetDevice)(ULONG nDveice, IKVXRDevice** ppDevice) = 0;     // slot 8, id 2
    STDMETHOD(Recover)(BSTR bstrPackageFilePath, BSTR bstrDeviceRootPath) = 0;  // slot 9, id 3
    STDMETHOD(EjectAll)() = 0;                                           // slot 10, id 4

protected:
    ~IKVXRDetect() = default;
};

/// A descriptive text about the component file.
struct IKVAbout : IDispatch {
    STDMETHOD(GetAboutString)(ULONG Locale, BSTR* ppString) = 0;  // slot 7, id 0x60020000

protected:
    ~IKVAbout() = default;
};

/// The language in which the component looks up its message texts.
struct IKVLocale : IDispatch {
    STDMETHOD(SetLocale)(ULONG Locale) = 0;     // slot 7, id 0x60020000
    STDMETHOD(GetLocale)(ULONG* pLocale) = 0;   // slot 8, id 0x60020001

protected:
    ~IKVLocale() = default;
};
