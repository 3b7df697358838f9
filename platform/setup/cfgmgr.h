// The Configuration Manager's device-tree calls, exported by the platform's "SETUPAPI.DLL"
// module and resolved by name.
#pragma once

#include "platform/base/types.h"

typedef DWORD CONFIGRET;
typedef DWORD DEVINST;
typedef DEVINST* PDEVINST;
typedef ULONG* PULONG;

#define CR_SUCCESS 0x00000000
#define CR_DEFAULT 0x00000001
#define CR_OUT_OF_MEMORY 0x00000002
#define CR_INVALID_POINTER 0x00000003
#define CR_INVALID_FLAG 0x00000004
#define CR_INVALID_DEVNODE 0x00000005
#define CR_NO_SUCH_DEVNODE 0x0000000D
#define CR_REMOVE_VETOED 0x00000017
#define CR_BUFFER_SMALL 0x0000001A
#define CR_INVALID_DEVICE_ID 0x0000001E
#define CR_FAILURE 0x00000013

#define CM_GETIDLIST_FILTER_NONE 0x00000000
#define CM_GETIDLIST_FILTER_ENUMERATOR 0x00000001
#define CM_LOCATE_DEVNODE_NORMAL 0x00000000

#define DN_DRIVER_LOADED 0x00000002
#define DN_STARTED 0x00000008
#define DN_HAS_PROBLEM 0x00000400
#define DN_REMOVABLE 0x00004000

enum PNP_VETO_TYPE { PNP_VetoTypeUnknown = 0, PNP_VetoLegacyDevice, PNP_VetoPendingClose, PNP_VetoWindowsApp,
    PNP_VetoWindowsService, PNP_VetoOutstandingOpen, PNP_VetoDevice, PNP_VetoDriver, PNP_VetoIllegalDeviceRequest,
    PNP_VetoInsufficientPower, PNP_VetoNonDisableable, PNP_VetoLegacyDriver, PNP_VetoInsufficientRights };
typedef PNP_VETO_TYPE* PPNP_VETO_TYPE;

typedef CONFIGRET (*CM_Get_Device_ID_List_SizeA_t)(PULONG length, LPCSTR filter, ULONG flags);
typedef CONFIGRET (*CM_Get_Device_ID_ListA_t)(LPCSTR filter, LPSTR buffer, ULONG length, ULONG flags);
typedef CONFIGRET (*CM_Locate_DevNodeA_t)(PDEVINST node, LPSTR deviceId, ULONG flags);
typedef CONFIGRET (*CM_Get_DevNode_Status_t)(PULONG status, PULONG problem, DEVINST node, ULONG flags);
typedef CONFIGRET (*CM_Request_Device_EjectA_t)(DEVINST node, PPNP_VETO_TYPE vetoType, LPSTR vetoName,
    ULONG nameLength, ULONG flags);
