#include "panel/GaugeModule.h"

#include <dlfcn.h>

#include <cstring>
#include <filesystem>

namespace halvex::panel {

std::unique_ptr<GaugeModule> GaugeModule::Load(const std::string& path, std::string& error) {
    if (!std::filesystem::exists(path)) {
        error = "gauge module not found: " + path;
        return nullptr;
    }
    // Kept mapped after dlclose: the drawing library's caches may still hold fonts the module made.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!handle) {
        const char* why = dlerror();
        error = "cannot load gauge module " + path + ": " + (why ? why : "unknown error");
        return nullptr;
    }
    auto* linkage = static_cast<HalvexLinkage*>(dlsym(handle, HALVEX_LINKAGE_SYMBOL));
    auto* imports = static_cast<HalvexImportEntry*>(dlsym(handle, HALVEX_IMPORT_TABLE_SYMBOL));
    if (!linkage || !imports) {
        error = path + " is not a gauge module: it exports no " +
                (linkage ? HALVEX_IMPORT_TABLE_SYMBOL : HALVEX_LINKAGE_SYMBOL);
        dlclose(handle);
        return nullptr;
    }
    if (linkage->moduleId != HALVEX_MODULE_ID) {
        error = path + ": unknown module identifier " + std::to_string(linkage->moduleId);
        dlclose(handle);
        return nullptr;
    }
    return std::unique_ptr<GaugeModule>(new GaugeModule(path, handle, linkage, imports));
}

GaugeModule::GaugeModule(std::string path, void* handle, HalvexLinkage* linkage, HalvexImportEntry* imports)
    : path_(std::move(path)), handle_(handle), linkage_(linkage), imports_(imports) {
    for (int i = 0; i < HALVEX_GAUGE_COUNT && linkage_->gauges[i]; ++i) gauges_.push_back(linkage_->gauges[i]);
}

GaugeModule::~GaugeModule() {
    if (handle_) dlclose(handle_);
}

HalvexGaugeHeader* GaugeModule::Gauge(const std::string& name) const {
    for (HalvexGaugeHeader* gauge : gauges_)
        if (gauge->name && name == gauge->name) return gauge;
    return nullptr;
}

void GaugeModule::Import(const HalvexPanelServices* services) {
    for (HalvexImportEntry* entry = imports_; entry->id != 0; ++entry)
        if (entry->id == HALVEX_IMPORT_PANEL_SERVICES) entry->table = const_cast<HalvexPanelServices*>(services);
}

}  // namespace halvex::panel
