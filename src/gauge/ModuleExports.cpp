// What the module exports to a host. The gauge linkage of the panel system is added with the
// gauges themselves; until then a host can build and drive the core through these C entries.
#include <memory>

#include "gauge/StandardCore.h"

extern "C" {

__attribute__((visibility("default"))) void* HalvexCreateCore() { return halvex::MakeStandardCore().release(); }

__attribute__((visibility("default"))) void HalvexDestroyCore(void* core) {
    delete static_cast<halvex::FmsCore*>(core);
}

}
