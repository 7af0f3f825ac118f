#include "soundfile/library_lock.h"

namespace sonorel {

std::mutex& SoundLibraryOpenLock() {
    static std::mutex lock;
    return lock;
}

}  // namespace sonorel
