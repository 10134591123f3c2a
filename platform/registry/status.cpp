#include "platform/registry/status.h"

namespace qm::registry {

const char* statusText(long status) {
    switch (status) {
        case ERROR_SUCCESS:
            return "success";
        case ERROR_FILE_NOT_FOUND:
            return "the key or value was not found";
        case ERROR_ACCESS_DENIED:
            return "access denied";
        case ERROR_INVALID_HANDLE:
            return "the key handle is not open";
        case ERROR_INVALID_DATA:
            return "the value has the wrong type or form";
        case ERROR_OUTOFMEMORY:
            return "out of memory";
        case ERROR_INVALID_PARAMETER:
            return "invalid key path or name";
        case ERROR_BUSY:
            return "the store is locked by another program";
        case ERROR_MORE_DATA:
            return "the value is larger than allowed";
        case ERROR_NO_MORE_ITEMS:
            return "no more items";
        case ERROR_BADDB:
            return "the store file is damaged or not a registry hive";
        case ERROR_REGISTRY_IO_FAILED:
            return "reading or writing the store file failed";
        case ERROR_KEY_DELETED:
            return "the key has been deleted";
        default:
            return "unknown registry error";
    }
}

}  // namespace qm::registry
