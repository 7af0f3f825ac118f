#include "cli/quiet_sound_libraries.h"

#include <dlfcn.h>

#include <array>

namespace sonorel {
namespace {

// ALSA's snd_lib_error_handler_t: file, line, function, error, format, ...
extern "C" void IgnoreAlsaMessage(const char* /*file*/, int /*line*/, const char* /*function*/,
                                  int /*error*/, const char* /*format*/, ...) {}

// JACK's error and info callbacks.
extern "C" void IgnoreJackMessage(const char* /*message*/) {}

using AlsaHandler = void (*)(const char*, int, const char*, int, const char*, ...);
using AlsaSetHandler = int (*)(AlsaHandler);
using JackHandler = void (*)(const char*);
using JackSetFunction = void (*)(JackHandler);

// The library's symbol if it is loaded into this process (as a dependency of
// the sound card's layer); the library is never loaded for this.
void* LoadedSymbol(const char* library, const char* symbol) {
    void* handle = ::dlopen(library, RTLD_NOW | RTLD_NOLOAD);
    if (handle == nullptr) return nullptr;
    void* found = ::dlsym(handle, symbol);
    ::dlclose(handle);  // still loaded: the sound card's layer holds it
    return found;
}

}  // namespace

void QuietSoundLibraries() {
    if (void* set = LoadedSymbol("libasound.so.2", "snd_lib_error_set_handler")) {
        reinterpret_cast<AlsaSetHandler>(set)(IgnoreAlsaMessage);
    }
    for (const char* setter : std::array{"jack_set_error_function", "jack_set_info_function"}) {
        if (void* set = LoadedSymbol("libjack.so.0", setter)) {
            reinterpret_cast<JackSetFunction>(set)(IgnoreJackMessage);
        }
    }
}

}  // namespace sonorel
