#include "cabwriter.h"

#include <libgcab.h>

#include <memory>
#include <system_error>

namespace kvupack {
namespace {

struct GObjectUnref {
    void operator()(void* object) const { g_object_unref(object); }
};
template <typename T>
using GPtr = std::unique_ptr<T, GObjectUnref>;

std::string TakeMessage(GError* gerror)
{
    std::string message = gerror ? gerror->message : "unknown error";
    g_clear_error(&gerror);
    return message;
}

}  // namespace

bool WriteCabinet(const std::filesystem::path& output, const std::vector<Member>& members, Compression compression,
    std::string& error)
{
    GError* gerror = nullptr;
    GPtr<GCabCabinet> cabinet(gcab_cabinet_new());
    GPtr<GCabFolder> folder(
        gcab_folder_new(compression == Compression::Mszip ? GCAB_COMPRESSION_MSZIP : GCAB_COMPRESSION_NONE));
    for (const auto& member : members) {
        GPtr<GFile> source(g_file_new_for_path(member.source.c_str()));
        GPtr<GCabFile> file(gcab_file_new_with_file(member.name.c_str(), source.get()));
        if (!gcab_folder_add_file(folder.get(), file.get(), FALSE, nullptr, &gerror)) {
            error = member.source.string() + ": " + TakeMessage(gerror);
            return false;
        }
    }
    if (!gcab_cabinet_add_folder(cabinet.get(), folder.get(), &gerror)) {
        error = TakeMessage(gerror);
        return false;
    }

    std::error_code ec;
    const bool existed = std::filesystem::exists(output, ec);
    GPtr<GFile> target(g_file_new_for_path(output.c_str()));
    GPtr<GFileOutputStream> stream(
        g_file_replace(target.get(), nullptr, FALSE, G_FILE_CREATE_REPLACE_DESTINATION, nullptr, &gerror));
    if (!stream) {
        error = output.string() + ": " + TakeMessage(gerror);
        return false;
    }
    // Cancelling the stream before closing it makes the replacement leave the old file untouched.
    GPtr<GCancellable> cancel(g_cancellable_new());
    if (!gcab_cabinet_write_simple(cabinet.get(), G_OUTPUT_STREAM(stream.get()), nullptr, nullptr, nullptr, &gerror)) {
        error = output.string() + ": " + TakeMessage(gerror);
        g_cancellable_cancel(cancel.get());
        g_output_stream_close(G_OUTPUT_STREAM(stream.get()), cancel.get(), nullptr);
        if (!existed)
            std::filesystem::remove(output, ec);
        return false;
    }
    if (!g_output_stream_close(G_OUTPUT_STREAM(stream.get()), nullptr, &gerror)) {
        error = output.string() + ": " + TakeMessage(gerror);
        return false;
    }
    return true;
}

}  // namespace kvupack
