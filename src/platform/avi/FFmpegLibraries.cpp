extern "C" {
#include <libavcodec/avcodec.h>
#include <libavcodec/version.h>
#include <libavformat/avformat.h>
#include <libavformat/version.h>
#include <libavutil/avutil.h>
#include <libswscale/swscale.h>
#include <libswscale/version.h>
}

#define ANIVOR_FFMPEG_LOADER
#include "FFmpegLibraries.h"

#include "VideoReader.h"

#include <dlfcn.h>

#include <string>
#include <vector>

namespace {

#define ANIVOR_SONAME(lib, major) "lib" lib ".so." AV_STRINGIFY(major)

// The libraries of the major versions the program was built against (their functions
// keep their meaning within a major version).
const char* const kLibraries[] = {
    ANIVOR_SONAME("avutil", LIBAVUTIL_VERSION_MAJOR),
    ANIVOR_SONAME("avcodec", LIBAVCODEC_VERSION_MAJOR),
    ANIVOR_SONAME("avformat", LIBAVFORMAT_VERSION_MAJOR),
    ANIVOR_SONAME("swscale", LIBSWSCALE_VERSION_MAJOR),
};

TFFmpegLibraries load()
{
    std::vector<void*> handles;
    for (const char* name : kLibraries) {
        // Kept for the life of the process: its functions are called until the end.
        void* handle = dlopen(name, RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            const char* why = dlerror();
            throw EVideoError(std::string("FFmpeg's libraries are needed for videos and could not be loaded: ")
                              + (why ? why : name));
        }
        handles.push_back(handle);
    }
    auto find = [&](const char* symbol) {
        for (void* handle : handles)
            if (void* address = dlsym(handle, symbol))
                return address;
        throw EVideoError(std::string("FFmpeg's libraries lack the function ") + symbol);
    };
    TFFmpegLibraries libraries;
#define ANIVOR_FFMPEG_FIND(name) libraries.name = reinterpret_cast<decltype(libraries.name)>(find(#name));
    ANIVOR_FFMPEG_FUNCTIONS(ANIVOR_FFMPEG_FIND)
#undef ANIVOR_FFMPEG_FIND
    // FFmpeg never prints: what goes wrong reaches the user as our own messages.
    libraries.av_log_set_level(AV_LOG_QUIET);
    return libraries;
}

} // namespace

const TFFmpegLibraries& FFmpeg()
{
    // A failed load is tried again next time (and says why again).
    static const TFFmpegLibraries libraries = load();
    return libraries;
}
