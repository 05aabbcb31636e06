// A gauge module loaded into the panel host: the shared library, its linkage record and import
// table, checked before any of its gauges is touched.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "gauge/GaugeHost.h"

namespace halvex::panel {

class GaugeModule {
public:
    // Loads the module at path; on failure returns nothing and says why in error.
    static std::unique_ptr<GaugeModule> Load(const std::string& path, std::string& error);

    GaugeModule(const GaugeModule&) = delete;
    GaugeModule& operator=(const GaugeModule&) = delete;
    ~GaugeModule();

    const std::string& Path() const { return path_; }
    const HalvexLinkage& Linkage() const { return *linkage_; }
    const HalvexImportEntry* Imports() const { return imports_; }
    const std::vector<HalvexGaugeHeader*>& Gauges() const { return gauges_; }
    HalvexGaugeHeader* Gauge(const std::string& name) const;  // null when the module has none by that name
    // Puts the host's services into the import table's panel-services entry.
    void Import(const HalvexPanelServices* services);
    // Where the module's bitmaps are: "<module file>.res/".
    std::string ResourceFolder() const { return path_ + HALVEX_RESOURCE_FOLDER_SUFFIX; }

private:
    GaugeModule(std::string path, void* handle, HalvexLinkage* linkage, HalvexImportEntry* imports);

    std::string path_;
    void* handle_ = nullptr;
    HalvexLinkage* linkage_ = nullptr;
    HalvexImportEntry* imports_ = nullptr;
    std::vector<HalvexGaugeHeader*> gauges_;
};

}  // namespace halvex::panel
