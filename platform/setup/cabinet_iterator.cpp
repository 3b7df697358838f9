// SetupIterateCabinetA over libmspack's cabinet reader.
#include "platform/setup/cabinet.h"

#include <mspack.h>

#include <cstring>
#include <list>
#include <string>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/kernel/codepages.h"
#include "platform/kernel/files.h"
#include "platform/setup/cabinet_header.h"
#include "platform/setup/mspack_io.h"

namespace {

using yolt::setup::PlatformIo;

// The two halves of a cabinet path as CABINET_INFO_A gives them: the folder (ending with a
// separator, or empty) and the file name.
struct PathParts {
    std::string folder;
    std::string file;
};

PathParts SplitPath(const std::string& path)
{
    size_t cut = path.find_last_of("\\/:");
    if (cut == std::string::npos)
        return {"", path};
    return {path.substr(0, cut + 1), path.substr(cut + 1)};
}

// A member name stored as UTF-8 in the ANSI code page; other names stay as stored.
std::string NarrowName(const mscabd_file& file)
{
    std::string name = file.filename ? file.filename : "";
    if (!(file.attribs & MSCAB_ATTRIB_UTF_NAME) || name.empty())
        return name;
    int units = MultiByteToWideChar(CP_UTF8, 0, name.c_str(), -1, nullptr, 0);
    if (units <= 0)
        return name;
    std::u16string wide(units, u'\0');
    MultiByteToWideChar(CP_UTF8, 0, name.c_str(), -1, wide.data(), units);
    int bytes = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return name;
    std::string narrow(bytes, '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, narrow.data(), bytes, nullptr, nullptr);
    narrow.resize(bytes - 1);
    return narrow;
}

WORD DosDate(const mscabd_file& file)
{
    return static_cast<WORD>(((file.date_y - 1980) << 9) | (file.date_m << 5) | file.date_d);
}

WORD DosTime(const mscabd_file& file)
{
    return static_cast<WORD>((file.time_h << 11) | (file.time_m << 5) | (file.time_s / 2));
}

// The outcome of writing one member: its Win32 code, and whether the cabinet itself (not the
// target) was at fault, which ends the walk.
struct ExtractResult {
    DWORD error = NO_ERROR;
    bool cabinetFault = false;
};

// One walk over a cabinet set: the decompressor, the opened cabinets and the callback.
class CabinetWalk {
public:
    CabinetWalk(PCSTR cabinet, PSP_FILE_CALLBACK_A callback, PVOID context)
        : m_cabinet(cabinet), m_callback(callback), m_context(context)
    {
        m_decompressor = mspack_create_cab_decompressor(&m_io.table);
    }
    ~CabinetWalk()
    {
        if (m_first)
            m_decompressor->close(m_decompressor, m_first);
        if (m_decompressor)
            mspack_destroy_cab_decompressor(m_decompressor);
    }

    BOOL Run();

private:
    BOOL Fail(DWORD error)
    {
        SetLastError(error);
        return FALSE;
    }
    DWORD OpenError(DWORD fallback) const { return m_io.inputError ? m_io.inputError : fallback; }
    UINT Notify(UINT notification, const void* param1, UINT_PTR param2)
    {
        return m_callback(m_context, notification, reinterpret_cast<UINT_PTR>(param1), param2);
    }
    BOOL RunEmptyCabinet();
    bool LoadFollowingCabinets(DWORD& error);
    bool OfferMember(const mscabd_file& file, DWORD& error);
    ExtractResult Extract(const mscabd_file& file, const char* target);

    const std::string m_cabinet;
    PSP_FILE_CALLBACK_A m_callback;
    PVOID m_context;
    PlatformIo m_io;
    mscab_decompressor* m_decompressor = nullptr;
    mscabd_cabinet* m_first = nullptr;
    std::list<std::string> m_openedPaths;  // libmspack keeps pointers to the names it opened
};

BOOL CabinetWalk::Run()
{
    if (!m_decompressor)
        return Fail(ERROR_NOT_ENOUGH_MEMORY);
    m_first = m_decompressor->open(m_decompressor, m_cabinet.c_str());
    if (!m_first) {
        int error = m_decompressor->last_error(m_decompressor);
        if (error == MSPACK_ERR_OPEN)
            return Fail(OpenError(ERROR_FILE_NOT_FOUND));
        // A read that fails without a file error is a cabinet cut short.
        if (error == MSPACK_ERR_READ || error == MSPACK_ERR_SEEK)
            return Fail(OpenError(ERROR_INVALID_DATA));
        if (error == MSPACK_ERR_NOMEMORY)
            return Fail(ERROR_NOT_ENOUGH_MEMORY);
        return RunEmptyCabinet();
    }

    PathParts parts = SplitPath(m_cabinet);
    CABINET_INFO_A info{parts.folder.c_str(), parts.file.c_str(), "", m_first->set_id, m_first->set_index};
    if (UINT answer = Notify(SPFILENOTIFY_CABINETINFO, &info, 0))
        return Fail(answer);

    DWORD error = NO_ERROR;
    if (!LoadFollowingCabinets(error))
        return Fail(error);
    for (const mscabd_file* file = m_first->files; file; file = file->next) {
        if (!OfferMember(*file, error))
            return Fail(error);
    }
    return TRUE;
}

// libmspack refuses a cabinet that holds no member; a well-formed one is walked as empty.
BOOL CabinetWalk::RunEmptyCabinet()
{
    auto header = yolt::setup::ReadCabinetHeader(m_cabinet.c_str());
    if (!header || header->fileCount != 0)
        return Fail(ERROR_INVALID_DATA);
    PathParts parts = SplitPath(m_cabinet);
    CABINET_INFO_A info{parts.folder.c_str(), parts.file.c_str(), "", header->setId, header->cabinetIndex};
    if (UINT answer = Notify(SPFILENOTIFY_CABINETINFO, &info, 0))
        return Fail(answer);
    return TRUE;
}

// Opens and joins the cabinets that continue the set, asking the callback for each one.
bool CabinetWalk::LoadFollowingCabinets(DWORD& error)
{
    std::string folder = SplitPath(m_cabinet).folder;
    for (mscabd_cabinet* tail = m_first; tail->flags & MSCAB_HDR_NEXTCAB;) {
        std::string nextName = tail->nextname ? tail->nextname : "";
        CABINET_INFO_A info{folder.c_str(), nextName.c_str(), tail->nextinfo ? tail->nextinfo : "", tail->set_id,
            static_cast<USHORT>(tail->set_index + 1)};
        char newFolder[MAX_PATH] = {};
        if (UINT answer = Notify(SPFILENOTIFY_NEEDNEWCABINET, &info, reinterpret_cast<UINT_PTR>(newFolder))) {
            error = answer;
            return false;
        }
        newFolder[MAX_PATH - 1] = '\0';
        if (newFolder[0]) {
            folder = newFolder;
            if (folder.back() != '\\' && folder.back() != '/')
                folder += '\\';
        }
        m_io.inputError = 0;
        const std::string& path = m_openedPaths.emplace_back(folder + nextName);
        mscabd_cabinet* next = m_decompressor->open(m_decompressor, path.c_str());
        if (!next) {
            int code = m_decompressor->last_error(m_decompressor);
            error = code == MSPACK_ERR_OPEN ? OpenError(ERROR_FILE_NOT_FOUND) : ERROR_INVALID_DATA;
            return false;
        }
        if (m_decompressor->append(m_decompressor, tail, next) != MSPACK_ERR_OK) {
            m_decompressor->close(m_decompressor, next);
            error = ERROR_INVALID_DATA;
            return false;
        }
        tail = next;
    }
    return true;
}

// Offers one member to the callback and carries out its answer; false ends the walk.
bool CabinetWalk::OfferMember(const mscabd_file& file, DWORD& error)
{
    std::string name = NarrowName(file);
    FILE_IN_CABINET_INFO_A info{};
    info.NameInCabinet = name.c_str();
    info.FileSize = file.length;
    info.DosDate = DosDate(file);
    info.DosTime = DosTime(file);
    info.DosAttribs = static_cast<WORD>(file.attribs & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                                           FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE));
    UINT answer = Notify(SPFILENOTIFY_FILEINCABINET, &info, reinterpret_cast<UINT_PTR>(m_cabinet.c_str()));
    if (answer == FILEOP_SKIP)
        return true;
    if (answer == FILEOP_ABORT) {
        error = info.Win32Error ? info.Win32Error : GetLastError();
        return false;
    }
    if (answer != FILEOP_DOIT) {
        error = ERROR_INVALID_PARAMETER;
        return false;
    }

    info.FullTargetName[MAX_PATH - 1] = '\0';
    ExtractResult result = Extract(file, info.FullTargetName);
    FILEPATHS_A paths{info.FullTargetName, m_cabinet.c_str(), result.error, 0};
    if (UINT reply = Notify(SPFILENOTIFY_FILEEXTRACTED, &paths, 0)) {
        error = reply;
        return false;
    }
    if (result.cabinetFault) {
        error = result.error;
        return false;
    }
    return true;
}

ExtractResult CabinetWalk::Extract(const mscabd_file& file, const char* target)
{
    m_io.ResetOutput();
    m_io.inputError = 0;
    m_io.pendingDosDate = DosDate(file);
    m_io.pendingDosTime = DosTime(file);
    m_io.hasPendingTime = true;
    int code = m_decompressor->extract(m_decompressor, const_cast<mscabd_file*>(&file), target);
    if (code == MSPACK_ERR_OK)
        return {};
    // A partly written target would pass for the member; it is removed.
    if (m_io.outputOpened)
        DeleteFileA(target);
    if (m_io.outputError)
        return {m_io.outputError, false};
    if (code == MSPACK_ERR_NOMEMORY)
        return {ERROR_NOT_ENOUGH_MEMORY, true};
    if (code == MSPACK_ERR_CHECKSUM)
        return {ERROR_CRC, true};
    if ((code == MSPACK_ERR_READ || code == MSPACK_ERR_SEEK || code == MSPACK_ERR_OPEN) && m_io.inputError)
        return {m_io.inputError, true};
    return {ERROR_INVALID_DATA, true};
}

}  // namespace

extern "C" BOOL SetupIterateCabinetA(PCSTR cabinetFile, DWORD reserved, PSP_FILE_CALLBACK_A callback, PVOID context)
{
    if (!cabinetFile || !callback || reserved != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    CabinetWalk walk(cabinetFile, callback, context);
    return walk.Run();
}
