#include "core/Descriptor.h"

#include <unistd.h>

namespace vbase {

void CloseDescriptor(int& nFd) {
    if (nFd >= 0) {
        ::close(nFd);
        nFd = -1;
    }
}

} // namespace vbase
